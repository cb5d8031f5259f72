// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

// What the poll cycle needs from the main window and the application around it. The
// main window implements it; the engine never touches a widget itself, so every rule
// can run against a recording fake. All calls happen on the GUI thread, inside a tick.
class MonitorHost
{
public:
    virtual ~MonitorHost() = default;

    // Marks the main window's client area for repainting, without erasing it first.
    virtual void InvalidateClientArea() = 0;

    // True while the window cannot receive paint messages (minimised, hidden in the tray
    // or fully covered), so the tick must paint directly for the caption lamps and the
    // tray icon to follow the line.
    virtual bool ClientAreaHidden() const = 0;

    // Runs the main window's painting pass at once.
    virtual void FormPaint() = 0;

    // Enables or disables the setup dialog's "&Hang-up NOW!" button.
    virtual void SetHangUpButtonEnabled(bool enabled) = 0;

    // Raises the main window above all others without moving or resizing it; the next
    // paint restores the stacking the user chose.
    virtual void MakeTopmost() = 0;

    // Stops the poll timer for good; used just before the automatic exit.
    virtual void StopPollTimer() = 0;

    // Runs the main window's close query and, when it agrees, its close routine.
    virtual void RunCloseQuery() = 0;

    // Asks the application to end its event loop.
    virtual void RequestApplicationEnd() = 0;

    // Makes the foreground window's top-level window redraw its caption, wiping the
    // lamps and times drawn into it.
    virtual void RedrawForegroundCaption() = 0;
};

} // namespace sarvendo
