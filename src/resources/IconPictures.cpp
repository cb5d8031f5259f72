// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"
#include "PixelFont.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace sarvendo::pictures {

namespace {

// The icons' art is drawn on a square grid of this many cells.
constexpr int kArtGrid = 16;

// The tray modem seen from the front: a grey case lit from the top left over a black
// front with two lamps. 'L' is the send lamp, 'R' the receive lamp.
constexpr std::array<std::string_view, kArtGrid> kTrayModem{
    "................", //
    "................", //
    "................", //
    "..WWWWWWWWWWWW..", //
    ".WggggggggggggdK", //
    ".WggggggggggggdK", //
    ".WggggggggggggdK", //
    ".WddddddddddddKK", //
    ".KKKKKKKKKKKKKKK", //
    ".KKKLKKKKKKKRKKK", //
    ".KKLLLKKKKKRRRKK", //
    ".KKKLKKKKKKKRKKK", //
    ".KKKKKKKKKKKKKKK", //
    "..dd........dd..", //
    "................", //
    "................", //
};

// A pointing hand, the finger tip at the top.
constexpr std::array<std::string_view, 22> kHand{
    ".....KK.........", //
    "....KWWK........", //
    "....KWWK........", //
    "....KWWK........", //
    "....KWWK........", //
    "....KWWKKK......", //
    "....KWWKWWKKK...", //
    "....KWWKWWKWWKK.", //
    ".KK.KWWKWWKWWKWK", //
    "KWWKKWWWWWWWWKWK", //
    "KWWWKWWWWWWWWWWK", //
    ".KWWKWWWWWWWWWWK", //
    "..KWWWWWWWWWWWWK", //
    "..KWWWWWWWWWWWWK", //
    "...KWWWWWWWWWWWK", //
    "...KWWWWWWWWWWK.", //
    "....KWWWWWWWWWK.", //
    "....KWWWWWWWWK..", //
    ".....KWWWWWWWK..", //
    ".....KWWWWWWWK..", //
    ".....KKKKKKKKK..", //
    "................", //
};

QRgb ArtColour(char code, QRgb sendLamp, QRgb receiveLamp)
{
    switch (code) {
    case 'W':
        return kWhite;
    case 'g':
        return kPanelGrey;
    case 'd':
        return kShadowGrey;
    case 'K':
        return kBlack;
    case 'L':
        return sendLamp;
    case 'R':
        return receiveLamp;
    default:
        return kTransparent;
    }
}

template <std::size_t Rows>
QImage DrawArt(const std::array<std::string_view, Rows>& art, int width, int height, int scale, QRgb sendLamp,
               QRgb receiveLamp)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(kTransparent);
    for (std::size_t row = 0; row < art.size(); ++row) {
        for (std::size_t column = 0; column < art[row].size(); ++column) {
            const QRgb colour = ArtColour(art[row][column], sendLamp, receiveLamp);
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    const int x = static_cast<int>(column) * scale + dx;
                    const int y = static_cast<int>(row) * scale + dy;
                    if (image.valid(x, y)) {
                        image.setPixel(x, y, colour);
                    }
                }
            }
        }
    }
    return image;
}

} // namespace

QImage DrawTrayIcon(bool carrier, bool receiving, bool sending)
{
    // Connected, the lamps idle red and flash green with traffic; without a carrier they
    // idle grey and flash cyan.
    const QRgb idle = carrier ? kLitRed : kShadowGrey;
    const QRgb busy = carrier ? kUnlitGreen : kCyan;
    return DrawArt(kTrayModem, 16, 16, 1, sending ? busy : idle, receiving ? busy : idle);
}

QImage DrawProgramIcon(int size)
{
    // Pixel art only stays crisp at whole multiples of its grid, so a size between two
    // multiples gets the smaller one with an even margin around it.
    const int scale = std::max(1, size / kArtGrid);
    const QImage art = DrawArt(kTrayModem, kArtGrid * scale, kArtGrid * scale, scale, kLitRed, kUnlitGreen);
    if (art.width() == size) {
        return art;
    }
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(kTransparent);
    const int margin = (size - art.width()) / 2;
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            image.setPixel(margin + x, margin + y, art.pixel(x, y));
        }
    }
    return image;
}

QImage DrawHandCursor()
{
    return DrawArt(kHand, 32, 32, 1, kBlack, kBlack);
}

QImage DrawSplashLogo()
{
    constexpr int kWidth = 322;
    constexpr int kHeight = 240;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(kNavy);

    constexpr std::string_view kName = "SARVENDO";
    constexpr int kScale = 4;
    const int nameWidth = PixelTextWidth(kName, LetterSize::Large) * kScale;
    DrawPixelText(image, (kWidth - nameWidth) / 2, 28, kName, kWhite, LetterSize::Large, kScale);

    // The front of a modem: a grey case over a black strip with a row of lamps, some lit.
    constexpr int kCaseLeft = 41;
    constexpr int kCaseTop = 110;
    constexpr int kCaseWidth = 240;
    constexpr int kCaseHeight = 90;
    for (int y = kCaseTop; y < kCaseTop + kCaseHeight; ++y) {
        for (int x = kCaseLeft; x < kCaseLeft + kCaseWidth; ++x) {
            const bool topOrLeft = y < kCaseTop + 3 || x < kCaseLeft + 3;
            const bool bottomOrRight = y >= kCaseTop + kCaseHeight - 3 || x >= kCaseLeft + kCaseWidth - 3;
            QRgb colour = kPanelGrey;
            if (bottomOrRight) {
                colour = kShadowGrey;
            } else if (topOrLeft) {
                colour = kWhite;
            } else if (y >= kCaseTop + 40 && y < kCaseTop + 76) {
                colour = kBlack;
            }
            image.setPixel(x, y, colour);
        }
    }
    constexpr std::array<bool, 8> kLit{true, false, true, true, false, true, false, true};
    for (std::size_t index = 0; index < kLit.size(); ++index) {
        const QImage lamp =
            DrawLampPicture(LampShape::Disc, 20, 20, kLit[index] ? LampContent::Lit : LampContent::Unlit);
        const int left = kCaseLeft + 14 + static_cast<int>(index) * 28;
        const int top = kCaseTop + 48;
        for (int y = 0; y < lamp.height(); ++y) {
            for (int x = 0; x < lamp.width(); ++x) {
                const QRgb pixel = lamp.pixel(x, y);
                // The lamp's blue surround takes the front's black.
                image.setPixel(left + x, top + y, pixel == kLabelBlue ? kBlack : pixel);
            }
        }
    }
    return image;
}

} // namespace sarvendo::pictures
