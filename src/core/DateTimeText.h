// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DateTime.h"

#include <string>
#include <string_view>

namespace sarvendo {

// Formats a DateTime with the classic format letters (c, d, m, y, h, n, s, z, t, am/pm,
// "/" and ":" separators, quoted literals). An "m" right after an "h" means minutes.
std::string FormatDateTime(std::string_view format, DateTime value, const DateTimeFormats& formats);

// The format without its am/pm markers (and the blanks before them), so that its hours
// count on the twenty-four-hour clock.
std::string WithoutAmPm(std::string_view format);

// The value rounded to the millisecond and then cut to whole seconds, as days: what a
// shown time of day or duration reads.
DateTime WholeSeconds(DateTime value);

} // namespace sarvendo
