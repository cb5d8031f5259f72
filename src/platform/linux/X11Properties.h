// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <X11/Xlib.h>
#include <vector>

namespace sarvendo {

// Reads a window property as a list of 32-bit items (Xlib hands them out as longs); empty
// when the window has no such property, it is of another format, or the window is gone.
inline std::vector<unsigned long> LongProperty(Display* display, Window window, Atom property, Atom type)
{
    constexpr long kMostItems = 65536;
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> result;
    if (XGetWindowProperty(display, window, property, 0, kMostItems, False, type, &actualType, &actualFormat, &count,
                           &remaining, &data) == Success &&
        data != nullptr) {
        if (actualFormat == 32) {
            const auto* items = reinterpret_cast<const unsigned long*>(data);
            result.assign(items, items + count);
        }
        XFree(data);
    }
    return result;
}

} // namespace sarvendo
