// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"

namespace sarvendo {

// Local wall-clock time from the C library and a tick count from CLOCK_MONOTONIC,
// truncated to 32 bits so that it wraps every 49.7 days like the classic tick count.
class LinuxClock final : public Clock
{
public:
    DateTime Now() const override;
    std::uint32_t TickCount() const override;
    std::uint64_t MonotonicMs() const override;
};

} // namespace sarvendo
