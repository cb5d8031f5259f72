// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/TitleLamps.h"

#include "DisplayFakes.h"
#include "core/Settings.h"

#include "display/Colours.h"
#include "display/LampSet.h"
#include "fakes/FakeCaptionOverlay.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeForegroundWindow.h"
#include "monitor/ConnectTime.h"

#include <QGuiApplication>
#include <QImage>
#include <QPalette>

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace sarvendo {
namespace {

using fakes::FakeForegroundWindow;

constexpr ColorRef kOn = Rgb(255, 0, 0);
constexpr ColorRef kOff = Rgb(0, 128, 0);

// The classic metrics the strip is placed with.
constexpr int kButton = kClassicSystemMetrics.CxSize;
constexpr int kDlgFrame = kClassicSystemMetrics.CxDlgFrame;

class TitleLampsTest : public ::testing::Test
{
protected:
    TitleLampsTest()
    {
        settings.Title = 1;
        settings.OrientationTitle = 3;
        settings.LampLookTitle = 1;
        settings.LightColorOn = kOn;
        settings.LightColorOff = kOff;
        settings.RebuildTitleLamps = 1;
        settings.DefaultPort = 1;
        settings.LampCD = 1;
        settings.SessionStart = clock.Now() - (3600 + 2 * 60 + 3) * kOneSecond;
    }

    // The time of day on the caption: its columns whose pixels differ from the title bar.
    std::pair<int, int> TextColumns() const
    {
        int first = -1;
        int last = -1;
        for (int x = 0; x < overlay.width; ++x) {
            for (int y = 0; y < overlay.height; ++y) {
                if (overlay.Pixel(x, y) != foreground.captionColour) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            }
        }
        return {overlay.place.x + first, overlay.place.x + last};
    }

    // The middle of the HS lamp's body in the strip.
    QRgb HighSpeedLamp() const { return title.Strip().pixel(3 + 5, 1 + 3); }

    Settings settings;
    fakes::FakeLineParameters line;
    LampSet lamps{settings, line};
    FakeForegroundWindow foreground;
    fakes::FakeCaptionOverlay overlay;
    fakes::FakeClock clock;
    ConnectTime connectTime{settings, clock};
    TitleLamps title{settings, lamps, foreground, overlay, connectTime};
};

TEST_F(TitleLampsTest, WhatIsWantedDecidesBetweenStripTimeAndNothing)
{
    struct Case
    {
        const char* name;
        int title;
        std::uint8_t carrier;
        int time;
        int totalTime;
        bool shown;
        int width; // 94 the small strip alone; 0 some other width
    };
    const Case cases[] = {
        {"Title 2 without carrier draws nothing", 2, 0, 1, 0, false, 0},
        {"Title 2 with carrier shows the strip", 2, 1, 0, 0, true, 94},
        {"Title 1 without carrier shows the strip", 1, 0, 1, 1, true, 94},
        {"Title 0 with the time shows the time alone", 0, 1, 1, 0, true, 0},
        {"Title 0 with the total time shows the time alone", 0, 1, 0, 1, true, 0},
        {"Title 0 without carrier draws nothing", 0, 0, 1, 1, false, 0},
        {"other Title values are off", 7, 1, 0, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        title.HideCaptionStrip();
        settings.Title = c.title;
        settings.LampCD = c.carrier;
        settings.DisplayConnectTimeInTitlebar = c.time;
        settings.DisplayTotalConnectTimeInTitlebar = c.totalTime;
        title.DrawTitleLamps();
        EXPECT_EQ(overlay.visible, c.shown);
        if (c.shown && c.width != 0) {
            EXPECT_EQ(overlay.width, c.width);
        }
    }
}

TEST_F(TitleLampsTest, StripSitsLeftOfTheButtonsAndTheTimeTwoPixelsLeftOfIt)
{
    title.DrawTitleLamps();
    // Frame 400 wide at (100, 50) with all three buttons and a sizing frame; a 23-pixel
    // title bar holds the 17-pixel strip centred.
    const int stripLeft = 100 + 400 - 94 - 2 - 3 * kButton - kDlgFrame;
    EXPECT_EQ(overlay.place, (DesktopRect{stripLeft, 50 + (23 - 17) / 2, 94, 17}));
    EXPECT_EQ(overlay.frame, foreground.target->frame);

    settings.DisplayConnectTimeInTitlebar = 1;
    title.HideCaptionStrip();
    title.DrawTitleLamps();
    EXPECT_EQ(overlay.place.x + overlay.width, stripLeft + 94);
    const auto [firstWithLamps, lastWithLamps] = TextColumns();
    EXPECT_LT(firstWithLamps, stripLeft - 2);

    // Without lamps the time ends two pixels left of where the strip's right edge would be.
    settings.Title = 0;
    title.HideCaptionStrip();
    title.DrawTitleLamps();
    EXPECT_EQ(overlay.place.x + overlay.width, stripLeft + 94 - 2);
    const auto [first, last] = TextColumns();
    EXPECT_LE(last, stripLeft + 94 - 3);
    EXPECT_GE(last, stripLeft + 94 - 6) << "the time is right-aligned against the strip's place";
    EXPECT_LT(first, last);
}

TEST_F(TitleLampsTest, TitleBarOffsetMovesStripAndTimeLeft)
{
    settings.DisplayConnectTimeInTitlebar = 1;
    title.DrawTitleLamps();
    const fakes::FakeCaptionOverlay before = overlay;

    settings.TitleBarOffset = 20;
    title.DrawTitleLamps();
    EXPECT_FALSE(overlay.visible) << "a strip that must move is first taken away";
    EXPECT_EQ(settings.RepaintNeeded, 1);
    title.DrawTitleLamps();
    ASSERT_TRUE(overlay.visible);
    EXPECT_EQ(overlay.place.x, before.place.x - 20);
    EXPECT_EQ(overlay.place.y, before.place.y);
    EXPECT_EQ(overlay.pixels, before.pixels) << "the same strip and time, only further left";
}

TEST_F(TitleLampsTest, RoomAndStyleDecideWhichWindowsGetTheStrip)
{
    struct Case
    {
        const char* name;
        int orientation;
        std::function<void(CaptionTarget&)> change;
        bool shown;
    };
    const Case cases[] = {
        {"a 400-pixel window takes the Courier strip", 5, [](CaptionTarget&) {}, true},
        {"a 200-pixel window has no room for the Courier strip", 5, [](CaptionTarget& t) { t.frameRect.width = 200; },
         false},
        {"a 200-pixel window takes the small strip", 3, [](CaptionTarget& t) { t.frameRect.width = 200; }, true},
        // 94 + three buttons' room, the closing button's and the sizing frame leave 0.
        {"no room left at all", 3, [](CaptionTarget& t) { t.frameRect.width = 94 + 4 * kButton + 4; }, false},
        {"one pixel of room", 3, [](CaptionTarget& t) { t.frameRect.width = 94 + 4 * kButton + 5; }, true},
        {"the program's own window", 3, [](CaptionTarget& t) { t.ownProcess = true; }, false},
        {"no minimise box", 3, [](CaptionTarget& t) { t.minimiseBox = false; }, false},
        {"minimised", 3, [](CaptionTarget& t) { t.minimised = true; }, false},
        {"a popup", 3, [](CaptionTarget& t) { t.popup = true; }, false},
        {"no caption", 3,
         [](CaptionTarget& t) {
             t.extents = {1, 1, 1, 1};
         },
         false},
        {"a strip number that names no strip", 6, [](CaptionTarget&) {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The strip is up on an ordinary window first, so a window without room really
        // takes it away.
        title.HideCaptionStrip();
        title.DrawTitleLamps();
        ASSERT_TRUE(overlay.visible);
        settings.OrientationTitle = c.orientation;
        c.change(*foreground.target);
        title.DrawTitleLamps();
        title.DrawTitleLamps(); // a strip that moves is shown again at the paint after
        EXPECT_EQ(overlay.visible, c.shown);
        settings.OrientationTitle = 3;
        foreground.target = FakeForegroundWindow::ApplicationWindow();
    }
}

TEST_F(TitleLampsTest, HighSpeedLampFollowsPortRateInCourierAndNotificationInModemStrip)
{
    settings.NotifyValue2 = 1;
    struct Case
    {
        int orientation;
        std::uint8_t highSpeed;
        std::uint32_t baudRate;
        ColorRef expected;
    };
    const Case cases[] = {
        {5, 1, 9600, kOff},  // the notification's flag does not count in the Courier strip
        {5, 0, 115200, kOn}, // the port rate does
        {4, 1, 0, kOn},      // the Modem strip follows the notification's flag
        {4, 0, 115200, kOff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation * 1000000 + c.baudRate);
        settings.OrientationTitle = c.orientation;
        settings.HighSpeed = c.highSpeed;
        line.baudRate = c.baudRate;
        title.HideCaptionStrip();
        title.DrawTitleLamps();
        EXPECT_EQ(HighSpeedLamp(), ToQRgb(c.expected));
    }
}

TEST_F(TitleLampsTest, ColoursReachTheStripOnlyWithARebuildRequest)
{
    const int panelX = 91; // right of the last lamp, above the labels
    settings.BackgroundColor = Rgb(10, 20, 30);
    title.DrawTitleLamps();
    EXPECT_EQ(title.Strip().pixel(panelX, 5), ToQRgb(Rgb(10, 20, 30)));
    EXPECT_EQ(settings.RebuildTitleLamps, 0) << "the lamps consumed the request";

    settings.BackgroundColor = Rgb(200, 100, 50);
    settings.LightColorOn = Rgb(0, 0, 255);
    settings.LampCTS = 1;
    title.DrawTitleLamps();
    EXPECT_EQ(title.Strip().pixel(panelX, 5), ToQRgb(Rgb(10, 20, 30)));
    EXPECT_EQ(title.Strip().pixel(3 + 5, 1 + 3), ToQRgb(kOn));

    settings.RebuildTitleLamps = 1;
    title.DrawTitleLamps();
    EXPECT_EQ(title.Strip().pixel(panelX, 5), ToQRgb(Rgb(200, 100, 50)));
    EXPECT_EQ(title.Strip().pixel(3 + 5, 1 + 3), ToQRgb(Rgb(0, 0, 255)));
}

TEST_F(TitleLampsTest, TimeIsDrawnOnTheTitleBarsOwnPixelsOrThePalettesCaptionColours)
{
    settings.Title = 0;
    settings.DisplayConnectTimeInTitlebar = 1;
    title.DrawTitleLamps();
    ASSERT_EQ(foreground.pixelReads.size(), 1U);
    EXPECT_EQ(foreground.pixelReads.back(), overlay.place) << "read where the overlay goes, before it is up";
    EXPECT_EQ(overlay.Pixel(0, 0), foreground.captionColour);
    bool white = false;
    for (const std::uint32_t pixel : overlay.pixels) {
        white = white || pixel == 0xFFFFFFFF;
    }
    EXPECT_TRUE(white) << "light text on a dark title bar";

    foreground.captionReadable = false;
    title.HideCaptionStrip();
    title.DrawTitleLamps();
    EXPECT_EQ(overlay.Pixel(0, 0), QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight).rgb());
}

TEST_F(TitleLampsTest, ConnectTimeCountsFromTheSessionWithDelayAndTotal)
{
    settings.NegotiationDelay = 7;
    settings.TotalConnectNew = 2.0 + 600 * kOneSecond;
    for (const bool total : {false, true}) {
        settings.DisplayConnectTimeInTitlebar = total ? 0 : 1;
        settings.DisplayTotalConnectTimeInTitlebar = total ? 1 : 0;
        title.HideCaptionStrip();
        title.DrawTitleLamps();
        const double seconds = 3600 + 2 * 60 + 3 + 7 + (total ? 2 * 86400 + 600 : 0);
        EXPECT_NEAR(settings.LastTitleConnectTime * 86400.0, seconds, 1e-3) << total;
    }
}

TEST_F(TitleLampsTest, ConnectTimeStaysRightWhenTheWallClockIsSetDuringACall)
{
    settings.DisplayConnectTimeInTitlebar = 1;
    // A change of daylight saving time, or the clock set by hand, in either direction.
    for (const std::int64_t jumpMs : {std::int64_t{3'600'000}, std::int64_t{-3'600'000}}) {
        SCOPED_TRACE(jumpMs);
        connectTime.StartSession();
        clock.Advance((3600 + 2 * 60 + 3) * 1000);
        title.HideCaptionStrip();
        title.DrawTitleLamps();
        const std::vector<std::uint32_t> before = overlay.pixels;
        const int shows = overlay.showCount;
        clock.JumpWallClock(jumpMs);
        title.DrawTitleLamps();
        EXPECT_EQ(overlay.showCount, shows) << "the same time: nothing new to show";
        EXPECT_EQ(overlay.pixels, before);
        clock.Advance(1000);
        title.DrawTitleLamps();
        EXPECT_EQ(overlay.showCount, shows + 1);
        EXPECT_NEAR(settings.LastTitleConnectTime * 86400.0, 3600 + 2 * 60 + 4, 1e-3);
    }
}

TEST_F(TitleLampsTest, UnchangedPaintsSendNothingAndChangesAreShown)
{
    settings.DisplayConnectTimeInTitlebar = 1;
    title.DrawTitleLamps();
    title.DrawTitleLamps();
    EXPECT_EQ(overlay.showCount, 1);
    clock.Advance(400);
    title.DrawTitleLamps();
    EXPECT_EQ(overlay.showCount, 1) << "the same second";
    clock.Advance(1000);
    title.DrawTitleLamps();
    EXPECT_EQ(overlay.showCount, 2) << "the next second";
    settings.LampRD = 1;
    title.DrawTitleLamps();
    EXPECT_EQ(overlay.showCount, 3) << "a lamp lit";
    EXPECT_EQ(foreground.pixelReads.size(), 1U) << "the title bar is read once per placing";
}

TEST_F(TitleLampsTest, DesktopChangesAndCarrierLossTakeTheStripAwayUntilTheNextPaint)
{
    for (const ForegroundChange change :
         {ForegroundChange::ActiveWindow, ForegroundChange::Moved, ForegroundChange::State, ForegroundChange::Gone}) {
        title.DrawTitleLamps();
        ASSERT_TRUE(overlay.visible);
        settings.RepaintNeeded = 0;
        foreground.Emit(change);
        EXPECT_FALSE(overlay.visible);
        EXPECT_EQ(settings.RepaintNeeded, 1) << "the next tick puts it where it belongs";
    }

    title.DrawTitleLamps();
    settings.LampCD = 0;
    settings.Title = 2;
    title.HideCaptionStrip(); // carrier loss
    EXPECT_FALSE(overlay.visible);
    settings.RepaintNeeded = 0;
    foreground.Emit(ForegroundChange::ActiveWindow);
    EXPECT_EQ(settings.RepaintNeeded, 0) << "nothing wanted, nothing to repaint";

    settings.Title = 1;
    foreground.target.reset(); // no active window, or one that vanished
    title.DrawTitleLamps();
    EXPECT_FALSE(overlay.visible);
}

TEST_F(TitleLampsTest, WithoutADesktopNothingIsDrawnAndThatIsSaidOnce)
{
    foreground.available = false;
    testing::internal::CaptureStderr();
    title.DrawTitleLamps();
    title.DrawTitleLamps();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(overlay.visible);
    EXPECT_EQ(overlay.showCount, 0);
    EXPECT_NE(said.find("X11"), std::string::npos);
    EXPECT_EQ(said.find("X11"), said.rfind("X11")) << said;
}

} // namespace
} // namespace sarvendo
