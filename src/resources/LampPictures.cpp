// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace sarvendo::pictures {

namespace {

// Whether the centre of pixel (x, y) lies inside the shape fitted to a box of width ×
// height shrunk by inset pixels on every side; the outline is what lies inside at inset
// 0 but not at inset 1.
bool Inside(LampShape shape, int width, int height, int x, int y, double inset)
{
    double cx = width / 2.0;
    double cy = height / 2.0;
    // Nearly square boxes get a true circle, set on whole pixels at the top left: centred
    // in an odd box that is one pixel taller, its top and bottom would each be a single
    // pixel sticking out.
    const bool circle = shape == LampShape::Disc && std::abs(width - height) <= 1;
    if (circle) {
        cx = std::min(width, height) / 2.0;
        cy = cx;
    }
    const double px = x + 0.5 - cx;
    const double py = y + 0.5 - cy;
    switch (shape) {
    case LampShape::Disc: {
        // The flat title box gets an ellipse.
        const double rx = (circle ? std::min(width, height) : width) / 2.0 - inset;
        const double ry = (circle ? std::min(width, height) : height) / 2.0 - inset;
        if (rx <= 0 || ry <= 0) {
            return false;
        }
        return (px * px) / (rx * rx) + (py * py) / (ry * ry) <= 1.0;
    }
    case LampShape::Octagon: {
        // Corners cut well in, so the straight edges show at this size and the lamp does
        // not pass for a disc.
        const double half = std::min(width, height) / 2.0 - inset;
        const double corner = half * 1.3;
        return std::abs(px) <= half && std::abs(py) <= half && std::abs(px) + std::abs(py) <= corner;
    }
    case LampShape::Diamond: {
        const double rx = width / 2.0 - inset;
        const double ry = height / 2.0 - inset;
        if (rx <= 0 || ry <= 0) {
            return false;
        }
        return std::abs(px) / rx + std::abs(py) / ry <= 1.0;
    }
    case LampShape::Square: {
        // A square as wide as the picture, at its top; the rows below stay background.
        const double side = std::min(width, height);
        const double sy = y + 0.5 - side / 2.0;
        return std::abs(px) <= side / 2.0 - inset && std::abs(sy) <= side / 2.0 - inset;
    }
    case LampShape::Bar:
        // The bar leaves a row of background above and below.
        return std::abs(px) <= width / 2.0 - inset && std::abs(py) <= height / 2.0 - 1.0 - inset;
    }
    return false;
}

} // namespace

QImage DrawLampPicture(LampShape shape, int width, int height, LampContent content)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kLabelBlue);
    const QRgb body = content == LampContent::Lit ? kLitRed : kUnlitGreen;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!Inside(shape, width, height, x, y, 0.0)) {
                continue;
            }
            if (!Inside(shape, width, height, x, y, 1.0)) {
                image.setPixel(x, y, kBlack);
            } else if (content != LampContent::EmptySocket) {
                image.setPixel(x, y, body);
            }
        }
    }
    if (content == LampContent::EmptySocket) {
        // Crossed out: both diagonals of the socket, inside its outline. A diagonal is the
        // pixels near the corner-to-corner line, measured across it: a pixel and a half wide
        // in a socket the size of a lamp, a single pixel in the low title socket, which
        // would otherwise read as solid black.
        const double halfWidth = std::min(width, height) >= 10 ? 0.75 : 0.5;
        const double length = std::hypot(width - 1, height - 1);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int left = x * (height - 1);
                const int down = y * (width - 1);
                const int up = (height - 1 - y) * (width - 1);
                const bool onDiagonal =
                    std::abs(left - down) < halfWidth * length || std::abs(left - up) < halfWidth * length;
                if (onDiagonal && Inside(shape, width, height, x, y, 1.0)) {
                    image.setPixel(x, y, kBlack);
                }
            }
        }
        return image;
    }
    // A flat lamp is flat: only the round look has a highlight.
    if (shape != LampShape::Disc) {
        return image;
    }
    // The highlight: a small white glint up and left of the centre, never on the outline.
    const int glintX = width / 3;
    const int glintY = height / 3;
    const int glintSize = std::min(width, height) >= 16 ? 3 : (std::min(width, height) >= 10 ? 2 : 1);
    for (int y = glintY; y < glintY + glintSize; ++y) {
        for (int x = glintX; x < glintX + glintSize; ++x) {
            if (Inside(shape, width, height, x, y, 1.0) && image.pixel(x, y) == body) {
                image.setPixel(x, y, kWhite);
            }
        }
    }
    return image;
}

} // namespace sarvendo::pictures
