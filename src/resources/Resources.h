// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvendo {

// The program's pictures: layout panels, lamps, title strips, tray icons, the splash
// logo, the program icon and the hand cursor. They are drawn from the tables in this
// folder every time they are asked for, so the same build always yields the same pixels
// and every picture can be reviewed as source. Names are matched without regard to case.

// The picture called name, or nothing when there is no such resource.
std::optional<QImage> LoadResourceImage(std::string_view name);

// Every resource name in its canonical spelling, for tests and the review tool.
std::vector<std::string> ResourceNames();

// The program icon ("MAINICON" is its 32-pixel form) for a square of size pixels, for
// the desktop's menus and launchers. The art is enlarged by whole pixels only and
// centred, so every size stays as sharp as the drawn cells. Sizes outside 16 to 1024 give
// nothing.
constexpr int kSmallestProgramIcon = 16;
constexpr int kLargestProgramIcon = 1024;
std::optional<QImage> LoadProgramIcon(int size);

// The point of the "HAND" cursor that clicks: the tip of the index finger.
QPoint HandCursorHotSpot();

} // namespace sarvendo
