#pragma once

#include "platform/LinePlatform.h"

namespace sarvendo {

class Clock;
struct Settings;

// Ends the current call on the monitored port: DTR off for just over one second (busy
// waiting on the tick count, which may wrap), then the control register restored to the
// byte read before, every other bit untouched. It ignores "No Direct Hardware Acesss".
// For a port outside 1..4 there is no register address, and for a port whose lines the
// platform cannot see there is nothing to restore: it does nothing then.
void HangUp(const Settings& settings, LinePlatform line, const Clock& clock);

} // namespace sarvendo
