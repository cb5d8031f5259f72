// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cctype>
#include <cstddef>
#include <string_view>

namespace sarvendo {

// Character tests that never depend on the user's locale, for text the program reads
// from its own files.
inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Where to cut text to at most maxLength bytes without splitting a UTF-8 character: the
// limit itself, or the start of the character that would not fit whole. Bytes that are
// no valid UTF-8 (Latin-1 text, say) are cut where the limit falls, so such text never
// loses more than the limit asks.
inline std::size_t Utf8CutPoint(std::string_view text, std::size_t maxLength)
{
    if (text.size() <= maxLength) {
        return text.size();
    }
    const auto continuation = [&text](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
    if (!continuation(maxLength)) {
        return maxLength;
    }
    // A character has at most three continuation bytes after its lead byte.
    std::size_t lead = maxLength;
    while (lead > 0 && maxLength - lead < 3 && continuation(lead)) {
        --lead;
    }
    const auto byte = static_cast<unsigned char>(text[lead]);
    const std::size_t length = byte >= 0xF0 && byte <= 0xF7   ? 4
                               : byte >= 0xE0 && byte <= 0xEF ? 3
                               : byte >= 0xC0 && byte <= 0xDF ? 2
                                                              : 0;
    return length > 0 && lead + length > maxLength ? lead : maxLength;
}

} // namespace sarvendo
