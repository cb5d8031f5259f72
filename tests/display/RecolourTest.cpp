// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Recolour.h"

#include "display/Colours.h"

#include <QImage>

#include <gtest/gtest.h>
#include <vector>

namespace sarvendo {
namespace {

constexpr ColorRef kBackground = Rgb(1, 2, 3);
constexpr ColorRef kText = Rgb(4, 5, 6);
constexpr ColorRef kLit = Rgb(7, 8, 9);
constexpr ColorRef kUnlit = Rgb(10, 11, 12);

// One row of pixels, recoloured, read back.
std::vector<QRgb> Panel(const std::vector<QRgb>& pixels, int width)
{
    QImage image(static_cast<int>(pixels.size()), 1, QImage::Format_RGB32);
    for (std::size_t x = 0; x < pixels.size(); ++x) {
        image.setPixel(static_cast<int>(x), 0, pixels[x]);
    }
    RecolourPanelPicture(image, width, 1, kBackground, kText);
    std::vector<QRgb> out;
    for (int x = 0; x < image.width(); ++x) {
        out.push_back(image.pixel(x, 0));
    }
    return out;
}

QRgb Lamp(QRgb pixel)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, pixel);
    RecolourLampPicture(image, kLit, kUnlit, kBackground);
    return image.pixel(0, 0);
}

TEST(RecolourTest, PanelRuleTakesLightGreysAndDarkBluesWithinItsArea)
{
    const QRgb background = ToQRgb(kBackground);
    const QRgb text = ToQRgb(kText);
    const std::vector<QRgb> in{qRgb(192, 192, 192), qRgb(151, 151, 239), qRgb(150, 192, 192), qRgb(192, 192, 240),
                               qRgb(0, 0, 255),     qRgb(99, 99, 129),   qRgb(100, 0, 255),   qRgb(0, 0, 128),
                               qRgb(128, 128, 128), qRgb(255, 255, 255), qRgb(192, 192, 192)};
    const std::vector<QRgb> expected{
        background,      background,          qRgb(150, 192, 192), qRgb(192, 192, 240), text, text, qRgb(100, 0, 255),
        qRgb(0, 0, 128), qRgb(128, 128, 128), qRgb(255, 255, 255), qRgb(192, 192, 192)};
    // The last pixel lies outside the area and keeps its grey.
    EXPECT_EQ(Panel(in, 10), expected);
    EXPECT_EQ(Panel({qRgb(192, 192, 192)}, 1000), std::vector<QRgb>{background}) << "area clipped to the picture";
}

TEST(RecolourTest, LampRuleTakesRedBlueAndGreenRolesAndKeepsOutlineAndHighlight)
{
    EXPECT_EQ(Lamp(qRgb(255, 0, 0)), ToQRgb(kLit));
    EXPECT_EQ(Lamp(qRgb(128, 99, 99)), ToQRgb(kLit));
    EXPECT_EQ(Lamp(qRgb(127, 0, 0)), qRgb(127, 0, 0));
    EXPECT_EQ(Lamp(qRgb(0, 0, 255)), ToQRgb(kBackground));
    EXPECT_EQ(Lamp(qRgb(0, 0, 128)), ToQRgb(kBackground));
    EXPECT_EQ(Lamp(qRgb(0, 255, 0)), ToQRgb(kUnlit));
    EXPECT_EQ(Lamp(qRgb(99, 128, 99)), ToQRgb(kUnlit));
    EXPECT_EQ(Lamp(qRgb(0, 0, 0)), qRgb(0, 0, 0));
    EXPECT_EQ(Lamp(qRgb(255, 255, 255)), qRgb(255, 255, 255));
    EXPECT_EQ(Lamp(qRgb(0, 255, 255)), qRgb(0, 255, 255));
}

} // namespace
} // namespace sarvendo
