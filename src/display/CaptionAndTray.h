// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

// The parts of a paint that are not the panel: the lamps in the active window's caption,
// the main window's own caption and stay-on-top state, and the notification-area icon.
// The panel painter calls them at their places in the paint order so that one paint
// always updates everything the user sees, minimised or not.
class CaptionAndTray
{
public:
    virtual ~CaptionAndTray() = default;

    // Draws the lamps and the connect time into the caption of the active window.
    virtual void DrawTitleLamps() = 0;

    // Applies a pending show/hide of the main window's caption and the stay-on-top rule.
    virtual void ApplyCaptionAndStayOnTop() = 0;

    // Brings the notification-area icon and its hint up to date.
    virtual void Win95Tray() = 0;
};

// For a panel painted on its own, away from any desktop (snapshots, measurements).
class NoCaptionAndTray final : public CaptionAndTray
{
public:
    void DrawTitleLamps() override {}
    void ApplyCaptionAndStayOnTop() override {}
    void Win95Tray() override {}
};

} // namespace sarvendo
