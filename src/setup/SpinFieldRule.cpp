// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpinFieldRule.h"

#include <cstddef>

namespace sarvendo {
namespace {

constexpr std::size_t kMostHexDigits = 8;
constexpr std::uint64_t kLargestPositive = 0x7FFFFFFFULL;

std::optional<int> DigitValue(char c, bool hexadecimal)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (hexadecimal && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (hexadecimal && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::int32_t> ParseTypedInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    const bool hexadecimal = i < text.size() && text[i] == '$';
    if (hexadecimal) {
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    std::size_t significantHexDigits = 0;
    for (; i < text.size(); ++i) {
        const std::optional<int> digit = DigitValue(text[i], hexadecimal);
        if (!digit) {
            return std::nullopt;
        }
        if (hexadecimal) {
            if (value != 0 || *digit != 0) {
                ++significantHexDigits;
            }
            if (significantHexDigits > kMostHexDigits) {
                return std::nullopt;
            }
            value = value * 16U + static_cast<std::uint64_t>(*digit);
        } else {
            value = value * 10U + static_cast<std::uint64_t>(*digit);
            // One more than the largest positive value is still -2147483648.
            if (value > kLargestPositive + (negative ? 1U : 0U)) {
                return std::nullopt;
            }
        }
    }
    // Hexadecimal digits are the 32 bits themselves; the sign then negates that value.
    auto bits = static_cast<std::uint32_t>(value);
    if (negative) {
        bits = 0U - bits;
    }
    return static_cast<std::int32_t>(bits);
}

std::optional<std::int32_t> SpinFieldValue(std::string_view text, std::string_view initialText, SpinStore store)
{
    if (text == initialText) {
        return std::nullopt;
    }
    const std::optional<std::int32_t> value = ParseTypedInteger(text);
    if (!value) {
        return std::nullopt;
    }
    switch (store) {
    case SpinStore::ZeroOrMore:
        return *value >= 0 ? value : std::nullopt;
    case SpinStore::AboveZero:
        return *value > 0 ? value : std::nullopt;
    case SpinStore::Any:
        return value;
    }
    return std::nullopt;
}

} // namespace sarvendo
