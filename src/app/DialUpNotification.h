// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sarvendo {

// The text another program sends when a dial-up connection comes or goes: a number, a
// blank, a number, a blank and whatever follows. It arrives from outside, so every
// reading of it is bounded and forgiving.

// The longest text kept; anything beyond is cut (never inside a UTF-8 sequence).
inline constexpr std::size_t kNotificationTextLimit = 259;

std::string CutNotificationText(std::string_view text);

// The number between the first and the second blank (or the end of the text); 0 when
// there is no such number.
std::int32_t NotificationSecondNumber(std::string_view text);

} // namespace sarvendo
