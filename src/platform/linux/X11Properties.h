// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>
#include <string>
#include <vector>

namespace sarvendo {

// Reads up to `mostUnits` 32-bit units of a window property of the given type and format
// (8 for text, 32 for lists and numbers) and hands its items to `take(data, count)`;
// nothing is handed when the window has no such property, it is of another format, or
// the window is gone.
template <typename Take>
void ReadProperty(Display* display, Window window, Atom property, Atom type, int format, long mostUnits, Take take)
{
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, mostUnits, False, type, &actualType, &actualFormat, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        if (actualFormat == format) {
            take(data, count);
        }
        XFree(data);
    }
}

// A property of 32-bit items (Xlib hands them out as longs): a list, or a number as a
// list of one; empty when there is none.
inline std::vector<unsigned long> LongProperty(Display* display, Window window, Atom property, Atom type)
{
    constexpr long kMostItems = 65536;
    std::vector<unsigned long> result;
    ReadProperty(display, window, property, type, 32, kMostItems, [&](const unsigned char* data, unsigned long count) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        result.assign(items, items + count);
    });
    return result;
}

// A text property of any type, or of `type` where given; empty when there is none.
inline std::string TextProperty(Display* display, Window window, Atom property, Atom type = AnyPropertyType)
{
    constexpr long kMostUnits = 4096; // 16 KiB of text
    std::string result;
    ReadProperty(display, window, property, type, 8, kMostUnits, [&](const unsigned char* data, unsigned long count) {
        result.assign(reinterpret_cast<const char*>(data), count);
    });
    return result;
}

} // namespace sarvendo
