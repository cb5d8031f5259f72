// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/X11CaptionOverlay.h"
#include "platform/linux/X11ForegroundWindow.h"

#include <gtest/gtest.h>
#include <vector>

namespace sarvendo {
namespace {

// Off an X server (the offscreen platform here, a Wayland session elsewhere) there is no
// foreground window to describe and nothing to show, and asking is harmless.
TEST(X11CaptionTest, WithoutAnXServerThereIsNoTargetAndNothingShows)
{
    X11ForegroundWindow foreground;
    EXPECT_FALSE(foreground.Available());
    EXPECT_FALSE(foreground.Target().has_value());
    EXPECT_TRUE(foreground.DesktopPixels(DesktopRect{0, 0, 10, 10}).empty());

    X11CaptionOverlay overlay;
    const std::vector<std::uint32_t> pixels(4, 0xFF00FF00);
    overlay.Show(0x123, DesktopRect{10, 10, 2, 2}, PixelView{2, 2, pixels});
    EXPECT_FALSE(overlay.Visible());
    EXPECT_EQ(overlay.NativeId(), 0U);
    overlay.Hide();
}

} // namespace
} // namespace sarvendo
