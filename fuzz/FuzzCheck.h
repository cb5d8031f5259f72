// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace sarvendo::fuzz {

// Stops the run with a message when a promise of the code under test does not hold, so
// that libFuzzer keeps the input that broke it.
inline void Check(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}

// Whether cutting text at cut keeps every valid UTF-8 character whole: the cut falls on a
// character boundary, or inside bytes that are no UTF-8 at all.
inline bool CutKeepsCharactersWhole(std::string_view text, std::size_t cut)
{
    if (cut >= text.size() || (static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80) {
        return true;
    }
    for (std::size_t back = 1; back <= 3 && back <= cut; ++back) {
        const auto byte = static_cast<unsigned char>(text[cut - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;
        }
        const std::size_t length = byte >= 0xF0 && byte <= 0xF7   ? 4
                                   : byte >= 0xE0 && byte <= 0xEF ? 3
                                   : byte >= 0xC0 && byte <= 0xDF ? 2
                                                                  : 0;
        return length <= back;
    }
    return true;
}

} // namespace sarvendo::fuzz
