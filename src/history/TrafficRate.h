// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace sarvendo {

// The bytes sent and received in each of the last ten minutes' seconds, for the live
// graph. Fed from every tick's counts; reading it never changes it.
class TrafficRate
{
public:
    static constexpr std::size_t kSeconds = 600;

    struct Second
    {
        std::int64_t sent = 0;
        std::int64_t received = 0;
        friend bool operator==(const Second&, const Second&) = default;
    };

    void Add(std::uint64_t monotonicMs, std::int64_t sent, std::int64_t received);

    // The last kSeconds whole seconds before the one running at monotonicMs, oldest first.
    std::vector<Second> Last(std::uint64_t monotonicMs) const;

private:
    // On the heap: held inline, its 9.6 KB spread the objects around it (the recorder lives
    // in the program's main frame) over pages that every tick would then touch.
    std::vector<Second> m_ring = std::vector<Second>(kSeconds);
    std::uint64_t m_second = 0; // the second the newest slot holds
};

} // namespace sarvendo
