// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ForegroundWindow.h"

#include <cstdint>
#include <span>

namespace sarvendo {

// A picture handed to the desktop: width × height pixels, row by row as 0xAARRGGBB
// (alpha ignored), with no padding between rows.
struct PixelView
{
    int width = 0;
    int height = 0;
    std::span<const std::uint32_t> pixels;
};

// The small window that shows the lamp strip and connect time over another program's title
// bar. Window managers repaint their own title bars whenever they like, so the strip cannot
// be drawn into them; instead it floats, stacked directly above the target's frame so that
// windows above the target still cover it. It never takes focus or clicks (they fall
// through to the title bar beneath) and never shows in a taskbar or pager.
class CaptionOverlay
{
public:
    virtual ~CaptionOverlay() = default;

    // Shows picture at place on the desktop, stacked just above frame. Calling it again
    // with another place, picture or frame moves, repaints or restacks the one window.
    virtual void Show(WindowId frame, const DesktopRect& place, const PixelView& picture) = 0;

    // Takes the window off the desktop; nothing happens when it is not shown.
    virtual void Hide() = 0;

    virtual bool Visible() const = 0;
};

} // namespace sarvendo
