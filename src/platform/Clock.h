#pragma once

#include "platform/DateTime.h"

#include <cstdint>

namespace sarvendo {

// The two clocks the program reads: the local wall-clock time as a DateTime, for time
// stamps and durations, and a millisecond tick count that wraps at 2^32, for short
// waits. Both are read on the GUI thread only.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual DateTime Now() const = 0;
    virtual std::uint32_t TickCount() const = 0;
};

} // namespace sarvendo
