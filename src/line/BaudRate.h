// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Rounding.h"

#include <cstdint>

namespace sarvendo {

// The clock a PC serial controller divides down to make its bit rate.
inline constexpr std::uint32_t kUartClock = 115200;

// The rate a controller clocked for 115200 bps really runs at when a rate is asked of it:
// the divisor is the whole part of 115200 / rate, so 56000 runs at 57600. Rates above the
// clock would need a divisor of 0; drivers that offer them set them exactly, so they stand
// as they are, and 0 (unknown) stays 0.
inline std::uint32_t ShownBaudRate(std::uint32_t baudRate)
{
    if (baudRate == 0 || baudRate > kUartClock) {
        return baudRate;
    }
    const std::uint32_t divisor = kUartClock / baudRate;
    return static_cast<std::uint32_t>(RoundHalfEven(static_cast<long double>(kUartClock) / divisor));
}

} // namespace sarvendo
