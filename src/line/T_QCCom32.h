// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SerialDevices.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace sarvendo {

class Clock;
class EventPump;
class MessageBoxes;

// The serial port component: opens one port "COM" + Port exclusively, sets its speed to
// Baud with 8N1, writes strings and reads the modem's answers, optionally waiting for
// EndOfResponse under a time-out of ResponseTime milliseconds. A waiting read lets the
// application process its events, so it can be re-entered; InUse turns a second read
// away. Message boxes go through the MessageBoxes interface.
//
// A wait never lasts for ever: with ShowErrors false a time-out ends the read, since
// without a box to ask there is nobody to say "wait again" on a silent modem.
class T_QCCom32
{
public:
    T_QCCom32(SerialDevices& devices, MessageBoxes& boxes, EventPump& events, const Clock& clock);
    virtual ~T_QCCom32();

    T_QCCom32(const T_QCCom32&) = delete;
    T_QCCom32& operator=(const T_QCCom32&) = delete;

    bool Open();
    void Close();
    bool WriteString(const std::string& text);
    // Writes as much of the text as goes out within ResponseTime; returns the count sent.
    std::size_t Write(std::string_view text);
    void ReadString(std::string& result);

    int ResponseTime() const { return m_responseTime; }
    void SetResponseTime(int milliseconds);
    std::function<void(T_QCCom32&)> OnTimeout;
    bool TimedOut() const { return m_timedOut; }
    int Baud() const { return m_baud; }
    void SetBaud(int baud);
    int Port() const { return m_port; }
    void SetPort(int port);
    int InCount();
    std::string EndOfResponse;
    bool ShowErrors = true;
    bool Opened() const { return m_handle != nullptr; }
    bool InUse() const { return m_inUse; }

    // How long one turn of a waiting loop sleeps on the port when nothing has arrived, so
    // that the wait neither spins nor delays events noticeably.
    static constexpr int kWaitSliceMs = 10;

    // Waits at most the given time for input on the open port, without handling events.
    void WaitForInput(int milliseconds);

    // Why the last Open failed, for a caller that wants to tell more than the box does.
    PortOpenError LastOpenError() const { return m_lastOpenError; }

protected:
    virtual void DoTimeout();

private:
    void ResponseTimerTick();
    void ReadAvailable(std::string& result);

    SerialDevices& m_devices;
    MessageBoxes& m_boxes;
    EventPump& m_events;
    const Clock& m_clock;
    std::unique_ptr<SerialPort> m_handle;
    int m_port = 1;
    int m_baud = 9600;
    int m_responseTime = 1000;
    bool m_timedOut = false;
    bool m_inUse = false;
    bool m_timerEnabled = false;
    std::uint32_t m_timerStart = 0;
    PortOpenError m_lastOpenError = PortOpenError::None;
};

inline constexpr const char* kPortInUseText = "Port is in use -- operation aborted";
inline constexpr const char* kTimeoutText = "Timeout waiting for response.";

} // namespace sarvendo
