// SPDX-License-Identifier: GPL-3.0-or-later
#include "IntegerText.h"

#include "core/Characters.h"

namespace sarvendo {
namespace {

std::size_t SkipBlanks(std::string_view text, std::size_t i, bool controlCharactersToo)
{
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || (controlCharactersToo && static_cast<unsigned char>(text[i]) < ' '))) {
        ++i;
    }
    return i;
}

// The value of the decimal digits from i on, wrapping modulo 2^32; i ends after them.
std::uint32_t DecimalDigits(std::string_view text, std::size_t& i)
{
    std::uint32_t value = 0;
    while (i < text.size() && IsDigit(text[i])) {
        value = value * 10U + static_cast<std::uint32_t>(text[i] - '0');
        ++i;
    }
    return value;
}

std::uint32_t HexadecimalDigits(std::string_view text, std::size_t& i)
{
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = UpperAscii(text[i]);
        if (IsDigit(c)) {
            value = value * 16U + static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            value = value * 16U + static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            break;
        }
    }
    return value;
}

std::int32_t Signed(std::uint32_t value, bool negative)
{
    return static_cast<std::int32_t>(negative ? 0U - value : value);
}

} // namespace

std::int32_t ParseIntegerPrefix(std::string_view text)
{
    std::size_t i = SkipBlanks(text, 0, false);
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i < text.size() && text[i] == '$') {
        ++i;
        return Signed(HexadecimalDigits(text, i), negative);
    }
    return Signed(DecimalDigits(text, i), negative);
}

std::int32_t ParseProfileInteger(std::string_view text)
{
    std::size_t i = SkipBlanks(text, 0, true);
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) {
        ++i;
    }
    return Signed(DecimalDigits(text, i), negative);
}

} // namespace sarvendo
