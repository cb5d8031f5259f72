// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryLink.h"

#include "core/Settings.h"

#include "history/HistoryRecorder.h"
#include "platform/TickPath.h"

namespace sarvendo {

void HistoryLink::CarrierRose()
{
    const int port = m_settings.DefaultPort;
    m_recorder.Connected(port, m_deviceOf ? m_deviceOf(port) : std::string());
}

void HistoryLink::CarrierFell(std::int64_t sent, std::int64_t received, const std::string& speed)
{
    m_recorder.Disconnected(sent, received, speed);
}

void HistoryLink::RingRose()
{
    m_recorder.RingRose();
}

SARVENDO_TICK_PATH void HistoryLink::Counted(bool carrier, std::int64_t sent, std::int64_t received,
                                             const std::string& speed)
{
    m_recorder.Counted(carrier, sent, received, speed);
}

HangUpResult HistoryLineSession::HangUp()
{
    HangUpResult result = LineSession::HangUp();
    if (result.performed) {
        m_recorder.HangUpPerformed();
    }
    return result;
}

} // namespace sarvendo
