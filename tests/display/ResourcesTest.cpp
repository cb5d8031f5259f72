// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/Resources.h"

#include "display/PanelLayout.h"

#include <QImage>

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace sarvendo {
namespace {

constexpr QRgb kGrey = 0xFFC0C0C0;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kDarkGrey = 0xFF808080;

QImage Load(std::string_view name)
{
    const auto image = LoadResourceImage(name);
    EXPECT_TRUE(image.has_value()) << name;
    return image.value_or(QImage());
}

std::map<QRgb, int> Histogram(const QImage& image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    return counts;
}

void ExpectOnlyColours(const QImage& image, const std::set<QRgb>& allowed, std::string_view name)
{
    for (const auto& [colour, count] : Histogram(image)) {
        EXPECT_TRUE(allowed.contains(colour)) << name << " has " << count << " pixels of #" << std::hex << colour;
    }
}

// The first and last rows that hold a pixel of colour, or {-1, -1}.
std::pair<int, int> RowsOf(const QImage& image, QRgb colour)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
    }
    return {first, last};
}

TEST(ResourcesTest, NamesAreFoundWithoutRegardToCaseAndUnknownNamesAreNot)
{
    EXPECT_TRUE(LoadResourceImage("horiz_small").has_value());
    EXPECT_TRUE(LoadResourceImage("LightOn_Modem_R").has_value());
    EXPECT_TRUE(LoadResourceImage("lighton_modem_r").has_value());
    EXPECT_TRUE(LoadResourceImage("Modem3_nc").has_value());
    EXPECT_FALSE(LoadResourceImage("").has_value());
    EXPECT_FALSE(LoadResourceImage("HORIZ_SMALL ").has_value());
    EXPECT_FALSE(LoadResourceImage("NOLIGHT_LARGE_R").has_value()); // large lamps have no socket
    EXPECT_FALSE(LoadResourceImage(std::string_view("SQUARE\0", 7)).has_value());
}

TEST(ResourcesTest, EveryPictureHasItsSizeAndIsTheSameEachTime)
{
    const std::map<std::string, std::pair<int, int>> sizes{
        {"SQUARE", {100, 70}},          {"HORIZ", {183, 40}},
        {"HORIZ_SMALL", {104, 100}},    {"HORIZ_MODEM", {123, 100}},
        {"COURIER", {173, 100}},        {"TITLE2", {94, 18}},
        {"TITLE12", {138, 18}},         {"TITLE22", {189, 18}},
        {"LIGHTON_LARGE_R", {20, 20}},  {"LIGHTON_LARGE_F", {20, 20}},
        {"LIGHTOFF_LARGE_R", {20, 20}}, {"LIGHTOFF_LARGE_F", {20, 20}},
        {"LIGHTON_R", {11, 12}},        {"LIGHTON_F", {11, 12}},
        {"LIGHTOFF_R", {11, 12}},       {"LIGHTOFF_F", {11, 12}},
        {"LIGHTON_Modem_R", {12, 12}},  {"LIGHTON_Modem_F", {10, 11}},
        {"LIGHTOFF_Modem_R", {12, 12}}, {"LIGHTOFF_Modem_F", {10, 11}},
        {"NOLIGHT_Modem_R", {12, 12}},  {"NOLIGHT_Modem_F", {10, 11}},
        {"LIGHTON_Title_R", {11, 7}},   {"LIGHTON_Title_F", {12, 7}},
        {"LIGHTOFF_Title_R", {11, 7}},  {"LIGHTOFF_Title_F", {12, 7}},
        {"NOLIGHT_Title_R", {11, 7}},   {"NOLIGHT_Title_F", {12, 7}},
        {"MODEM1", {16, 16}},           {"MODEM2", {16, 16}},
        {"MODEM3", {16, 16}},           {"MODEM4", {16, 16}},
        {"MODEM1_NC", {16, 16}},        {"MODEM2_NC", {16, 16}},
        {"MODEM3_NC", {16, 16}},        {"MODEM4_NC", {16, 16}},
        {"MAINICON", {32, 32}},         {"HAND", {32, 32}},
        {"LOGO", {322, 240}},
    };
    const std::vector<std::string> names = ResourceNames();
    EXPECT_EQ(names.size(), sizes.size());
    for (const auto& [name, size] : sizes) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
        const QImage image = Load(name);
        EXPECT_EQ(image.width(), size.first) << name;
        EXPECT_EQ(image.height(), size.second) << name;
        EXPECT_EQ(image, Load(name)) << name << " is not drawn the same twice";
    }
}

TEST(ResourcesTest, LayoutPanelsAreGreyWithBlueLabelsCentredUnderTheLampsInTheirRows)
{
    const std::map<int, std::vector<std::pair<int, int>>> labelRows{
        {1, {{23, 32}, {55, 64}}}, {2, {{24, 33}}}, {3, {{15, 20}}}, {4, {{15, 20}}}, {5, {{15, 20}}}};
    const std::map<int, int> lampWidths{{1, 20}, {2, 20}, {3, 11}, {4, 12}, {5, 12}};
    for (const PanelLayout& layout : PanelLayouts()) {
        const QImage image = Load(layout.bitmapName);
        ExpectOnlyColours(image, {kGrey, kBlue}, layout.bitmapName);
        for (const PanelLamp& lamp : layout.lamps) {
            const auto [top, bottom] = labelRows.at(layout.number)[static_cast<std::size_t>(lamp.row)];
            const int centre = layout.grid.x0 + lamp.column * layout.grid.dx + lampWidths.at(layout.number) / 2;
            int left = image.width();
            int right = -1;
            // Search the band of the lamp's own row, so the other row's labels do not count.
            const bool twoRows = layout.number == 1;
            const int bandTop = lamp.row == 0 ? 0 : layout.grid.y0 + layout.grid.dy;
            const int bandBottom = twoRows && lamp.row == 0 ? layout.grid.y0 + layout.grid.dy : image.height();
            for (int y = bandTop; y < bandBottom; ++y) {
                for (int x = std::max(0, centre - layout.grid.dx / 2); x <= centre + layout.grid.dx / 2; ++x) {
                    if (x < image.width() && image.pixel(x, y) == kBlue) {
                        EXPECT_GE(y, top) << layout.bitmapName << " " << lamp.label;
                        EXPECT_LE(y, bottom) << layout.bitmapName << " " << lamp.label;
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                }
            }
            ASSERT_GE(right, 0) << "no label under " << lamp.label << " in " << layout.bitmapName;
            EXPECT_LE(std::abs((left + right) / 2 - centre), 1) << lamp.label << " in " << layout.bitmapName;
        }
        // The lamps' own places stay plain grey, so nothing shows through a lamp picture.
        const auto [firstBlue, lastBlue] = RowsOf(image, kBlue);
        EXPECT_GT(firstBlue, layout.grid.y0 + 11) << layout.bitmapName;
        EXPECT_LT(lastBlue, 65) << layout.bitmapName;
    }
}

TEST(ResourcesTest, TitleStripsHaveARaisedFrameAndLabelsInRowsTenToFifteen)
{
    for (const int orientation : {3, 4, 5}) {
        const TitleStrip* strip = FindTitleStrip(orientation);
        ASSERT_NE(strip, nullptr);
        const QImage image = Load(strip->bitmapName);
        ExpectOnlyColours(image, {kGrey, kBlue, kWhite, kDarkGrey}, strip->bitmapName);
        EXPECT_EQ(image.pixel(5, 0), kWhite);
        EXPECT_EQ(image.pixel(0, 9), kWhite);
        EXPECT_EQ(image.pixel(5, 17), kDarkGrey);
        EXPECT_EQ(image.pixel(image.width() - 1, 9), kDarkGrey);
        EXPECT_EQ(RowsOf(image, kBlue), std::make_pair(10, 15)) << strip->bitmapName;
        // One label under every lamp of the strip.
        for (const PanelLamp& lamp : strip->lamps) {
            const int centre = strip->grid.x0 + lamp.column * strip->grid.dx + 5;
            bool found = false;
            for (int x = centre - 4; x <= centre + 4; ++x) {
                for (int y = 10; y <= 15; ++y) {
                    found = found || image.pixel(x, y) == kBlue;
                }
            }
            EXPECT_TRUE(found) << lamp.label << " in " << strip->bitmapName;
        }
    }
}

TEST(ResourcesTest, LampPicturesUseOnlyTheRolesTheRecolouringExpects)
{
    for (const std::string& name : ResourceNames()) {
        const bool lit = name.starts_with("LIGHTON");
        const bool unlit = name.starts_with("LIGHTOFF");
        const bool socket = name.starts_with("NOLIGHT");
        if (!lit && !unlit && !socket) {
            continue;
        }
        const QImage image = Load(name);
        ExpectOnlyColours(image, {kRed, kGreen, kBlue, kBlack, kWhite}, name);
        const auto counts = Histogram(image);
        EXPECT_EQ(counts.contains(kRed), lit) << name;
        EXPECT_EQ(counts.contains(kGreen), unlit) << name;
        EXPECT_TRUE(counts.contains(kBlack)) << name << " has no outline";
        EXPECT_TRUE(counts.contains(kBlue)) << name << " has no background";
        const bool round = name.ends_with("_R");
        EXPECT_EQ(counts.contains(kWhite), !socket && round) << name << ": highlight on round lamps only";
        if (socket) {
            // Crossed out: the middle of the socket is the cross.
            EXPECT_EQ(image.pixel(image.width() / 2, image.height() / 2), kBlack) << name;
        }
    }
}

std::vector<std::string> LampNames(std::string_view prefix, std::string_view suffix)
{
    std::vector<std::string> names;
    for (const std::string& name : ResourceNames()) {
        if (name.starts_with(prefix) && name.ends_with(suffix)) {
            names.push_back(name);
        }
    }
    return names;
}

TEST(LampPictureShapes, RoundLampsHaveNoSinglePixelTips)
{
    for (const std::string& name : LampNames("", "_R")) {
        const QImage image = Load(name);
        // The number of lamp pixels (anything but the background) in a row or column.
        const auto count = [&image](bool row, int index) {
            int lamp = 0;
            for (int i = 0; i < (row ? image.width() : image.height()); ++i) {
                lamp += (row ? image.pixel(i, index) : image.pixel(index, i)) != kBlue ? 1 : 0;
            }
            return lamp;
        };
        for (const bool row : {true, false}) {
            std::vector<int> lines;
            for (int index = 0; index < (row ? image.height() : image.width()); ++index) {
                if (count(row, index) > 0) {
                    lines.push_back(index);
                }
            }
            ASSERT_FALSE(lines.empty()) << name;
            EXPECT_GE(count(row, lines.front()), 3) << name << (row ? ": top row" : ": left column");
            EXPECT_GE(count(row, lines.back()), 3) << name << (row ? ": bottom row" : ": right column");
        }
    }
}

TEST(LampPictureShapes, TheLargeFlatLampIsAnOctagonNotADisc)
{
    for (const char* name : {"LIGHTON_LARGE_F", "LIGHTOFF_LARGE_F"}) {
        const QImage image = Load(name);
        // The first lamp pixel of each row of the upper half: a cut corner is a straight
        // edge, one pixel further in per row up to the top.
        std::vector<int> firstLampPixel;
        for (int y = 0; y < image.height() / 2; ++y) {
            int x = 0;
            while (x < image.width() && image.pixel(x, y) == kBlue) {
                ++x;
            }
            firstLampPixel.push_back(x);
        }
        int straight = 0;
        while (straight + 1 < static_cast<int>(firstLampPixel.size()) &&
               firstLampPixel[static_cast<std::size_t>(straight)] ==
                   firstLampPixel[static_cast<std::size_t>(straight + 1)] + 1) {
            ++straight;
        }
        EXPECT_GE(straight, 6) << name << ": the corner's edge is too short to show";
        // A square's side left between the cuts.
        EXPECT_EQ(firstLampPixel.back(), 0) << name;
    }
}

TEST(LampPictureShapes, EmptySocketsShowTheirBackgroundThroughTheCross)
{
    for (const std::string& name : LampNames("NOLIGHT", "")) {
        const QImage image = Load(name);
        int inside = 0;
        int background = 0;
        for (int y = 0; y < image.height(); ++y) {
            int first = -1;
            int last = -1;
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == kBlack) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            }
            for (int x = first + 1; first >= 0 && x < last; ++x) {
                ++inside;
                background += image.pixel(x, y) == kBlue ? 1 : 0;
            }
        }
        EXPECT_GE(background * 3, inside) << name << " reads as a solid black lamp";
    }
}

TEST(LampPictureShapes, NeighbouringLabelsNeverRunTogether)
{
    // Within a label letters stand one column apart; between labels at least three blank
    // columns must show.
    const auto words = [](const QImage& image, int top, int bottom) {
        int count = 0;
        int blankRun = 3;
        for (int x = 0; x < image.width(); ++x) {
            bool ink = false;
            for (int y = top; y <= bottom; ++y) {
                ink = ink || image.pixel(x, y) == kBlue;
            }
            if (ink && blankRun >= 3) {
                ++count;
            }
            blankRun = ink ? 0 : blankRun + 1;
        }
        return count;
    };
    for (const PanelLayout& layout : PanelLayouts()) {
        const QImage image = Load(layout.bitmapName);
        const int rows = layout.number == 1 ? 2 : 1;
        const int labels = static_cast<int>(layout.lamps.size());
        const int top = layout.number == 1 ? 23 : (layout.number == 2 ? 24 : 15);
        EXPECT_EQ(words(image, top, top + 9), labels / rows) << layout.bitmapName;
    }
    for (const int orientation : {3, 4, 5}) {
        const TitleStrip* strip = FindTitleStrip(orientation);
        ASSERT_NE(strip, nullptr);
        EXPECT_EQ(words(Load(strip->bitmapName), 10, 15), static_cast<int>(strip->lamps.size())) << strip->bitmapName;
    }
}

TEST(ResourcesTest, TrayIconsShowTheLampColoursOfTheirState)
{
    // The sixteen colours of the classic palette, plus transparency.
    std::set<QRgb> palette{0x00000000};
    for (const int r : {0, 128, 255}) {
        for (const int g : {0, 128, 255}) {
            for (const int b : {0, 128, 255}) {
                palette.insert(qRgb(r, g, b));
            }
        }
    }
    palette.insert(kGrey);
    struct Row
    {
        const char* name;
        QRgb send;
        QRgb receive;
    };
    constexpr QRgb kCyan = 0xFF00FFFF;
    const std::vector<Row> rows{
        {"MODEM1", kRed, kRed},
        {"MODEM2", kRed, kGreen},
        {"MODEM3", kGreen, kRed},
        {"MODEM4", kGreen, kGreen},
        {"MODEM1_NC", kDarkGrey, kDarkGrey},
        {"MODEM2_NC", kDarkGrey, kCyan},
        {"MODEM3_NC", kCyan, kDarkGrey},
        {"MODEM4_NC", kCyan, kCyan},
    };
    for (const Row& row : rows) {
        const QImage image = Load(row.name);
        ExpectOnlyColours(image, palette, row.name);
        EXPECT_EQ(image.pixel(4, 10), row.send) << row.name << " left lamp";
        EXPECT_EQ(image.pixel(12, 10), row.receive) << row.name << " right lamp";
        EXPECT_EQ(image.pixel(8, 10), kBlack) << row.name << " front";
        EXPECT_EQ(image.pixel(8, 5), kGrey) << row.name << " case";
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << row.name << " corner is see-through";
    }
}

TEST(ResourcesTest, HandCursorClicksWithItsFingerTip)
{
    const QImage hand = Load("HAND");
    const QPoint spot = HandCursorHotSpot();
    ASSERT_TRUE(hand.valid(spot));
    EXPECT_EQ(hand.pixel(spot), kBlack);
    // Nothing of the hand lies above the hot spot.
    for (int y = 0; y < spot.y(); ++y) {
        for (int x = 0; x < hand.width(); ++x) {
            EXPECT_EQ(qAlpha(hand.pixel(x, y)), 0);
        }
    }
}

} // namespace
} // namespace sarvendo
