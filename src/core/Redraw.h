// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Settings.h"

#include <cstdint>

namespace sarvendo {

// The repaint requests of the Settings record, as one set a change names at once.
enum class Redraw : std::uint8_t
{
    Repaint = 1,     // RepaintNeeded: compose the window again
    WindowLamps = 2, // RebuildWindowLamps: reload and recolour the panel and its lamps
    TitleLamps = 4,  // RebuildTitleLamps: reload and recolour the caption strip
    Layout = 8,      // RebuildLayout: reload the layout picture
    Again = 16,      // RepaintAgain: keep RepaintNeeded set for one more paint
};

constexpr Redraw operator|(Redraw a, Redraw b)
{
    return static_cast<Redraw>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}

constexpr bool Has(Redraw set, Redraw one)
{
    return (static_cast<std::uint8_t>(set) & static_cast<std::uint8_t>(one)) != 0;
}

// Everything drawn anew: what start-up, a port switch and a change of the desktop ask.
inline constexpr Redraw kRedrawEverything = Redraw::Repaint | Redraw::WindowLamps | Redraw::TitleLamps | Redraw::Layout;

// Sets the named requests; requests already set stay set.
inline void RequestRedraw(Settings& settings, Redraw what)
{
    if (Has(what, Redraw::Repaint)) {
        settings.RepaintNeeded = 1;
    }
    if (Has(what, Redraw::WindowLamps)) {
        settings.RebuildWindowLamps = 1;
    }
    if (Has(what, Redraw::TitleLamps)) {
        settings.RebuildTitleLamps = 1;
    }
    if (Has(what, Redraw::Layout)) {
        settings.RebuildLayout = 1;
    }
    if (Has(what, Redraw::Again)) {
        settings.RepaintAgain = 1;
    }
}

} // namespace sarvendo
