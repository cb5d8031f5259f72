// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Characters.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace sarvendo {

// Text with a fixed maximum length, standing in for a fixed-size character buffer of
// BufferSize bytes (BufferSize - 1 characters and a terminator). Anything longer is cut,
// never overflowed; the cut never splits a UTF-8 sequence, so a long hand-edited value
// stays valid text.
template <std::size_t BufferSize> class BoundedString
{
    static_assert(BufferSize >= 1);

public:
    static constexpr std::size_t kMaxLength = BufferSize - 1;

    BoundedString() = default;
    BoundedString(std::string_view text) { Assign(text); } // NOLINT(google-explicit-constructor)

    BoundedString& operator=(std::string_view text)
    {
        Assign(text);
        return *this;
    }

    const std::string& str() const { return m_text; }
    const char* c_str() const { return m_text.c_str(); }
    bool empty() const { return m_text.empty(); }
    std::size_t size() const { return m_text.size(); }
    operator std::string_view() const { return m_text; } // NOLINT(google-explicit-constructor)

    friend bool operator==(const BoundedString& a, const BoundedString& b) = default;
    friend bool operator==(const BoundedString& a, std::string_view b) { return a.m_text == b; }

private:
    void Assign(std::string_view text) { m_text.assign(text.substr(0, Utf8CutPoint(text, kMaxLength))); }

    std::string m_text;
};

} // namespace sarvendo
