// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LinePlatform.h"

#include <string>

namespace sarvendo {

class Clock;
struct Settings;

// Whether a hang-up could act on the line at all. "Performed" means DTR really went off
// for the second; it does not mean the modem let go of the call, which the poll cycle
// sees on a later tick. When it could not act, reason says why in words for the user.
struct HangUpResult
{
    bool performed = false;
    std::string reason;
};

// Ends the current call on the monitored port: DTR off for just over one second (busy
// waiting on the tick count, which may wrap), then the control register restored to the
// byte read before, every other bit untouched. It ignores "No Direct Hardware Acesss".
// For a port outside 1..4 there is no register address, and for a port whose lines the
// platform cannot reach (busy under another program's exclusive lock, a line the kernel
// has hung up, a pseudo-terminal) there is nothing to switch: it does nothing then, waits
// for nothing, and says so.
HangUpResult HangUp(const Settings& settings, LinePlatform line, const Clock& clock);

// The text of a box that tells the user a hang-up could not act: "Sarvendo could not
// hang up the line: <reason>." Empty for a hang-up that was performed.
std::string HangUpFailureText(const HangUpResult& result);

} // namespace sarvendo
