// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

// Where lamp (row, column) of a panel goes: its top-left corner is
// (x0 + column × dx, y0 + row × dy).
struct LampGrid
{
    int x0 = 0;
    int y0 = 0;
    int dx = 0;
    int dy = 0;

    friend bool operator==(const LampGrid&, const LampGrid&) = default;
};

// Which lamp pictures a drawing uses: the window's layouts 1 to 5 by number, or the
// family drawn into other windows' captions.
enum class LampSelector : int
{
    LargeSquare = 1,
    LargeHorizontal = 2,
    SmallHorizontal = 3,
    Modem = 4,
    Courier = 5,
    Title = 6,
};

} // namespace sarvendo
