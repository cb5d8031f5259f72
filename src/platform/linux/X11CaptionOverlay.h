// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CaptionOverlay.h"

#include <memory>

struct _XDisplay;

namespace sarvendo {

class CaptionOverlayWindow;

// The caption strip as a Qt window on the xcb platform: a frameless tooltip-type window
// that the window manager leaves alone (override-redirect, so it is never in a taskbar or
// pager and takes no focus), with an empty input shape so that clicks reach the title bar
// beneath. After every show or move it is restacked with XConfigureWindow directly above
// the target's frame, on Qt's own connection. One window serves every target: it is moved
// and restacked rather than made anew. Without an X display nothing is ever shown.
class X11CaptionOverlay final : public CaptionOverlay
{
public:
    X11CaptionOverlay();
    ~X11CaptionOverlay() override;
    X11CaptionOverlay(const X11CaptionOverlay&) = delete;
    X11CaptionOverlay& operator=(const X11CaptionOverlay&) = delete;

    void Show(WindowId frame, const DesktopRect& place, const PixelView& picture) override;
    void Hide() override;
    bool Visible() const override;

    // The X window of the overlay, 0 before it is first shown; for tests that look at it
    // from outside.
    WindowId NativeId() const;

private:
    void Restack(WindowId frame);

    _XDisplay* m_display = nullptr;
    std::unique_ptr<CaptionOverlayWindow> m_window;
    WindowId m_frame = 0; // the frame the window was last stacked above
};

} // namespace sarvendo
