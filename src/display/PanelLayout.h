// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/LampGrid.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace sarvendo {

struct LampFlags;

// What one lamp of a panel shows.
enum class LampSignal
{
    CTS,
    RTS,
    RI,
    CD,
    DSR,
    TD,
    RD,
    DTR,
    HighSpeed, // decided by the high-speed rule, not by a single flag
    AlwaysOff, // a socket the modem has but this program cannot light
};

struct PanelLamp
{
    int row = 0;
    int column = 0;
    std::string_view label;
    LampSignal signal = LampSignal::AlwaysOff;
};

// One of the five window layouts: its picture, the size its lamps and labels take, its
// lamp family and grid, and its lamps in drawing order.
struct PanelLayout
{
    int number = 0;
    std::string_view bitmapName;
    int bitmapWidth = 0;
    int bitmapHeight = 0;
    int baseWidth = 0;
    int baseHeight = 0;
    LampSelector family = LampSelector::LargeSquare;
    LampGrid grid;
    std::span<const PanelLamp> lamps;
};

// The layout with the given number 1 to 5 (the sign of a minimised window is ignored);
// nullptr for any other number.
const PanelLayout* FindPanelLayout(int number);

// All five, in number order.
std::span<const PanelLayout> PanelLayouts();

// One of the caption strips drawn into other windows' title bars, by the absolute value
// of the title orientation (3, 4 or 5).
struct TitleStrip
{
    int orientation = 0;
    std::string_view bitmapName;
    int bitmapWidth = 0;
    int usedWidth = 0;
    LampGrid grid;
    std::span<const PanelLamp> lamps;
};

const TitleStrip* FindTitleStrip(int orientation);

// The flag a signal reads; AlwaysOff and HighSpeed read as 0 here, since their lamps are
// decided elsewhere.
std::uint8_t SignalFlag(const LampFlags& flags, LampSignal signal);

} // namespace sarvendo
