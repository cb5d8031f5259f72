// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>

namespace sarvendo {

// Rounds to the nearest integer, a half going to the even neighbour (2.5 → 2, 3.5 → 4),
// independent of the floating-point environment's rounding mode.
inline std::int64_t RoundHalfEven(long double value)
{
    const long double floor = std::floor(value);
    const long double difference = value - floor;
    auto result = static_cast<std::int64_t>(floor);
    if (difference > 0.5L || (difference == 0.5L && (result % 2 != 0))) {
        ++result;
    }
    return result;
}

// The poll timer's period in milliseconds for a number of polls per second: 1000 / value,
// rounded half to even. A value below 1 stops the timer, which is reported as 0. A rate
// above 2000 would round to 0 too and stop the lamps with no way to update them by hand,
// so any positive rate polls at least every millisecond.
inline int TimerPeriodMs(std::int32_t pollsPerSecond)
{
    if (pollsPerSecond < 1) {
        return 0;
    }
    const auto period = static_cast<int>(RoundHalfEven(1000.0L / pollsPerSecond));
    return period < 1 ? 1 : period;
}

} // namespace sarvendo
