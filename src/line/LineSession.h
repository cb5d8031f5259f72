// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line/DialUpReader.h"
#include "line/HangUp.h"
#include "line/ModemInit.h"
#include "line/MonitoredLine.h"
#include "line/StatusDriver.h"
#include "line/T_QCCom32.h"
#include "platform/LinePlatform.h"

#include <cstdint>
#include <optional>

namespace sarvendo {

class Clock;
class Directories;
class MessageBoxes;
struct Settings;

// Everything the line side offers, bound to the one Settings record and the platform it
// runs on, so the poll cycle, start-up and the setup dialog each call one method instead
// of wiring the parts together. It owns the serial component QCCom (ResponseTime 2000,
// Baud 9600, Port 1, ShowErrors on) and the dial-up reader with its process handle. It is
// the monitored line the poll cycle reads.
class LineSession : public MonitoredLine
{
public:
    LineSession(Settings& settings, LinePlatform line, const Clock& clock, const Directories& directories,
                MessageBoxes& boxes);

    // Start-up and close.
    void OpenStatusDriver();
    void ReleaseStatusDriver() override;
    PortOpenError ProbePort(int port);
    void SendModemInit(ModemInitCaller caller = ModemInitCaller::StartUp);
    void DetectDialUpKind();
    void CloseDialUpProcess();

    // The poll cycle.
    bool DriverPresent() const override;
    bool QueryPortOpen() override;
    std::uint8_t ReadLineStatus() override;
    DialUpReading ReadDialUpCounters() override;
    ByteCounts ReadDriverByteCounts(std::int32_t sentBase, std::int32_t receivedBase) override;
    std::optional<std::uint8_t> ReadModemControl() override;
    std::optional<std::uint8_t> ReadModemStatus() override;
    void ReadLineParameters() override; // into PortDCB, without a port handle
    HangUpResult HangUp() override;

    // Painting: the line-parameter text appended to buffer.
    void FormatCommParameters(std::string& buffer);

    T_QCCom32& QCCom() { return m_qcCom; }
    LinePlatform Platform() const { return m_line; }

private:
    Settings& m_settings;
    LinePlatform m_line;
    const Clock& m_clock;
    const Directories& m_directories;
    MessageBoxes& m_boxes;
    T_QCCom32 m_qcCom;
    DialUpReader m_dialUp;
};

} // namespace sarvendo
