// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineSession.h"

#include "core/Settings.h"

#include "platform/TickPath.h"

namespace sarvendo {

LineSession::LineSession(Settings& settings, LinePlatform line, const Clock& clock, const Directories& directories,
                         MessageBoxes& boxes)
    : m_settings(settings), m_line(line), m_clock(clock), m_directories(directories), m_boxes(boxes),
      m_qcCom(line.serialDevices, boxes, line.eventPump, clock), m_dialUp(line.dialUp, directories)
{
    m_qcCom.SetResponseTime(2000);
    m_qcCom.SetBaud(9600);
    m_qcCom.SetPort(1);
    m_qcCom.ShowErrors = true;
}

void LineSession::OpenStatusDriver()
{
    sarvendo::OpenStatusDriver(m_settings, m_line, m_directories, m_boxes);
}

void LineSession::ReleaseStatusDriver()
{
    sarvendo::ReleaseStatusDriver(m_settings, m_line);
}

PortOpenError LineSession::ProbePort(int port)
{
    return sarvendo::ProbePort(m_settings, m_line, port);
}

void LineSession::SendModemInit(ModemInitCaller caller)
{
    sarvendo::SendModemInit(m_settings, m_qcCom, m_line.eventPump, m_clock, caller);
}

void LineSession::DetectDialUpKind()
{
    m_settings.DialUpKind = sarvendo::DetectDialUpKind(m_line.dialUp, m_directories);
    m_settings.DialUpFound = 0;
}

void LineSession::CloseDialUpProcess()
{
    m_dialUp.CloseProcess();
}

SARVENDO_TICK_PATH bool LineSession::DriverPresent() const
{
    return m_settings.DriverHandle > 0;
}

SARVENDO_TICK_PATH bool LineSession::QueryPortOpen()
{
    return sarvendo::QueryPortOpen(m_settings, m_line);
}

SARVENDO_TICK_PATH std::uint8_t LineSession::ReadLineStatus()
{
    return sarvendo::ReadLineStatus(m_settings, m_line);
}

SARVENDO_TICK_PATH DialUpReading LineSession::ReadDialUpCounters()
{
    return m_dialUp.ReadDialUpCounters(m_settings);
}

SARVENDO_TICK_PATH ByteCounts LineSession::ReadDriverByteCounts(std::int32_t sentBase, std::int32_t receivedBase)
{
    return sarvendo::ReadDriverByteCounts(m_settings, m_line, sentBase, receivedBase);
}

std::optional<std::uint8_t> LineSession::ReadModemControl()
{
    return ReadModemControlRegister(m_settings, m_line);
}

std::optional<std::uint8_t> LineSession::ReadModemStatus()
{
    return ReadModemStatusRegister(m_settings, m_line);
}

void LineSession::ReadLineParameters()
{
    sarvendo::ReadLineParameters(m_settings, m_line, nullptr, m_settings.PortDCB);
}

HangUpResult LineSession::HangUp()
{
    return sarvendo::HangUp(m_settings, m_line, m_clock);
}

void LineSession::FormatCommParameters(std::string& buffer)
{
    sarvendo::FormatCommParameters(m_settings, m_line, buffer);
}

} // namespace sarvendo
