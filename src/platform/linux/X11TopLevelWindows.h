// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TopLevelWindows.h"

#include <string>

struct _XDisplay;

namespace sarvendo {

// Top-level windows through Xlib on its own connection to the X server named by
// DISPLAY, made at the first call: the window manager's client list (_NET_CLIENT_LIST, else the root's
// children), titles from _NET_WM_NAME or WM_NAME, "minimised" from _NET_WM_STATE_HIDDEN
// or the ICCCM iconic state, and activation through _NET_ACTIVE_WINDOW. X errors (a
// window that vanished between two calls) are swallowed. Without an X server nothing is
// found.
class X11TopLevelWindows final : public TopLevelWindows
{
public:
    X11TopLevelWindows();
    ~X11TopLevelWindows() override;
    X11TopLevelWindows(const X11TopLevelWindows&) = delete;
    X11TopLevelWindows& operator=(const X11TopLevelWindows&) = delete;

    std::optional<WindowId> FindByTitle(const std::string& title) override;
    bool IsMinimised(WindowId window) override;
    void Restore(WindowId window) override;
    void BringToTop(WindowId window) override;

private:
    // Connects on the first call; false without an X server.
    bool Connected();
    std::string Title(unsigned long window);
    void Activate(unsigned long window);

    _XDisplay* m_display = nullptr;
    bool m_tried = false;
};

} // namespace sarvendo
