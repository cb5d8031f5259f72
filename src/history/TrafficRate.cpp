// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrafficRate.h"

#include "platform/TickPath.h"

namespace sarvendo {

SARVENDO_TICK_PATH void TrafficRate::Add(std::uint64_t monotonicMs, std::int64_t sent, std::int64_t received)
{
    const std::uint64_t second = monotonicMs / 1000;
    if (second > m_second) {
        // Seconds without a tick moved nothing.
        const std::uint64_t skipped = second - m_second < kSeconds ? second - m_second : kSeconds;
        for (std::uint64_t i = 1; i <= skipped; ++i) {
            m_ring[(m_second + i) % kSeconds] = Second{};
        }
        m_second = second;
    }
    if (sent == 0 && received == 0) {
        // Adding nothing changes no slot, so an idle tick leaves the ring (three pages) alone.
        return;
    }
    Second& slot = m_ring[m_second % kSeconds];
    slot.sent += sent;
    slot.received += received;
}

std::vector<TrafficRate::Second> TrafficRate::Last(std::uint64_t monotonicMs) const
{
    const std::uint64_t now = monotonicMs / 1000;
    std::vector<Second> seconds(kSeconds);
    for (std::uint64_t i = 0; i < kSeconds; ++i) {
        // Slot i of the result is the second now - kSeconds + i.
        const std::uint64_t wanted = now + i;
        if (wanted < kSeconds) {
            continue;
        }
        const std::uint64_t second = wanted - kSeconds;
        if (second <= m_second && m_second - second < kSeconds) {
            seconds[i] = m_ring[second % kSeconds];
        }
    }
    return seconds;
}

} // namespace sarvendo
