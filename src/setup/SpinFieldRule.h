// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sarvendo {

// Reads a typed number that is a whole integer and nothing else: leading blanks, an
// optional sign, "$" for hexadecimal, then digits to the end. Decimal values must fit 32
// bits; up to eight hexadecimal digits wrap into them ("$FFFFFFFF" is -1). Anything else
// (empty, trailing blanks or letters, too many digits) gives nothing.
std::optional<std::int32_t> ParseTypedInteger(std::string_view text);

// Which typed values a spin field stores.
enum class SpinStore
{
    ZeroOrMore, // the usual fields
    AboveZero,  // "Warn time if Inactive"
    Any,        // the poll rate, whose negative values stop the timer
};

// The value a spin field's new text stores, or nothing when its setting keeps its
// value: the field's initial text is ignored (arrows moved onto it are no change), so
// is a text that is not a whole number and a value the field's kind does not store.
// Values above the arrows' range are stored as typed.
std::optional<std::int32_t> SpinFieldValue(std::string_view text, std::string_view initialText, SpinStore store);

} // namespace sarvendo
