// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace sarvendo {

// Cumulative byte counts of the current connection and its speed in bits per second, as
// one source reports them in one tick; all zero when the source knows no connection.
// The driver's counts never carry a speed.
struct ByteCounts
{
    std::int32_t sent = 0;
    std::int32_t received = 0;
    std::int32_t speed = 0;
};

} // namespace sarvendo
