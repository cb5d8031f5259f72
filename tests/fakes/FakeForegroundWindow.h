// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ForegroundWindow.h"

namespace sarvendo::fakes {

// A desktop whose active window the test describes; the caption's pixels are one colour.
// Emit() plays a desktop event to the handler, as the real desktop would.
class FakeForegroundWindow final : public ForegroundWindow
{
public:
    bool Available() const override { return available; }
    std::optional<CaptionTarget> Target() override
    {
        ++targetReads;
        return available ? target : std::nullopt;
    }
    std::vector<std::uint32_t> DesktopPixels(const DesktopRect& area) override
    {
        pixelReads.push_back(area);
        if (!captionReadable || area.width <= 0 || area.height <= 0) {
            return {};
        }
        return std::vector<std::uint32_t>(static_cast<std::size_t>(area.width) * area.height, captionColour);
    }
    void SetChangeHandler(std::function<void(ForegroundChange)> changeHandler) override
    {
        handler = std::move(changeHandler);
    }

    void Emit(ForegroundChange change) const
    {
        if (handler) {
            handler(change);
        }
    }

    // A classic application window: 400 × 300 at (100, 50), caption and all buttons.
    static CaptionTarget ApplicationWindow(int width = 400)
    {
        CaptionTarget window;
        window.client = 0x200001;
        window.frame = 0x100001;
        window.frameRect = {100, 50, width, 300};
        window.extents = {4, 4, 23, 4};
        window.minimiseBox = true;
        window.maximiseBox = true;
        window.sizeable = true;
        window.systemMenu = true;
        return window;
    }

    bool available = true;
    std::optional<CaptionTarget> target = ApplicationWindow();
    bool captionReadable = true;
    std::uint32_t captionColour = 0xFF000080; // a dark blue title bar
    std::function<void(ForegroundChange)> handler;
    std::vector<DesktopRect> pixelReads;
    int targetReads = 0;
};

} // namespace sarvendo::fakes
