// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace sarvendo {

// Reads an integer the forgiving way colours have always been read: leading blanks,
// "-" or "+", "$" for hexadecimal, and the value of the digits before the first bad
// character (0 when there are none). Wraps modulo 2^32.
std::int32_t ParseIntegerPrefix(std::string_view text);

// Reads an integer the way the profile functions do: leading blanks, an optional "-",
// decimal digits up to the first other character, wrapping modulo 2^32; "+1" and text
// without digits give 0.
std::int32_t ParseProfileInteger(std::string_view text);

} // namespace sarvendo
