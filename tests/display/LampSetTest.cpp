// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/LampSet.h"

#include "DisplayFakes.h"
#include "core/Settings.h"

#include "display/Colours.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

constexpr ColorRef kOn = Rgb(255, 128, 0);
constexpr ColorRef kOff = Rgb(0, 100, 100);
constexpr ColorRef kBackground = Rgb(10, 20, 30);

class LampSetTest : public ::testing::Test
{
protected:
    LampSetTest()
    {
        settings.LightColorOn = kOn;
        settings.LightColorOff = kOff;
        settings.BackgroundColor = kBackground;
        settings.DefaultPort = 2;
        target.fill(Qt::white);
    }

    // Draws one lamp at the origin of a one-cell grid and returns the colour of its middle.
    QRgb DrawAndSample(std::uint8_t lit, LampSelector selector, int column = 0)
    {
        QPainter painter(&target);
        lamps.DrawLamp(painter, lit, LampGrid{-column * 20, 0, 20, 20}, selector, 0, column);
        painter.end();
        return Middle(selector);
    }

    QRgb HighSpeedMiddle(LampSelector selector, HighSpeedSource source)
    {
        target.fill(Qt::white);
        QPainter painter(&target);
        lamps.DrawHighSpeedLamp(painter, LampGrid{0, 0, 20, 20}, selector, 0, source);
        painter.end();
        return Middle(selector);
    }

    QRgb Middle(LampSelector selector) const
    {
        // The lamp bodies all cover the middle of their picture, clear of the glint.
        const int look = selector == LampSelector::Title ? settings.LampLookTitle : settings.LampLook;
        const QImage& picture = lamps.Picture(selector, look == 1, LampPicture::Unlit);
        const int width = picture.isNull() ? 10 : picture.width();
        const int height = picture.isNull() ? 10 : picture.height();
        return target.pixel(width / 2, height / 2 + (height > 8 ? 1 : 0));
    }

    Settings settings;
    fakes::FakeLineParameters line;
    LampSet lamps{settings, line};
    QImage target{40, 40, QImage::Format_RGB32};
};

TEST_F(LampSetTest, LitOnlyForExactlyOneAndEveryFamilyRecolours)
{
    for (const LampSelector selector :
         {LampSelector::LargeSquare, LampSelector::SmallHorizontal, LampSelector::Modem, LampSelector::Title}) {
        for (const int look : {1, 0, 7}) {
            settings.LampLook = look;
            settings.LampLookTitle = look;
            EXPECT_EQ(DrawAndSample(1, selector), ToQRgb(kOn)) << static_cast<int>(selector) << " look " << look;
            EXPECT_EQ(DrawAndSample(0, selector), ToQRgb(kOff));
            EXPECT_EQ(DrawAndSample(2, selector), ToQRgb(kOff)) << "a flag other than 0 or 1 is unlit";
            EXPECT_EQ(DrawAndSample(255, selector), ToQRgb(kOff));
            // The blue surround became the background colour.
            const QImage& picture = lamps.Picture(selector, look == 1, LampPicture::Lit);
            EXPECT_EQ(target.pixel(picture.width() - 1, picture.height() - 1), ToQRgb(kBackground));
        }
    }
}

TEST_F(LampSetTest, OnlyLookOneIsRound)
{
    settings.LampLook = 1;
    DrawAndSample(1, LampSelector::Modem);
    EXPECT_EQ(lamps.Picture(LampSelector::Modem, true, LampPicture::Lit).size(), QSize(12, 12));
    settings.LampLook = 7;
    settings.RebuildWindowLamps = 1;
    DrawAndSample(1, LampSelector::Modem);
    EXPECT_EQ(lamps.Picture(LampSelector::Modem, false, LampPicture::Lit).size(), QSize(10, 11));
    // A round modem lamp's corner is background; the flat square's corner is its outline.
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 0));
}

TEST_F(LampSetTest, ColoursChangeOnlyWithARebuildRequestWhichIsThenCleared)
{
    EXPECT_EQ(DrawAndSample(1, LampSelector::SmallHorizontal), ToQRgb(kOn));
    settings.LightColorOn = Rgb(1, 2, 3);
    EXPECT_EQ(DrawAndSample(1, LampSelector::SmallHorizontal), ToQRgb(kOn));
    settings.RebuildTitleLamps = 1; // the caption family's request leaves the window's lamps alone
    EXPECT_EQ(DrawAndSample(1, LampSelector::SmallHorizontal), ToQRgb(kOn));
    EXPECT_EQ(settings.RebuildTitleLamps, 1);
    settings.RebuildWindowLamps = 1;
    EXPECT_EQ(DrawAndSample(1, LampSelector::SmallHorizontal), ToQRgb(Rgb(1, 2, 3)));
    EXPECT_EQ(settings.RebuildWindowLamps, 0);
    DrawAndSample(1, LampSelector::Title);
    EXPECT_EQ(settings.RebuildTitleLamps, 0);
}

TEST_F(LampSetTest, EmptySocketsOnlyInTheCourierColumnsThatCannotLight)
{
    for (const int column : {3, 10, 11}) {
        EXPECT_EQ(DrawAndSample(0, LampSelector::Courier, column), qRgb(0, 0, 0)) << column;
        EXPECT_EQ(DrawAndSample(1, LampSelector::Courier, column), ToQRgb(kOn)) << column;
        EXPECT_EQ(DrawAndSample(0, LampSelector::Modem, column), ToQRgb(kOff)) << column;
    }
    EXPECT_EQ(DrawAndSample(0, LampSelector::Courier, 2), ToQRgb(kOff));

    settings.OrientationTitle = -5;
    EXPECT_EQ(DrawAndSample(0, LampSelector::Title, 10), qRgb(0, 0, 0));
    settings.OrientationTitle = 4;
    EXPECT_EQ(DrawAndSample(0, LampSelector::Title, 10), ToQRgb(kOff));
}

TEST_F(LampSetTest, HighSpeedFollowsTheEffectiveRateOfThePort)
{
    const auto lampAt = [this](std::uint32_t baud) {
        line.baudRate = baud;
        return HighSpeedMiddle(LampSelector::Modem, HighSpeedSource::NotificationOrPortRate);
    };
    EXPECT_EQ(lampAt(9600), ToQRgb(kOff));
    EXPECT_EQ(lampAt(14400), ToQRgb(kOn));
    EXPECT_EQ(lampAt(115200), ToQRgb(kOn));
    EXPECT_EQ(lampAt(230400), ToQRgb(kOn)) << "above the UART clock the divisor is 0";
    EXPECT_EQ(lampAt(0), ToQRgb(kOff));
    EXPECT_EQ(lampAt(9601), ToQRgb(kOn)) << "divisor 11: the UART really runs at 10473";
    settings.DefaultPort = 0;
    EXPECT_EQ(lampAt(57600), ToQRgb(kOff)) << "no monitored port";
}

TEST_F(LampSetTest, TheNotificationDecidesHighSpeedExceptOnTheCourierStrip)
{
    settings.NotifyValue2 = 1;
    line.baudRate = 115200;
    settings.HighSpeed = 0;
    EXPECT_EQ(HighSpeedMiddle(LampSelector::Courier, HighSpeedSource::NotificationOrPortRate), ToQRgb(kOff));
    EXPECT_EQ(line.baudReads, 0);
    settings.HighSpeed = 1;
    EXPECT_EQ(HighSpeedMiddle(LampSelector::Modem, HighSpeedSource::NotificationOrPortRate), ToQRgb(kOn));
    settings.HighSpeed = 0;
    EXPECT_EQ(HighSpeedMiddle(LampSelector::Title, HighSpeedSource::PortRateOnly), ToQRgb(kOn));
    EXPECT_EQ(line.baudReads, 1);
}

TEST(LampSetRateTest, EffectiveRateUsesTheWholeDivisorAndRoundsHalfToEven)
{
    EXPECT_EQ(LampSet::EffectiveRate(0), 0U);
    EXPECT_EQ(LampSet::EffectiveRate(9600), 9600U);
    EXPECT_EQ(LampSet::EffectiveRate(14400), 14400U);
    EXPECT_EQ(LampSet::EffectiveRate(19200), 19200U);
    EXPECT_EQ(LampSet::EffectiveRate(28800), 28800U);
    EXPECT_EQ(LampSet::EffectiveRate(33600), 38400U); // divisor 3
    EXPECT_EQ(LampSet::EffectiveRate(10000), 10473U); // 115200 / 11 = 10472.7
    EXPECT_EQ(LampSet::EffectiveRate(115200), 115200U);
    EXPECT_EQ(LampSet::EffectiveRate(460800), 460800U);
    EXPECT_EQ(LampSet::EffectiveRate(1), 1U);
}

} // namespace
} // namespace sarvendo
