#pragma once

#include "line/DialUpReader.h"
#include "line/ModemInit.h"
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
// Baud 9600, Port 1, ShowErrors on) and the dial-up reader with its process handle.
class LineSession
{
public:
    LineSession(Settings& settings, LinePlatform line, const Clock& clock, const Directories& directories,
                MessageBoxes& boxes);

    // Start-up and close.
    void OpenStatusDriver();
    void ReleaseStatusDriver();
    PortOpenError ProbePort(int port);
    void SendModemInit(ModemInitCaller caller = ModemInitCaller::StartUp);
    void DetectDialUpKind();
    void CloseDialUpProcess();

    // The poll cycle.
    bool DriverPresent() const;
    bool QueryPortOpen();
    std::uint8_t ReadLineStatus();
    CounterReading ReadDialUpCounters();
    CounterReading ReadDriverByteCounts(std::int32_t sentBase, std::int32_t receivedBase);
    std::optional<std::uint8_t> ReadModemControl();
    std::optional<std::uint8_t> ReadModemStatus();
    void ReadLineParameters(); // into PortDCB, without a port handle
    void HangUp();

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
