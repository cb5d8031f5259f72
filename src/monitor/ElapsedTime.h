// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTime.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace sarvendo {

// The text of a duration in days: the long time format for durations under a day, and
// the total hours followed by ":mm:ss" from a day on, so 2 days 3 h 4 min 5 s reads
// 51:04:05. Relies on a long time format that starts with the hours.
std::string ElapsedToStr(DateTime duration, const DateTimeFormats& formats);

// Whole milliseconds from one time to a later one. The rules compare durations in
// milliseconds so that a limit of exactly ten minutes is met after exactly ten minutes,
// whatever the rounding of two large day counts does to their difference.
inline std::int64_t MillisecondsBetween(DateTime from, DateTime to)
{
    const double ms = (to - from) * kMsPerDay;
    return std::isfinite(ms) ? std::llround(ms) : 0;
}

} // namespace sarvendo
