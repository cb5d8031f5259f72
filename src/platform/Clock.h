// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTime.h"

#include <cstdint>

namespace sarvendo {

// The clocks the program reads: the local wall-clock time as a DateTime, for time stamps
// and what the user reads; a millisecond tick count that wraps at 2^32, for short waits;
// and the same monotonic milliseconds in 64 bits, from which every duration is measured,
// since the wall clock jumps at a change of daylight saving time or when it is set. All
// are read on the GUI thread only.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
    virtual std::uint32_t TickCount() const = 0;
    virtual std::uint64_t MonotonicMs() const = 0;
};

} // namespace sarvendo
