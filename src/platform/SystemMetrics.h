// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

// The window-frame and caption measures the lamp layouts were designed around, in pixels.
// The program sizes its own window and places its caption strip from these numbers rather
// than from whatever theme the desktop runs, so that every layout keeps the proportions it
// was drawn for. Tests build other tables to check the rules that depend on them.
struct SystemMetrics
{
    int CxSize = 18;    // width of a caption button
    int CySize = 18;    // height of a caption button
    int CxDlgFrame = 3; // width of a dialog frame
    int CyDlgFrame = 3; // height of a dialog frame
    int CxFrame = 4;    // width of a sizing frame
    int CyFrame = 4;    // height of a sizing frame
    int CxBorder = 1;   // width of a thin border
    int CyBorder = 1;   // height of a thin border
    int CyCaption = 19; // height of a caption, including its bottom border line
    int CxMin = 112;    // narrowest a top-level window may be
    int CyMin = 27;     // lowest a top-level window may be
};

// The values of a standard desktop of the family the layouts come from: 96 dots per inch,
// small fonts, default caption size.
inline constexpr SystemMetrics kClassicSystemMetrics{};

} // namespace sarvendo
