// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>

namespace sarvendo {

// The five layouts of the lamp window, numbered as "NewOrientation" stores them (its sign
// only says whether the window is minimised).
inline constexpr int kLargeSquareLayout = 1;
inline constexpr int kLargeHorizontalLayout = 2;
inline constexpr int kSmallHorizontalLayout = 3;
inline constexpr int kModemLayout = 4;
inline constexpr int kCourierLayout = 5;
inline constexpr int kLayoutCount = 5;

// The layout used where a number names none: the default layout.
inline constexpr int kDefaultLayout = kSmallHorizontalLayout;

// The size a layout's lamps and labels take, without text lines.
struct LayoutSize
{
    int width = 0;
    int height = 0;
};

inline constexpr std::array<LayoutSize, kLayoutCount> kLayoutSizes{{
    {100, 70},
    {183, 40},
    {104, 27},
    {123, 27},
    {173, 27},
}};

// The size of a layout by the absolute value of "NewOrientation"; a number that names
// no layout gets the default layout's size.
constexpr LayoutSize LayoutWindowSize(std::int32_t orientation)
{
    const long long absolute = orientation < 0 ? -static_cast<long long>(orientation) : orientation;
    if (absolute < 1 || absolute > kLayoutCount) {
        return kLayoutSizes[kDefaultLayout - 1];
    }
    return kLayoutSizes[static_cast<std::size_t>(absolute - 1)];
}

} // namespace sarvendo
