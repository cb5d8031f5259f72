// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include <string_view>

namespace sarvendo::pictures {

// The colours the pictures are drawn in. The panel and lamp pictures use only the roles
// the recolouring replaces (light grey and blue panels, red, green and blue lamps) plus
// black, white and dark grey, which it leaves alone.
inline constexpr QRgb kPanelGrey = 0xFFC0C0C0;
inline constexpr QRgb kLabelBlue = 0xFF0000FF;
inline constexpr QRgb kShadowGrey = 0xFF808080;
inline constexpr QRgb kWhite = 0xFFFFFFFF;
inline constexpr QRgb kBlack = 0xFF000000;
inline constexpr QRgb kLitRed = 0xFFFF0000;
inline constexpr QRgb kUnlitGreen = 0xFF00FF00;
inline constexpr QRgb kCyan = 0xFF00FFFF;
inline constexpr QRgb kNavy = 0xFF000080;
inline constexpr QRgb kTransparent = 0x00000000;

enum class LampShape
{
    Disc,
    Octagon,
    Diamond,
    Square,
    Bar,
};

enum class LampContent
{
    Lit,
    Unlit,
    EmptySocket,
};

QImage DrawLampPicture(LampShape shape, int width, int height, LampContent content);

// A window layout's panel (1 to 5) with its labels, or a caption strip (3, 4 or 5).
QImage DrawLayoutPicture(int layout);
QImage DrawTitleStripPicture(int orientation);

// A tray icon: carrier present or not, and whether the send (left) and receive (right)
// lamps show activity.
QImage DrawTrayIcon(bool carrier, bool receiving, bool sending);
// The program icon for a square of size pixels (16 or more).
QImage DrawProgramIcon(int size);
QImage DrawHandCursor();
QImage DrawSplashLogo();

} // namespace sarvendo::pictures
