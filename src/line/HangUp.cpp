// SPDX-License-Identifier: GPL-3.0-or-later
#include "HangUp.h"

#include "core/Settings.h"

#include "line/StatusDriver.h"
#include "platform/Clock.h"
#include "platform/ModemLines.h"

namespace sarvendo {
namespace {

constexpr std::uint32_t kDtrOffMs = 1000;

HangUpResult Failed(std::string reason)
{
    return HangUpResult{false, std::move(reason)};
}

std::string PortName(std::int32_t port)
{
    return "COM" + std::to_string(port);
}

std::string WithWhy(std::string text, const std::string& why)
{
    return why.empty() ? text : text + " (" + why + ")";
}

} // namespace

HangUpResult HangUp(const Settings& settings, LinePlatform line, const Clock& clock)
{
    if (settings.DefaultPort < 1) {
        return Failed("no port is monitored");
    }
    if (settings.DefaultPort > 4) {
        return Failed("the control lines of " + PortName(settings.DefaultPort) +
                      " cannot be switched; only COM1 to COM4 can be hung up");
    }
    const auto address = static_cast<std::uint16_t>(
        settings.PortBase[static_cast<std::size_t>(settings.DefaultPort - 1)] + kModemControlOffset);
    // A register that cannot be seen is left alone rather than written with made-up bits.
    const auto read = TryPortIn(settings, line, address);
    const std::string unreachable = "the control lines of " + PortName(settings.DefaultPort) + " cannot be reached";
    if (!read) {
        return Failed(WithWhy(unreachable, line.modemLines.WhyUnreachable(settings.DefaultPort)));
    }
    const std::uint8_t saved = *read;
    if (!PortOut(settings, line, address, saved & 0xFEU)) {
        return Failed(WithWhy(unreachable, line.modemLines.WhyUnreachable(settings.DefaultPort)));
    }
    const std::uint32_t start = clock.TickCount();
    // Unsigned difference, so a tick count wrapping past 2^32 still measures the second.
    while (clock.TickCount() - start <= kDtrOffMs) {
    }
    // The restore may find the line already hung up by the kernel (the carrier went away
    // with DTR); the call has ended either way, which is what was asked.
    PortOut(settings, line, address, saved);
    return HangUpResult{true, {}};
}

std::string HangUpFailureText(const HangUpResult& result)
{
    if (result.performed) {
        return {};
    }
    return "Sarvendo could not hang up the line: " + result.reason + ".";
}

} // namespace sarvendo
