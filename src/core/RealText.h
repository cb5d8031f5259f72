// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace sarvendo {

// Reals as the settings file has always held them, so that existing files read and
// compare the same.

// A real in the fixed 23-character scientific form: a sign position (blank unless
// negative), one digit, a point, 14 digits, "E", the exponent's sign and four digits.
// Values that are not finite are written as zero, so the file never holds text that
// cannot be read back. The text never depends on the locale.
std::string RealToText(double value);

// Reads a decimal real (leading blanks, optional sign, digits with an optional point or
// comma, an optional exponent) from the start of the text; whatever follows a valid number is
// ignored. Text without a number, or a number out of range, gives fallback.
double ParseRealPrefix(std::string_view text, double fallback = 0.0);

} // namespace sarvendo
