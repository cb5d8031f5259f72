// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/Resources.h"

#include <QImage>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

QImage Icon(int size)
{
    const auto icon = LoadProgramIcon(size);
    EXPECT_TRUE(icon.has_value()) << size;
    return icon.value_or(QImage()).convertToFormat(QImage::Format_ARGB32);
}

bool Transparent(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y)) == 0;
}

TEST(ProgramIcon, ComesAtEveryThemeSize)
{
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage icon = Icon(size);
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
}

TEST(ProgramIcon, ThirtyTwoPixelsIsTheWindowIcon)
{
    const auto main = LoadResourceImage("MAINICON");
    ASSERT_TRUE(main.has_value());
    EXPECT_EQ(Icon(32), main->convertToFormat(QImage::Format_ARGB32));
}

TEST(ProgramIcon, WholeMultiplesAreEnlargedPixelForPixel)
{
    const QImage small = Icon(16);
    for (const int size : {48, 256}) {
        EXPECT_EQ(Icon(size), small.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)) << size;
    }
}

TEST(ProgramIcon, SizesBetweenMultiplesAreCentredWithoutBlur)
{
    const QImage small = Icon(16);
    const QImage icon = Icon(22);
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 22; ++x) {
            const bool inside = x >= 3 && x < 19 && y >= 3 && y < 19;
            if (inside) {
                ASSERT_EQ(icon.pixel(x, y), small.pixel(x - 3, y - 3)) << x << "," << y;
            } else {
                ASSERT_TRUE(Transparent(icon, x, y)) << x << "," << y;
            }
        }
    }
}

TEST(ProgramIcon, SizesOutsideTheRangeGiveNothing)
{
    for (const int size : {-16, 0, 15, 1025}) {
        EXPECT_FALSE(LoadProgramIcon(size).has_value()) << size;
    }
}

} // namespace
} // namespace sarvendo
