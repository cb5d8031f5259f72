// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/PanelPainter.h"

#include "DisplayFakes.h"
#include "core/Layouts.h"
#include "core/Settings.h"

#include "display/Colours.h"
#include "display/LampSet.h"
#include "display/PanelLayout.h"
#include "fakes/FakeClock.h"
#include "monitor/ConnectTime.h"
#include "resources/Resources.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <limits>

namespace sarvendo {
namespace {

constexpr ColorRef kOn = Rgb(255, 128, 0);
constexpr ColorRef kOff = Rgb(0, 100, 100);
constexpr ColorRef kBackground = Rgb(10, 20, 30);
constexpr ColorRef kText = Rgb(250, 250, 0);
constexpr QRgb kSocketBlack = 0xFF000000;

void SetSignal(Settings& settings, LampSignal signal, std::uint8_t value)
{
    switch (signal) {
    case LampSignal::CTS:
        settings.LampCTS = value;
        break;
    case LampSignal::RTS:
        settings.LampRTS = value;
        break;
    case LampSignal::RI:
        settings.LampRI = value;
        break;
    case LampSignal::CD:
        settings.LampCD = value;
        break;
    case LampSignal::DSR:
        settings.LampDSR = value;
        break;
    case LampSignal::TD:
        settings.LampTD = value;
        break;
    case LampSignal::RD:
        settings.LampRD = value;
        break;
    case LampSignal::DTR:
        settings.LampDTR = value;
        break;
    case LampSignal::HighSpeed:
        settings.HighSpeed = value;
        break;
    case LampSignal::AlwaysOff:
        break;
    }
}

class PanelPainterTest : public ::testing::Test
{
protected:
    PanelPainterTest()
    {
        settings.LightColorOn = kOn;
        settings.LightColorOff = kOff;
        settings.BackgroundColor = kBackground;
        settings.TextColor = kText;
        settings.DefaultPort = 1;
        settings.NewOrientation = 3;
        settings.RebuildWindowLamps = 1;
        painter.CreateDisplayFont();
    }

    // One paint, remembering the client width it started from (the panel is centred in it).
    void Paint()
    {
        m_clientWidth = host.client.width();
        painter.FormPaint();
    }

    // The first paint sizes the window; the second one sees the client area that size has.
    void PaintSettled()
    {
        Paint();
        Paint();
    }

    const PanelLayout& Layout() const { return *FindPanelLayout(settings.NewOrientation); }

    int PanelLeft() const { return (m_clientWidth - Layout().baseWidth) / 2; }

    QRgb LampMiddle(const PanelLamp& lamp) const
    {
        const PanelLayout& layout = Layout();
        const QSize size = lamps.Picture(layout.family, settings.LampLook == 1, LampPicture::Unlit).size();
        const int x = PanelLeft() + layout.grid.x0 + lamp.column * layout.grid.dx + size.width() / 2;
        const int y = -2 + layout.grid.y0 + lamp.row * layout.grid.dy + size.height() / 2 + 1;
        return host.shown.pixel(x, y);
    }

    // The picture of text lines as the panel should hold them: each (left, top, text) drawn
    // the way the painter draws a line, on the recoloured background.
    QImage ExpectedText(const std::vector<std::tuple<int, int, std::string>>& lines) const
    {
        QImage image(painter.Panel().size(), QImage::Format_RGB32);
        image.fill(ToQRgb(kBackground));
        QPainter text(&image);
        text.setFont(painter.DisplayFont());
        text.setPen(QColor::fromRgb(ToQRgb(kText)));
        text.setBackground(QColor::fromRgb(ToQRgb(kBackground)));
        text.setBackgroundMode(Qt::OpaqueMode);
        const QSize client = host.client;
        for (const auto& [left, top, content] : lines) {
            const QRect bounds(QPoint(left, top), QPoint(client.width() - 1, client.height() - 1));
            text.setClipRect(bounds);
            text.drawText(bounds, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(content));
        }
        return image;
    }

    // The panel's rows [top, top + height) left of its width, as an image to compare.
    static QImage Band(const QImage& image, int top, int height, int width)
    {
        return image.copy(0, top, width, height);
    }

    std::vector<std::string> calls;
    Settings settings;
    fakes::FakePanelHost host{&calls};
    fakes::FakeLineParameters line;
    fakes::FakeClock clock;
    ConnectTime connectTime{settings, clock};
    LampSet lamps{settings, line};
    fakes::FakeCaptionAndTray captionAndTray{&calls};
    PanelPainter painter{settings, host, captionAndTray, lamps, line, connectTime};

private:
    int m_clientWidth = 0;
};

TEST_F(PanelPainterTest, EveryLayoutAndLookShowsEachLampByItsFlag)
{
    settings.NotifyValue2 = 1; // HS follows the poll cycle's flag
    for (const PanelLayout& layout : PanelLayouts()) {
        for (const int look : {1, 0, 7}) {
            settings.NewOrientation = layout.number;
            settings.LampLook = look;
            settings.RebuildWindowLamps = 1;
            for (const int phase : {0, 1}) {
                for (std::size_t index = 0; index < layout.lamps.size(); ++index) {
                    SetSignal(settings, layout.lamps[index].signal, static_cast<std::uint8_t>((index + phase) % 2));
                }
                PaintSettled();
                for (std::size_t index = 0; index < layout.lamps.size(); ++index) {
                    const PanelLamp& lamp = layout.lamps[index];
                    const bool lit = (index + phase) % 2 == 1;
                    QRgb expected = lit ? ToQRgb(kOn) : ToQRgb(kOff);
                    if (lamp.signal == LampSignal::AlwaysOff) {
                        expected = kSocketBlack; // the cross of an empty socket
                    }
                    EXPECT_EQ(LampMiddle(lamp), expected)
                        << layout.bitmapName << " look " << look << " lamp " << lamp.label << " phase " << phase;
                }
            }
        }
    }
}

TEST_F(PanelPainterTest, CourierSocketsStayEmptyAndModemRsTrFollowRtsDtr)
{
    settings.NewOrientation = 5;
    LampFlags all;
    all.LampCTS = all.LampRTS = all.LampRI = all.LampCD = all.LampDSR = all.LampTD = all.LampRD = all.LampDTR = 1;
    static_cast<LampFlags&>(settings) = all;
    PaintSettled();
    for (const PanelLamp& lamp : Layout().lamps) {
        if (lamp.label == "OH" || lamp.label == "SYN" || lamp.label == "ARQ") {
            EXPECT_EQ(LampMiddle(lamp), kSocketBlack) << lamp.label;
        }
    }

    settings.NewOrientation = 4;
    settings.RebuildWindowLamps = 1;
    static_cast<LampFlags&>(settings) = LampFlags{};
    settings.LampRTS = 1;
    PaintSettled();
    for (const PanelLamp& lamp : Layout().lamps) {
        EXPECT_EQ(LampMiddle(lamp), ToQRgb(lamp.label == "RS" ? kOn : kOff)) << lamp.label;
    }
    settings.LampRTS = 0;
    settings.LampDTR = 1;
    Paint();
    for (const PanelLamp& lamp : Layout().lamps) {
        EXPECT_EQ(LampMiddle(lamp), ToQRgb(lamp.label == "TR" ? kOn : kOff)) << lamp.label;
    }
}

TEST_F(PanelPainterTest, ColoursReachThePanelWithARebuildAndNotBefore)
{
    PaintSettled();
    const QImage resource = *LoadResourceImage("HORIZ_SMALL");
    QPoint label;
    for (int x = 0; x < resource.width() && label.isNull(); ++x) {
        for (int y = 0; y < resource.height(); ++y) {
            if (resource.pixel(x, y) == qRgb(0, 0, 255)) {
                label = QPoint(x, y);
                break;
            }
        }
    }
    const QPoint labelOnCanvas(PanelLeft() + label.x(), label.y() - 2);
    const QPoint plainOnCanvas(PanelLeft() + 100, 20);
    EXPECT_EQ(host.shown.pixel(labelOnCanvas), ToQRgb(kText));
    EXPECT_EQ(host.shown.pixel(plainOnCanvas), ToQRgb(kBackground));

    settings.TextColor = Rgb(1, 2, 3);
    settings.BackgroundColor = Rgb(4, 5, 6);
    Paint();
    EXPECT_EQ(host.shown.pixel(labelOnCanvas), ToQRgb(kText));
    EXPECT_EQ(host.shown.pixel(plainOnCanvas), ToQRgb(kBackground));
    EXPECT_EQ(host.shown.pixel(host.shown.width() - 1, host.shown.height() - 1), ToQRgb(Rgb(4, 5, 6)))
        << "the canvas around the panel takes it at once";

    settings.RebuildLayout = 1;
    Paint();
    EXPECT_EQ(host.shown.pixel(labelOnCanvas), ToQRgb(Rgb(1, 2, 3)));
    EXPECT_EQ(host.shown.pixel(plainOnCanvas), ToQRgb(Rgb(4, 5, 6)));
    EXPECT_EQ(settings.RebuildLayout, 0);
}

TEST_F(PanelPainterTest, ALayoutChangeWithoutARequestStillShowsTheNewLayoutsLabels)
{
    PaintSettled();
    EXPECT_EQ(painter.LastLayoutBitmap(), 3);
    settings.NewOrientation = 4; // a port taken over with its own layout, say
    PaintSettled();
    EXPECT_EQ(painter.LastLayoutBitmap(), 4);
    EXPECT_EQ(painter.Panel().width(), 123);
    // Nine lamps of the modem family, each at its place.
    for (const PanelLamp& lamp : Layout().lamps) {
        EXPECT_EQ(LampMiddle(lamp), ToQRgb(kOff)) << lamp.label;
    }
}

TEST_F(PanelPainterTest, SmallLayoutTakesTheMinimumWidthAndCentresByTheTruncatedHalf)
{
    PaintSettled();
    EXPECT_EQ(settings.WindowWidth, 112); // 104 + 3 is below the minimum width
    EXPECT_EQ(settings.WindowHeight, 27 + 18 + 3);
    EXPECT_EQ(host.client.width(), 106);
    EXPECT_EQ(PanelLeft(), 1);
    EXPECT_EQ(LampMiddle(Layout().lamps[0]), ToQRgb(kOff));

    // A client area narrower than the panel: (101 - 104) / 2 cuts -1.5 to -1, not -2.
    host.followResize = false;
    host.client = QSize(101, 23);
    Paint();
    EXPECT_EQ(PanelLeft(), -1);
    settings.LampCTS = 1;
    Paint();
    EXPECT_EQ(host.shown.pixel(-1 + 6 + 5, 6), ToQRgb(kOn));
    EXPECT_EQ(host.shown.pixel(-1 + 6 - 1, 6), ToQRgb(kBackground));
}

TEST_F(PanelPainterTest, WindowSizeFollowsLayoutCaptionAndTextLines)
{
    settings.NewOrientation = 2;
    Paint();
    EXPECT_EQ(settings.WindowWidth, 186);
    EXPECT_EQ(settings.WindowHeight, 61);
    EXPECT_EQ(host.outer, QSize(186, 61));

    settings.NoTitleBar = 1;
    Paint();
    EXPECT_EQ(settings.WindowHeight, 43);

    settings.NoTitleBar = 0;
    settings.NewOrientation = 4;
    settings.StatusInDisplay = 1;
    settings.SPYSpeedInDisplay = 1;
    Paint();
    const int lineHeight = settings.TextLineHeight;
    ASSERT_GT(lineHeight, 0);
    EXPECT_EQ(settings.WindowHeight, 27 + 18 + 3 + 2 * lineHeight + 1);
    EXPECT_EQ(settings.WindowWidth, 126);
}

TEST_F(PanelPainterTest, StatusInDisplayChangesNothingInTheLargeLayouts)
{
    line.parameters = "8N1 57600 ";
    for (const int layout : {1, 2}) {
        settings.NewOrientation = layout;
        settings.StatusInDisplay = 0;
        settings.RebuildLayout = 1;
        PaintSettled();
        const QImage before = host.shown;
        const int height = settings.WindowHeight;
        settings.StatusInDisplay = 1;
        settings.RebuildLayout = 1;
        PaintSettled();
        EXPECT_EQ(settings.WindowHeight, height) << layout;
        EXPECT_EQ(host.shown, before) << layout;
    }
}

TEST_F(PanelPainterTest, StatusLineShowsPortAndParametersOrOnlyThePort)
{
    settings.StatusInDisplay = 1;
    settings.DefaultPort = 2;
    line.parameters = "8N1 57600 ";
    PaintSettled();
    const int lineHeight = settings.TextLineHeight;
    const int width = Layout().baseWidth;
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, width),
              Band(ExpectedText({{4, 26, "COM 2  8N1 57600 " + std::string(67, ' ')}}), 26, lineHeight, width));
    // The etched line between lamps and text.
    EXPECT_EQ(painter.Panel().pixel(50, 22), qRgb(128, 128, 128));
    EXPECT_EQ(painter.Panel().pixel(50, 23), qRgb(255, 255, 255));

    line.parameters.clear(); // no driver, or no open port seen
    Paint();
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, width),
              Band(ExpectedText({{4, 26, "COM 2 " + std::string(67, ' ')}}), 26, lineHeight, width))
        << "the blanks wipe out the longer text before";
}

TEST_F(PanelPainterTest, TextLinesAreDrawnWholeByThePaintThatGrowsTheWindow)
{
    // The window grows for the new lines, but the system has not resized it yet when the
    // lines are drawn.
    host.followResize = false;
    host.client = QSize(104, 22);
    settings.StatusInDisplay = 1;
    settings.DisplayConnectTime = 1;
    settings.LampCD = 1;
    settings.NewOrientation = 5;
    line.parameters = "8N1 33600 ";
    Paint();
    host.client = PanelPainter::ClientSizeOfWindow(host.outer.width(), host.outer.height(), true);
    const int lineHeight = settings.TextLineHeight;
    const int width = Layout().baseWidth;
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, width),
              Band(ExpectedText({{4, 26, "COM 1  8N1 33600 " + std::string(67, ' ')}}), 26, lineHeight, width));
    const int second = 26 + lineHeight - 1;
    EXPECT_NE(Band(painter.Panel(), second, lineHeight - 1, width),
              Band(ExpectedText({}), second, lineHeight - 1, width))
        << "the connect-time line is missing";
}

TEST_F(PanelPainterTest, ConnectTimeLineAndItsHeightExistOnlyWithTheCarrier)
{
    settings.DisplayConnectTime = 1;
    settings.NewOrientation = 5;
    PaintSettled();
    EXPECT_EQ(settings.WindowHeight, 48);

    settings.LampCD = 1;
    settings.SessionStart = clock.Now() - (3600 + 2 * 60 + 3) * kOneSecond;
    settings.RebuildLayout = 1;
    PaintSettled();
    const int lineHeight = settings.TextLineHeight;
    const int width = Layout().baseWidth;
    EXPECT_EQ(settings.WindowHeight, 48 + lineHeight + 1);
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, width),
              Band(ExpectedText({{4, 26, "Connect time: 1:02:03    "}}), 26, lineHeight, width));

    // Hours are the hour of the day: 25 h 3 min shows as 1:03:00; the total adds in.
    settings.DisplayTotalConnectTimeInDisplay = 1;
    settings.TotalConnectNew = 24 * 3600 * kOneSecond;
    settings.NegotiationDelay = 60;
    Paint();
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, width),
              Band(ExpectedText({{4, 26, "Connect time: 1:03:03    "}}), 26, lineHeight, width));

    settings.LampCD = 0;
    Paint();
    EXPECT_EQ(settings.WindowHeight, 48) << "the window shrinks by the line at carrier loss";
}

TEST_F(PanelPainterTest, ConnectTimeIsRedrawnAfterARebuildEvenWhenUnchanged)
{
    settings.DisplayConnectTime = 1;
    settings.LampCD = 1;
    settings.SessionStart = clock.Now() - 5 * kOneSecond;
    PaintSettled();
    const int lineHeight = settings.TextLineHeight;
    const QImage expected = Band(ExpectedText({{4, 26, "Connect time: 0:00:05    "}}), 26, lineHeight, 104);
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, 104), expected);
    settings.RebuildLayout = 1; // a colour change in the dialog, within the same second
    Paint();
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, 104), expected);
}

TEST_F(PanelPainterTest, ConnectTimeStaysRightWhenTheWallClockIsSetDuringACall)
{
    settings.DisplayConnectTime = 1;
    settings.NegotiationDelay = 7;
    settings.LampCD = 1;
    const int lineHeight = settings.TextLineHeight;
    const auto shown = [&] { return Band(painter.Panel(), 26, lineHeight, 104); };
    const auto expected = [&](const std::string& time) {
        return Band(ExpectedText({{4, 26, "Connect time: " + time + "    "}}), 26, lineHeight, 104);
    };
    // A change of daylight saving time, or the clock set by hand, in either direction.
    for (const std::int64_t jumpMs : {std::int64_t{3'600'000}, std::int64_t{-3'600'000}}) {
        SCOPED_TRACE(jumpMs);
        connectTime.StartSession();
        clock.Advance((3600 + 2 * 60 + 3) * 1000);
        PaintSettled();
        EXPECT_EQ(shown(), expected("1:02:10"));
        clock.JumpWallClock(jumpMs);
        Paint();
        EXPECT_EQ(shown(), expected("1:02:10"));
        clock.Advance(1000);
        Paint();
        EXPECT_EQ(shown(), expected("1:02:11"));
    }
}

TEST_F(PanelPainterTest, RateLineShowsBytesPerSecondOrOnlyItsLabels)
{
    settings.SPYSpeedInDisplay = 1;
    settings.RDTDSpeedUpdate = 5;
    settings.TDBytesLastWindow = 25;
    settings.RDBytesLastWindow = 0;
    PaintSettled();
    const int lineHeight = settings.TextLineHeight;
    const int rdLeft = 4 + 12 * settings.TextCharWidth;
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, 104),
              Band(ExpectedText({{4, 26, "TD: 5     "}, {rdLeft, 26, "RD:        "}}), 26, lineHeight, 104));

    settings.TDBytesLastWindow = 0;
    settings.RDBytesLastWindow = 12; // 2.4 rounds to 2
    Paint();
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, 104),
              Band(ExpectedText({{4, 26, "TD:      "}, {rdLeft, 26, "RD: 2       "}}), 26, lineHeight, 104));
}

TEST_F(PanelPainterTest, RateUpdateZeroReservesTheLineWithoutText)
{
    settings.SPYSpeedInDisplay = 1;
    settings.RDTDSpeedUpdate = 0;
    settings.TDBytesLastWindow = 25;
    PaintSettled();
    const int lineHeight = settings.TextLineHeight;
    EXPECT_EQ(settings.WindowHeight, 48 + lineHeight + 1);
    EXPECT_EQ(Band(painter.Panel(), 26, lineHeight, 104), Band(ExpectedText({}), 26, lineHeight, 104));
}

TEST_F(PanelPainterTest, StepsRunInOrderAndTheByteLabelsChangeOnlyWithTheCarrier)
{
    settings.LampCD = 1;
    settings.SessionSent = 1234;
    settings.SessionReceived = 99;
    calls.clear();
    Paint();
    EXPECT_EQ(calls, (std::vector<std::string>{"ClientSize", "DrawTitleLamps", "ApplyCaptionAndStayOnTop",
                                               "ResizeWindow", "ShowCanvas", "Win95Tray", "SetByteLabels"}));
    EXPECT_EQ(host.labelTD, "Transmitted bytes: 1234");
    EXPECT_EQ(host.labelRD, "   Received bytes: 99");

    settings.LampCD = 0;
    settings.SessionSent = 0;
    calls.clear();
    Paint();
    EXPECT_EQ(calls.back(), "Win95Tray");
    EXPECT_EQ(host.labelTD, "Transmitted bytes: 1234");
}

TEST_F(PanelPainterTest, MinimisedKeepsThePanelWhileCaptionAndTrayStepsRun)
{
    PaintSettled();
    const QImage before = host.shown;

    settings.NewOrientation = -3;
    settings.LampCTS = 1;
    settings.LampCD = 1;
    settings.RebuildWindowLamps = 1;
    settings.BackgroundColor = kBackground;
    calls.clear();
    Paint();
    EXPECT_EQ(calls, (std::vector<std::string>{"MinimizeApplication", "ClientSize", "DrawTitleLamps",
                                               "ApplyCaptionAndStayOnTop", "ResizeWindow", "ShowCanvas", "Win95Tray",
                                               "SetByteLabels"}));
    EXPECT_EQ(host.shown, before);
    EXPECT_EQ(settings.RebuildWindowLamps, 0) << "requests are consumed without a rebuild";

    settings.DialogShowing = 1;
    Paint();
    EXPECT_EQ(host.minimizeCount, 1) << "not over an open dialog";

    settings.NewOrientation = 3;
    Paint();
    EXPECT_EQ(LampMiddle(Layout().lamps[0]), ToQRgb(kOn));
}

TEST_F(PanelPainterTest, RepaintAgainKeepsTheRepaintRequestForOneMorePaint)
{
    settings.RepaintNeeded = 1;
    settings.RepaintAgain = 1;
    Paint();
    EXPECT_EQ(settings.RepaintNeeded, 1);
    EXPECT_EQ(settings.RepaintAgain, 0);
    Paint();
    EXPECT_EQ(settings.RepaintNeeded, 0);
}

TEST_F(PanelPainterTest, LayoutNumbersThatNameNoLayoutShowTheDefaultOne)
{
    settings.NewOrientation = kDefaultLayout;
    PaintSettled();
    const QImage defaultLayout = host.shown;
    for (const std::int32_t number : {0, 6, 1000, INT_MAX}) {
        settings.NewOrientation = number;
        settings.RebuildLayout = 1;
        Paint();
        EXPECT_EQ(settings.WindowWidth, 112) << number;
        EXPECT_EQ(painter.LastLayoutBitmap(), kDefaultLayout) << number;
        EXPECT_EQ(host.shown, defaultLayout) << number;
    }
    settings.NewOrientation = INT_MIN; // minimised, with no positive counterpart
    Paint();
    EXPECT_EQ(settings.WindowWidth, 112);
}

TEST_F(PanelPainterTest, DisplayFontHonoursTheCellHeightAndSurvivesOddSettings)
{
    settings.FontSizeSPY = 12;
    painter.CreateDisplayFont();
    // Without a text line the font is not even made: nothing is measured.
    Paint();
    EXPECT_EQ(settings.TextLineHeight, 0);
    settings.StatusInDisplay = 1;
    Paint();
    EXPECT_GT(settings.TextLineHeight, 0);
    EXPECT_LE(settings.TextLineHeight, 12);
    EXPECT_GT(settings.TextCharWidth, 0);

    settings.FontSizeSPY = 1000000;
    painter.CreateDisplayFont();
    Paint();
    EXPECT_LE(settings.TextLineHeight, 250);

    for (const std::int32_t size : {0, -10, INT_MIN}) {
        settings.FontSizeSPY = size;
        settings.FontStyleSPY = "No Such Face At All";
        painter.CreateDisplayFont();
        Paint();
        EXPECT_GT(settings.TextLineHeight, 0) << size;
    }
}

TEST(PanelPainterFontTest, MissingClassicFacesFallBackToTheirMetricTwins)
{
    EXPECT_EQ(PanelPainter::AvailableFace(QStringLiteral("No Such Face At All")),
              QStringLiteral("No Such Face At All"));
    const QStringList twins{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
                            QStringLiteral("Nimbus Sans L")};
    if (QFontDatabase::hasFamily(QStringLiteral("Arial"))) {
        EXPECT_EQ(PanelPainter::AvailableFace(QStringLiteral("Arial")), QStringLiteral("Arial"));
        return;
    }
    const QString chosen = PanelPainter::AvailableFace(QStringLiteral("arial"));
    const bool anyTwin =
        std::any_of(twins.begin(), twins.end(), [](const QString& twin) { return QFontDatabase::hasFamily(twin); });
    if (!anyTwin) {
        GTEST_SKIP() << "neither Arial nor a face of its widths is installed";
    }
    EXPECT_TRUE(twins.contains(chosen)) << chosen.toStdString();
}

TEST(PanelPainterGeometryTest, ClientAreaLeavesOutFrameAndCaption)
{
    EXPECT_EQ(PanelPainter::ClientSizeOfWindow(112, 48, true), QSize(106, 23));
    EXPECT_EQ(PanelPainter::ClientSizeOfWindow(112, 30, false), QSize(106, 24));
    EXPECT_EQ(PanelPainter::ClientSizeOfWindow(2, 2, true), QSize(0, 0));
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// One character in a 20-pixel box, as the panel draws text: black on white, starting
// offset pixels in, since within a line a letter seldom starts on a whole pixel. A scale
// above 1 draws it that much larger and shrinks the picture back smoothly, which gives the
// letter's true shape at the small size, free of what hinting and hard edges do to it.
QImage CharacterPicture(const QFont& font, QChar character, int scale, double offset)
{
    QImage image(20 * scale, 20 * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF((2 + offset) * scale, 2 * scale, 16 * scale, 16 * scale), Qt::AlignLeft | Qt::AlignTop,
                     QString(character));
    painter.end();
    return scale == 1 ? image : image.scaled(20, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

double Distance(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const double difference = (qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) / 255.0;
            sum += difference * difference;
        }
    }
    return sum;
}

// Each character of the text lines, drawn in the panel's font wherever it falls between
// pixels, must look more like its own true shape than like any other character's: "COM"
// must not read "OOM", nor "33600" "33800", nor "RD" "AD". A renderer that puts letters
// on whole pixels is not blamed for it: each true shape is tried at every quarter pixel.
TEST(PanelTextLegibility, EveryCharacterReadsAsItself)
{
    Settings settings;
    fakes::FakePanelHost host;
    fakes::FakeLineParameters line;
    fakes::FakeClock clock;
    ConnectTime connectTime{settings, clock};
    LampSet lamps{settings, line};
    std::vector<std::string> steps;
    fakes::FakeCaptionAndTray captionAndTray{&steps};
    PanelPainter painter{settings, host, captionAndTray, lamps, line, connectTime};
    const QString characters = QStringLiteral("0123456789ACDMNORST");
    constexpr std::array<double, 5> kOffsets{0.0, 0.25, 0.5, 0.75, 1.0};
    for (const std::int32_t size : {12, 16}) {
        settings.FontSizeSPY = size;
        painter.CreateDisplayFont();
        const QFont& small = painter.DisplayFont();
        QFont large = small;
        large.setPixelSize(small.pixelSize() * 8);
        large.setStyleStrategy(QFont::PreferAntialias);
        large.setHintingPreference(QFont::PreferNoHinting);
        std::vector<std::vector<QImage>> shapes;
        for (const QChar character : characters) {
            std::vector<QImage>& shifted = shapes.emplace_back();
            for (const double offset : kOffsets) {
                shifted.push_back(CharacterPicture(large, character, 8, offset));
            }
        }
        const auto distance = [&shapes](const QImage& drawn, qsizetype index) {
            double best = std::numeric_limits<double>::max();
            for (const QImage& shape : shapes[static_cast<std::size_t>(index)]) {
                best = std::min(best, Distance(drawn, shape));
            }
            return best;
        };
        for (const double offset : {0.0, 0.25, 0.5, 0.75}) {
            for (qsizetype index = 0; index < characters.size(); ++index) {
                const QImage drawn = CharacterPicture(small, characters[index], 1, offset);
                qsizetype closest = 0;
                for (qsizetype other = 1; other < characters.size(); ++other) {
                    if (distance(drawn, other) < distance(drawn, closest)) {
                        closest = other;
                    }
                }
                EXPECT_EQ(characters[closest], characters[index])
                    << "size " << size << ", offset " << offset << ": " << characters[index].toLatin1() << " reads as "
                    << characters[closest].toLatin1();
            }
        }
    }
}

} // namespace
} // namespace sarvendo
