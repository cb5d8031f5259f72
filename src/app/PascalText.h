#pragma once

#include "platform/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sarvendo {

// Text forms of numbers and times as the program has always written them, so that
// existing INI files and logs read and compare the same.

// A real in the fixed 23-character scientific form: a sign position (blank unless
// negative), one digit, a point, 14 digits, "E", the exponent's sign and four digits.
// Values that are not finite are written as zero, so the file never holds text that
// cannot be read back.
std::string RealToText(double value);

// Reads a decimal real (leading blanks, optional sign, digits with an optional point,
// an optional exponent) from the start of the text; whatever follows a valid number is
// ignored. Text without a number, or a number out of range, gives fallback.
double ParseRealPrefix(std::string_view text, double fallback = 0.0);

// Reads an integer the forgiving way colours have always been read: leading blanks,
// "-" or "+", "$" for hexadecimal, and the value of the digits before the first bad
// character (0 when there are none). Wraps modulo 2^32.
std::int32_t ParseIntegerPrefix(std::string_view text);

// Reads an integer the way the profile functions do: leading blanks, an optional "-",
// decimal digits up to the first other character, wrapping modulo 2^32; "+1" and text
// without digits give 0.
std::int32_t ParseProfileInteger(std::string_view text);

// Formats a DateTime with the classic format letters (c, d, m, y, h, n, s, z, t, am/pm,
// "/" and ":" separators, quoted literals). An "m" right after an "h" means minutes.
std::string FormatDateTime(std::string_view format, DateTime value, const DateTimeFormats& formats);

// The format without its am/pm markers (and the blanks before them), so that its hours
// count on the twenty-four-hour clock.
std::string WithoutAmPm(std::string_view format);

} // namespace sarvendo
