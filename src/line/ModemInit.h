// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

class Clock;
class EventPump;
class T_QCCom32;
struct Settings;

enum class ModemInitCaller
{
    StartUp,       // sends whatever "ModemInitString" holds, even nothing
    SendNowButton, // does nothing while "ModemInitString" is empty
};

// Sends "ModemInitString" and CR LF to the monitored port and awaits two answers, then
// closes the port. Every wait is bounded by the component's ResponseTime: a write that
// does not go out, or an answer that does not come within that time, ends the exchange
// quietly, so a silent or absent modem never stalls start-up.
void SendModemInit(Settings& settings, T_QCCom32& qcCom, EventPump& events, const Clock& clock, ModemInitCaller caller);

} // namespace sarvendo
