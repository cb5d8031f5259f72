#pragma once

#include "platform/DateTime.h"

#include <string>

namespace sarvendo {

// The text of a duration in days: the long time format for durations under a day, and
// the total hours followed by ":mm:ss" from a day on, so 2 days 3 h 4 min 5 s reads
// 51:04:05. Relies on a long time format that starts with the hours.
std::string ElapsedToStr(DateTime duration, const DateTimeFormats& formats);

} // namespace sarvendo
