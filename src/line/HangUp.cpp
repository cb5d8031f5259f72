#include "HangUp.h"

#include "core/Settings.h"

#include "line/StatusDriver.h"
#include "platform/Clock.h"

namespace sarvendo {
namespace {

constexpr std::uint32_t kDtrOffMs = 1000;

} // namespace

void HangUp(const Settings& settings, LinePlatform line, const Clock& clock)
{
    if (settings.DefaultPort < 1 || settings.DefaultPort > 4) {
        return;
    }
    const auto address = static_cast<std::uint16_t>(
        settings.PortBase[static_cast<std::size_t>(settings.DefaultPort - 1)] + kModemControlOffset);
    // The old program wrote back whatever the read gave; here a register that cannot be
    // seen (a port busy with another program's lock, a pty) is left alone rather than
    // written with made-up bits.
    const auto read = TryPortIn(settings, line, address);
    if (!read) {
        return;
    }
    const std::uint8_t saved = *read;
    PortOut(settings, line, address, saved & 0xFEU);
    const std::uint32_t start = clock.TickCount();
    // Unsigned difference, so a tick count wrapping past 2^32 still measures the second.
    while (clock.TickCount() - start <= kDtrOffMs) {
    }
    PortOut(settings, line, address, saved);
}

} // namespace sarvendo
