// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelLayout.h"

#include "core/Layouts.h"
#include "core/Settings.h"

#include <cstdlib>

namespace sarvendo {

namespace {

using enum LampSignal;

constexpr std::array<PanelLamp, 6> kSquareLamps{{
    {0, 0, "CTS", CTS},
    {0, 1, "RI", RI},
    {0, 2, "DCD", CD},
    {1, 0, "DSR", DSR},
    {1, 1, "TD", TD},
    {1, 2, "RD", RD},
}};

constexpr std::array<PanelLamp, 6> kRowLamps{{
    {0, 0, "CTS", CTS},
    {0, 1, "RI", RI},
    {0, 2, "DCD", CD},
    {0, 3, "DSR", DSR},
    {0, 4, "TD", TD},
    {0, 5, "RD", RD},
}};

constexpr std::array<PanelLamp, 9> kModemLamps{{
    {0, 0, "HS", HighSpeed},
    {0, 1, "AA", RI},
    {0, 2, "CD", CD},
    {0, 3, "RD", RD},
    {0, 4, "SD", TD},
    {0, 5, "TR", DTR},
    {0, 6, "MR", DSR},
    {0, 7, "RS", RTS},
    {0, 8, "CS", CTS},
}};

constexpr std::array<PanelLamp, 12> kCourierLamps{{
    {0, 0, "HS", HighSpeed},
    {0, 1, "AA", RI},
    {0, 2, "CD", CD},
    {0, 3, "OH", AlwaysOff},
    {0, 4, "RD", RD},
    {0, 5, "SD", TD},
    {0, 6, "TR", DTR},
    {0, 7, "MR", DSR},
    {0, 8, "RS", RTS},
    {0, 9, "CS", CTS},
    {0, 10, "SYN", AlwaysOff},
    {0, 11, "ARQ", AlwaysOff},
}};

constexpr std::array<PanelLayout, 5> kLayouts{{
    {kLargeSquareLayout,
     "SQUARE",
     100,
     70,
     kLayoutSizes[0].width,
     kLayoutSizes[0].height,
     LampSelector::LargeSquare,
     {8, 2, 31, 32},
     kSquareLamps},
    {kLargeHorizontalLayout,
     "HORIZ",
     183,
     40,
     kLayoutSizes[1].width,
     kLayoutSizes[1].height,
     LampSelector::LargeHorizontal,
     {3, 2, 31, 32},
     kRowLamps},
    {kSmallHorizontalLayout,
     "HORIZ_SMALL",
     104,
     100,
     kLayoutSizes[2].width,
     kLayoutSizes[2].height,
     LampSelector::SmallHorizontal,
     {6, 2, 16, 1},
     kRowLamps},
    {kModemLayout,
     "HORIZ_MODEM",
     123,
     100,
     kLayoutSizes[3].width,
     kLayoutSizes[3].height,
     LampSelector::Modem,
     {3, 2, 13, 15},
     kModemLamps},
    {kCourierLayout,
     "COURIER",
     173,
     100,
     kLayoutSizes[4].width,
     kLayoutSizes[4].height,
     LampSelector::Courier,
     {8, 2, 13, 15},
     kCourierLamps},
}};

constexpr LampGrid kTitleGrid{3, 1, 15, 1};

constexpr std::array<TitleStrip, 3> kTitleStrips{{
    {kSmallHorizontalLayout, "TITLE2", 94, 94, kTitleGrid, kRowLamps},
    {kModemLayout, "TITLE12", 138, 138, kTitleGrid, kModemLamps},
    {kCourierLayout, "TITLE22", 189, 185, kTitleGrid, kCourierLamps},
}};

} // namespace

const PanelLayout* FindPanelLayout(int number)
{
    // Widened first: the most negative int has no positive counterpart.
    const long long absolute = std::llabs(static_cast<long long>(number));
    if (absolute < 1 || absolute > static_cast<long long>(kLayouts.size())) {
        return nullptr;
    }
    return &kLayouts[static_cast<std::size_t>(absolute - 1)];
}

std::span<const PanelLayout> PanelLayouts()
{
    return kLayouts;
}

const TitleStrip* FindTitleStrip(int orientation)
{
    const long long absolute = std::llabs(static_cast<long long>(orientation));
    for (const TitleStrip& strip : kTitleStrips) {
        if (strip.orientation == absolute) {
            return &strip;
        }
    }
    return nullptr;
}

std::uint8_t SignalFlag(const LampFlags& flags, LampSignal signal)
{
    switch (signal) {
    case CTS:
        return flags.LampCTS;
    case RTS:
        return flags.LampRTS;
    case RI:
        return flags.LampRI;
    case CD:
        return flags.LampCD;
    case DSR:
        return flags.LampDSR;
    case TD:
        return flags.LampTD;
    case RD:
        return flags.LampRD;
    case DTR:
        return flags.LampDTR;
    case HighSpeed:
    case AlwaysOff:
        return 0;
    }
    return 0;
}

} // namespace sarvendo
