#pragma once

#include <cctype>

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

} // namespace sarvendo
