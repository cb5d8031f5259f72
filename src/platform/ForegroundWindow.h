// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace sarvendo {

using WindowId = std::uint64_t;

// A rectangle on the desktop, in pixels of the root window.
struct DesktopRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const DesktopRect&, const DesktopRect&) = default;
};

// How far the window manager's frame reaches beyond the client window on each side; the
// top one holds the title bar.
struct FrameExtents
{
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;

    friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

// The window whose caption gets the lamps: the active window's top-level owner, described
// by what decides whether a strip fits on its title bar and where it goes.
struct CaptionTarget
{
    WindowId client = 0;      // the top-level client window the active window belongs to
    WindowId frame = 0;       // the window manager's frame around it (the client itself without one)
    bool isForeground = true; // false when a window owned by the client is the active one
    DesktopRect frameRect;    // the frame's outer rectangle
    FrameExtents extents;

    // What the window manager lets the user do with it, standing for the caption buttons.
    bool minimiseBox = false;
    bool maximiseBox = false;
    bool sizeable = false;
    bool systemMenu = false; // a close button and window menu

    bool minimised = false;
    bool popup = false;      // a menu, tooltip, notification or window outside the manager's care
    bool ownProcess = false; // one of this program's own windows

    // A title bar is there when the frame's top is deeper than a border: the decoration a
    // window manager draws above a client is at least this tall.
    static constexpr int kMinCaptionHeight = 8;
    bool HasCaption() const { return extents.top >= kMinCaptionHeight && extents.top > extents.bottom; }

    friend bool operator==(const CaptionTarget&, const CaptionTarget&) = default;
};

// What changed about the foreground window since it was last described.
enum class ForegroundChange
{
    ActiveWindow, // another window became active, or none is
    Moved,        // the target's frame moved, was resized or restacked
    State,        // the target was minimised, renamed or its decoration or actions changed
    Gone,         // the target was unmapped or destroyed
};

// The desktop's active window as the caption lamps see it. Where the desktop has no such
// notion (no X server, a headless or pure Wayland session) Available() is false and there
// is never a target. A window that vanishes between two questions gives no target rather
// than an error. Changes are reported as they happen, from the desktop's own events, so
// nothing needs to ask again and again.
class ForegroundWindow
{
public:
    virtual ~ForegroundWindow() = default;

    // True when the desktop can be asked about its windows at all.
    virtual bool Available() const = 0;

    // The active window's top-level target, or nothing when no window is active or it can
    // no longer be read.
    virtual std::optional<CaptionTarget> Target() = 0;

    // The desktop's pixels in area, row by row as 0xAARRGGBB; empty when they cannot be
    // read (off the screen, no desktop).
    virtual std::vector<std::uint32_t> DesktopPixels(const DesktopRect& area) = 0;

    // Called on the GUI thread whenever the active window or the target described last
    // changes; replaces any handler set before.
    virtual void SetChangeHandler(std::function<void(ForegroundChange)> handler) = 0;
};

} // namespace sarvendo
