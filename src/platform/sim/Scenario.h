// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvendo {

// A timed script of what happens on a simulated modem line. The text form, one event a
// line ("#" starts a comment):
//
//     loop                       play again from the start after "end"
//     port 2                     the modem sits on COM2 (default: the monitored port)
//     <time> <event> [values]    time in seconds from the start ("12", "12.5"), or
//                                "+seconds" after the previous event
//
// Events: "ring" (one ring, RI on for two seconds); "ri|cd|cts|dsr|dtr|rts on|off";
// "carrier <bps>" (CD on at that speed) and "carrier off" (the remote end hangs up);
// "traffic <sent> <received>" bytes per second from now on; "open [program]" and
// "close" (another program holds the port, pppd by default); "params <baud> <frame>"
// ("params 57600 8N1": the line parameters that program set); "end" (the scenario's
// length). Events at the same time apply in their order in the file.
struct ScenarioEvent
{
    enum class Kind
    {
        Ring,
        Line,
        Carrier,
        Traffic,
        Open,
        Close,
        Params,
        End,
    };
    enum class Signal
    {
        Ri,
        Cd,
        Cts,
        Dsr,
        Dtr,
        Rts,
    };

    std::uint32_t atMs = 0;
    Kind kind = Kind::End;
    Signal signal = Signal::Cd;
    bool on = false;
    std::uint32_t first = 0;  // carrier: bps (0 off); traffic: sent/s; params: baud
    std::uint32_t second = 0; // traffic: received/s
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;
    std::uint8_t stopBits = 0;
    std::string program; // open: the program's name
};

struct Scenario
{
    std::vector<ScenarioEvent> events; // in time order
    bool loop = false;
    std::uint32_t lengthMs = 0; // the "end" event's time, else the last event's
    int port = 0;               // 0: the monitored port
};

struct ScenarioParseResult
{
    std::optional<Scenario> scenario;
    std::string error; // "line 3: unknown event \"fly\"" when the text is broken
};

ScenarioParseResult ParseScenario(std::string_view text);

// The built-in session: rings, an answered call at 33600 bps, traffic both ways, an
// idle spell, a remote hang-up, then a call out at 28800 bps ended by dropping DTR.
std::string_view BuiltInScenarioText();

} // namespace sarvendo
