// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

struct ScreenSize
{
    int width = 0;
    int height = 0;
};

// The primary screen's size in pixels, as the window placement rules need it.
class Screen
{
public:
    virtual ~Screen() = default;
    virtual ScreenSize PrimaryScreenSize() const = 0;
};

} // namespace sarvendo
