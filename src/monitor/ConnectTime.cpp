// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConnectTime.h"

#include "core/Settings.h"

#include "platform/Clock.h"

namespace sarvendo {

std::int64_t ConnectTime::SessionElapsedMs() const
{
    return m_sessionStart.ElapsedMs(m_settings.SessionStart, m_clock);
}

DateTime ConnectTime::SessionTime() const
{
    const auto elapsedMs = static_cast<double>(SessionElapsedMs());
    return elapsedMs / kMsPerDay + m_settings.NegotiationDelay * kOneSecond;
}

DateTime ConnectTime::DisplayedTotal() const
{
    return m_settings.LampCD == 1 ? m_settings.TotalConnectNew + SessionTime() : m_settings.TotalConnectNew;
}

void ConnectTime::StartSession()
{
    m_sessionStart.Set(m_settings.SessionStart, m_clock);
}

void ConnectTime::EndSession()
{
    m_settings.TotalConnectNew += SessionTime();
}

void ConnectTime::ResetSessionConnectTimeClick()
{
    m_sessionStart.Set(m_settings.SessionStart, m_clock);
}

void ConnectTime::ResetTotalConnectTimeClick()
{
    m_settings.TotalConnectNew = 0.0;
}

void ConnectTime::ResetFromSetupDialog()
{
    m_settings.TotalConnectNew = 0.0;
    m_sessionStart.Set(m_settings.SessionStart, m_clock);
}

} // namespace sarvendo
