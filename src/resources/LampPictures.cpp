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
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    const double px = x + 0.5 - cx;
    const double py = y + 0.5 - cy;
    switch (shape) {
    case LampShape::Disc: {
        // Nearly square boxes get a true circle; the flat title box gets an ellipse.
        const bool circle = std::abs(width - height) <= 1;
        const double rx = (circle ? std::min(width, height) : width) / 2.0 - inset;
        const double ry = (circle ? std::min(width, height) : height) / 2.0 - inset;
        if (rx <= 0 || ry <= 0) {
            return false;
        }
        return (px * px) / (rx * rx) + (py * py) / (ry * ry) <= 1.0;
    }
    case LampShape::Octagon: {
        const double half = std::min(width, height) / 2.0 - inset;
        const double corner = half * 1.45;
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
        // Crossed out: both diagonals of the socket, inside its outline.
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int left = x * (height - 1);
                const int down = y * (width - 1);
                const int up = (height - 1 - y) * (width - 1);
                const bool onDiagonal = std::abs(left - down) < width || std::abs(left - up) < width;
                if (onDiagonal && Inside(shape, width, height, x, y, 1.0)) {
                    image.setPixel(x, y, kBlack);
                }
            }
        }
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
