// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModemInit.h"

#include "core/Settings.h"

#include "line/T_QCCom32.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"

namespace sarvendo {
namespace {

// Runs attempt until it succeeds or the component's ResponseTime has passed, letting
// events through between attempts.
template <typename Attempt> bool RetryWithin(T_QCCom32& qcCom, EventPump& events, const Clock& clock, Attempt attempt)
{
    const std::uint32_t start = clock.TickCount();
    for (;;) {
        if (attempt()) {
            return true;
        }
        if (!qcCom.Opened() || clock.TickCount() - start >= static_cast<std::uint32_t>(qcCom.ResponseTime())) {
            return false;
        }
        events.ProcessEvents();
        qcCom.WaitForInput(T_QCCom32::kWaitSliceMs);
    }
}

} // namespace

void SendModemInit(Settings& settings, T_QCCom32& qcCom, EventPump& events, const Clock& clock, ModemInitCaller caller)
{
    if (caller == ModemInitCaller::SendNowButton && settings.ModemInitString.empty()) {
        return;
    }
    qcCom.SetPort(settings.DefaultPort);
    if (!qcCom.Open()) {
        return;
    }
    const std::string text = settings.ModemInitString.str() + "\r\n";
    // A write that went out in part is continued, never started again: the modem would
    // read the first part twice.
    std::size_t sent = 0;
    if (RetryWithin(qcCom, events, clock, [&] {
            sent += qcCom.Write(std::string_view(text).substr(sent));
            return sent == text.size();
        })) {
        std::string answer;
        for (int i = 0; i < 2; ++i) {
            const bool answered = RetryWithin(qcCom, events, clock, [&] {
                qcCom.ReadString(answer);
                return !answer.empty();
            });
            if (!answered) {
                break;
            }
        }
    }
    qcCom.Close();
}

} // namespace sarvendo
