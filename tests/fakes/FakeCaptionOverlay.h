// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CaptionOverlay.h"

#include <vector>

namespace sarvendo::fakes {

// Keeps what the overlay would show: where, above which frame, and a copy of the pixels.
class FakeCaptionOverlay final : public CaptionOverlay
{
public:
    void Show(WindowId showFrame, const DesktopRect& showPlace, const PixelView& picture) override
    {
        ++showCount;
        visible = true;
        frame = showFrame;
        place = showPlace;
        width = picture.width;
        height = picture.height;
        pixels.assign(picture.pixels.begin(), picture.pixels.end());
    }
    void Hide() override
    {
        if (visible) {
            ++hideCount;
        }
        visible = false;
    }
    bool Visible() const override { return visible; }

    std::uint32_t Pixel(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * width + x); }

    bool visible = false;
    int showCount = 0;
    int hideCount = 0;
    WindowId frame = 0;
    DesktopRect place;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

} // namespace sarvendo::fakes
