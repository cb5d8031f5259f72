// SPDX-License-Identifier: GPL-3.0-or-later
#include "T_QCCom32.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxes.h"

#include <algorithm>
#include <vector>

namespace sarvendo {
namespace {

constexpr std::size_t kInitialReadBuffer = 1024;

} // namespace

T_QCCom32::T_QCCom32(SerialDevices& devices, MessageBoxes& boxes, EventPump& events, const Clock& clock)
    : m_devices(devices), m_boxes(boxes), m_events(events), m_clock(clock)
{
}

T_QCCom32::~T_QCCom32()
{
    m_timerEnabled = false;
    Close();
}

bool T_QCCom32::Open()
{
    if (Opened()) {
        Close();
    }
    for (;;) {
        auto opened = m_devices.Open(m_port, SerialDevices::Purpose::ReadWrite);
        m_handle = std::move(opened.port);
        m_lastOpenError = m_handle ? PortOpenError::None : opened.error;
        if (m_handle || !ShowErrors) {
            break;
        }
        const std::string text = "Error opening COM" + std::to_string(m_port) + ": ";
        if (m_boxes.Show(text, MessageButtons::AbortRetry, MessageIcon::Warning) != MessageResult::Retry) {
            break;
        }
    }
    if (m_handle) {
        Dcb dcb;
        if (m_handle->GetCommState(dcb)) {
            dcb.BaudRate = static_cast<std::uint32_t>(std::max(m_baud, 0));
            dcb.ByteSize = 8;
            dcb.Parity = kNoParity;
            dcb.StopBits = kOneStopBit;
            m_handle->SetCommState(dcb);
        }
    }
    return Opened();
}

void T_QCCom32::Close()
{
    m_handle.reset();
}

bool T_QCCom32::WriteString(const std::string& text)
{
    return Write(text) == text.size();
}

std::size_t T_QCCom32::Write(std::string_view text)
{
    return m_handle ? m_handle->Write(text, m_responseTime) : 0;
}

void T_QCCom32::WaitForInput(int milliseconds)
{
    if (m_handle) {
        m_handle->WaitReadable(milliseconds);
    }
}

void T_QCCom32::SetResponseTime(int milliseconds)
{
    m_responseTime = std::max(milliseconds, 0);
}

void T_QCCom32::SetBaud(int baud)
{
    if (baud == m_baud) {
        return;
    }
    m_baud = baud;
    if (Opened()) {
        Close();
        Open();
    }
}

void T_QCCom32::SetPort(int port)
{
    if (port == m_port) {
        return;
    }
    m_port = port;
    if (Opened()) {
        Close();
        Open();
    }
}

int T_QCCom32::InCount()
{
    if (!m_handle) {
        return 0;
    }
    const auto waiting = m_handle->InputQueue();
    return static_cast<int>(std::min<std::size_t>(waiting.value_or(0), 1U << 30U));
}

void T_QCCom32::ReadAvailable(std::string& result)
{
    const int count = InCount();
    if (count <= 0 || !m_handle) {
        return;
    }
    std::vector<std::uint8_t> buffer(std::max(kInitialReadBuffer, static_cast<std::size_t>(count) + 1));
    const std::size_t got = m_handle->Read(std::span(buffer.data(), static_cast<std::size_t>(count)));
    // Only what this read obtained, and only up to a zero byte, as the string it was
    // copied into ended there.
    const auto end = std::find(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got), 0);
    result.append(buffer.begin(), end);
}

void T_QCCom32::ReadString(std::string& result)
{
    result.clear();
    if (m_inUse) {
        if (ShowErrors) {
            m_boxes.Show(kPortInUseText, MessageButtons::Ok, MessageIcon::None);
        }
        return;
    }
    m_inUse = true;
    if (m_handle) {
        if (EndOfResponse.empty()) {
            ReadAvailable(result);
        } else {
            bool done = false;
            while (!done) {
                m_timedOut = false;
                m_timerEnabled = true;
                m_timerStart = m_clock.TickCount();
                for (;;) {
                    ReadAvailable(result);
                    if (result.find(EndOfResponse) != std::string::npos) {
                        done = true;
                        break;
                    }
                    m_events.ProcessEvents();
                    if (m_timerEnabled &&
                        m_clock.TickCount() - m_timerStart >= static_cast<std::uint32_t>(m_responseTime)) {
                        ResponseTimerTick();
                    }
                    if (m_timedOut || !m_handle) {
                        break;
                    }
                    m_handle->WaitReadable(kWaitSliceMs);
                }
                m_timerEnabled = false;
                if (!m_handle) {
                    // Closed from an event handled during the wait: nothing more can come.
                    done = true;
                } else if (m_timedOut) {
                    if (ShowErrors) {
                        done = m_boxes.Show(kTimeoutText, MessageButtons::AbortRetry, MessageIcon::Warning) !=
                               MessageResult::Retry;
                    } else {
                        // Without a box to ask, waiting again would never end on a silent modem.
                        done = true;
                    }
                }
            }
        }
    }
    m_inUse = false;
}

void T_QCCom32::ResponseTimerTick()
{
    m_timedOut = true;
    m_timerEnabled = false;
    DoTimeout();
}

void T_QCCom32::DoTimeout()
{
    if (OnTimeout) {
        OnTimeout(*this);
    }
}

} // namespace sarvendo
