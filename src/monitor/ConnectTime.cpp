#include "ConnectTime.h"

#include "core/Settings.h"

#include "platform/Clock.h"

namespace sarvendo {

DateTime ConnectTime::SessionTime() const
{
    return m_clock.Now() - m_settings.SessionStart + m_settings.NegotiationDelay * kOneSecond;
}

DateTime ConnectTime::DisplayedTotal() const
{
    return m_settings.LampCD == 1 ? m_settings.TotalConnectNew + SessionTime() : m_settings.TotalConnectNew;
}

void ConnectTime::StartSession()
{
    m_settings.SessionStart = m_clock.Now();
}

void ConnectTime::EndSession()
{
    m_settings.TotalConnectNew += SessionTime();
}

void ConnectTime::ResetSessionConnectTimeClick()
{
    m_settings.SessionStart = m_clock.Now();
}

void ConnectTime::ResetTotalConnectTimeClick()
{
    m_settings.TotalConnectNew = 0.0;
}

void ConnectTime::ResetFromSetupDialog()
{
    m_settings.TotalConnectNew = 0.0;
    m_settings.SessionStart = m_clock.Now();
}

} // namespace sarvendo
