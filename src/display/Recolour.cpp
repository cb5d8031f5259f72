// SPDX-License-Identifier: GPL-3.0-or-later
#include "Recolour.h"

#include "display/Colours.h"

#include <QImage>

#include <algorithm>

namespace sarvendo {

namespace {

template <typename Rule> void ForEachPixel(QImage& picture, int width, int height, Rule rule)
{
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32) {
        picture = picture.convertToFormat(QImage::Format_RGB32);
    }
    const int right = std::min(width, picture.width());
    const int bottom = std::min(height, picture.height());
    for (int y = 0; y < bottom; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < right; ++x) {
            line[x] = rule(line[x]);
        }
    }
}

bool LightGrey(int component)
{
    return component > 150 && component < 240;
}

} // namespace

void RecolourPanelPicture(QImage& picture, int width, int height, ColorRef background, ColorRef text)
{
    const QRgb backgroundPixel = ToQRgb(background);
    const QRgb textPixel = ToQRgb(text);
    ForEachPixel(picture, width, height, [&](QRgb pixel) {
        const int r = qRed(pixel);
        const int g = qGreen(pixel);
        const int b = qBlue(pixel);
        if (LightGrey(r) && LightGrey(g) && LightGrey(b)) {
            return backgroundPixel;
        }
        if (r < 100 && g < 100 && b > 128) {
            return textPixel;
        }
        return pixel;
    });
}

void RecolourLampPicture(QImage& picture, ColorRef lit, ColorRef unlit, ColorRef background)
{
    const QRgb litPixel = ToQRgb(lit);
    const QRgb unlitPixel = ToQRgb(unlit);
    const QRgb backgroundPixel = ToQRgb(background);
    ForEachPixel(picture, picture.width(), picture.height(), [&](QRgb pixel) {
        const int r = qRed(pixel);
        const int g = qGreen(pixel);
        const int b = qBlue(pixel);
        if (r >= 128 && g < 100 && b < 100) {
            return litPixel;
        }
        if (r < 100 && g < 100 && b >= 128) {
            return backgroundPixel;
        }
        if (r < 100 && g >= 128 && b < 100) {
            return unlitPixel;
        }
        return pixel;
    });
}

} // namespace sarvendo
