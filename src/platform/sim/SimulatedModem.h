// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Dcb.h"
#include "platform/ModemLines.h"
#include "platform/sim/Scenario.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvendo {

class Clock;

// A modem on one serial port, driven by a scenario and by what the program does to it.
// Time is the clock's tick count since the model was made; every look at the model first
// plays the scenario up to now. Besides the scenario it reacts like a real modem: it
// answers "AT" commands with "OK" and "ATD" with "CONNECT <speed>" (after its echo), it
// drops the carrier when DTR has been off for more than a second, and it counts the bytes
// that flow while the carrier is up.
class SimulatedModem
{
public:
    SimulatedModem(Scenario scenario, const Clock& clock, std::function<int()> monitoredPort);

    // The port the modem is on: the scenario's, else the monitored one (COM1 when none).
    int Port() const;

    struct Lines
    {
        bool ri = false, cd = false, cts = false, dsr = false, dtr = false, rts = false;
    };
    Lines CurrentLines();
    std::uint8_t ModemStatusRegister();
    std::uint8_t ModemControlRegister();
    void SetModemControl(std::uint8_t value);

    // The program holding the port, empty when none does.
    const std::string& Holder();
    // Whether that program is the dial-up program, asked on every tick without comparing
    // names.
    bool HeldByDialUpProgram();
    std::uint32_t Speed();
    Dcb LineParameters();

    // Bytes that crossed the line since the model began, whole bytes only.
    std::uint64_t TotalSent();
    std::uint64_t TotalReceived();
    // Bytes of the current connection (since the carrier came up); zero without one.
    std::uint64_t ConnectionSent();
    std::uint64_t ConnectionReceived();
    // Counts up each time a connection comes up, so a reader can tell two apart.
    std::uint32_t ConnectionNumber();

    // The program's own exchange with the modem (the serial component).
    bool OpenByProgram();
    void CloseByProgram();
    void WriteFromProgram(std::string_view bytes);
    std::string ReadableForProgram(); // what has arrived so far, not yet taken
    void TakeForProgram(std::size_t count);

    std::uint32_t ElapsedMs() const;

private:
    void Update();
    void Apply(const ScenarioEvent& event);
    void Integrate(std::uint32_t ms);
    void Restart();
    void DropCarrier();
    void NoteDtr(bool on);

    Scenario m_scenario;
    const Clock& m_clock;
    std::function<int()> m_monitoredPort;
    std::uint32_t m_lastTick;
    bool m_settled = false;        // everything due up to m_now has been played
    std::uint64_t m_now = 0;       // ms played since the model began
    std::uint64_t m_loopStart = 0; // ms at which the current pass began
    std::size_t m_next = 0;        // next event of the current pass

    Lines m_lines;
    std::uint64_t m_ringOffAt = 0;
    std::uint64_t m_dtrOffSince = 0;
    bool m_dtrFell = false;
    std::string m_holder;
    bool m_heldByDialUp = false;
    std::uint32_t m_speed = 0;
    std::uint32_t m_sentRate = 0;
    std::uint32_t m_receivedRate = 0;
    // Thousandths of a byte, so that a rate's odd milliseconds add up exactly.
    std::uint64_t m_sentMilli = 0;
    std::uint64_t m_receivedMilli = 0;
    std::uint64_t m_connectionSentBase = 0;
    std::uint64_t m_connectionReceivedBase = 0;
    std::uint32_t m_connectionNumber = 0;
    Dcb m_params{57600, 8, kNoParity, kOneStopBit};

    bool m_openByProgram = false;
    std::string m_commandLine;
    struct Pending
    {
        std::uint64_t at;
        std::string text;
    };
    std::vector<Pending> m_pending;
    std::string m_arrived;
};

} // namespace sarvendo
