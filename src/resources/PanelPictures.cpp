// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"
#include "PixelFont.h"

#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace sarvendo::pictures {

namespace {

// Where a panel's labels go: one label per lamp, centred under the lamp of its column,
// its top in the label row of the lamp's row.
struct LabelPlan
{
    int width = 0;
    int height = 0;
    int x0 = 0;
    int dx = 0;
    int lampWidth = 0;
    std::array<int, 2> labelTops{};
    int columns = 0;
    std::span<const std::string_view> labels; // row by row
    LetterSize letters = LetterSize::Small;
};

constexpr std::array<std::string_view, 6> kSquareLabels{"CTS", "RI", "DCD", "DSR", "TD", "RD"};
constexpr std::array<std::string_view, 6> kRowLabels{"CTS", "RI", "DCD", "DSR", "TD", "RD"};
constexpr std::array<std::string_view, 9> kModemLabels{"HS", "AA", "CD", "RD", "SD", "TR", "MR", "RS", "CS"};
constexpr std::array<std::string_view, 12> kCourierLabels{"HS", "AA", "CD", "OH", "RD",  "SD",
                                                          "TR", "MR", "RS", "CS", "SYN", "ARQ"};

constexpr std::array<LabelPlan, 5> kLayoutPlans{{
    {100, 70, 8, 31, 20, {23, 55}, 3, kSquareLabels, LetterSize::Large},
    {183, 40, 3, 31, 20, {24, 0}, 6, kRowLabels, LetterSize::Large},
    {104, 100, 6, 16, 11, {15, 0}, 6, kRowLabels, LetterSize::Small},
    {123, 100, 3, 13, 12, {15, 0}, 9, kModemLabels, LetterSize::Small},
    {173, 100, 8, 13, 12, {15, 0}, 12, kCourierLabels, LetterSize::Small},
}};

// The caption strips: lamps 11 pixels wide on a 15-pixel step from x = 3, labels in rows
// 10 to 15 of an 18-pixel strip.
constexpr std::array<LabelPlan, 3> kStripPlans{{
    {94, 18, 3, 15, 11, {10, 0}, 6, kRowLabels, LetterSize::Small},
    {138, 18, 3, 15, 11, {10, 0}, 9, kModemLabels, LetterSize::Small},
    {189, 18, 3, 15, 11, {10, 0}, 12, kCourierLabels, LetterSize::Small},
}};

// Letters of one label stand a pixel apart; labels must stand clearly further apart, or
// neighbours such as "SYN" and "ARQ" read as one word.
constexpr int kLabelGap = 3;

void DrawLabels(QImage& image, const LabelPlan& plan)
{
    const int rows = static_cast<int>((plan.labels.size() + static_cast<std::size_t>(plan.columns) - 1) /
                                      static_cast<std::size_t>(plan.columns));
    for (int row = 0; row < rows; ++row) {
        // Each label centred under its lamp, then pairs closer than the gap pushed apart
        // evenly, the first to the left and the second to the right.
        std::vector<int> lefts;
        std::vector<int> widths;
        for (int column = 0; column < plan.columns; ++column) {
            const auto index = static_cast<std::size_t>(row * plan.columns + column);
            if (index >= plan.labels.size()) {
                break;
            }
            const int centre = plan.x0 + column * plan.dx + plan.lampWidth / 2;
            widths.push_back(PixelTextWidth(plan.labels[index], plan.letters));
            lefts.push_back(centre - widths.back() / 2);
        }
        for (std::size_t i = 1; i < lefts.size(); ++i) {
            const int gap = lefts[i] - (lefts[i - 1] + widths[i - 1]);
            if (gap < kLabelGap) {
                const int missing = kLabelGap - gap;
                lefts[i - 1] -= missing / 2;
                lefts[i] += missing - missing / 2;
            }
        }
        for (std::size_t i = 0; i < lefts.size(); ++i) {
            const std::size_t index = static_cast<std::size_t>(row * plan.columns) + i;
            DrawPixelText(image, lefts[i], plan.labelTops[static_cast<std::size_t>(row)], plan.labels[index],
                          kLabelBlue, plan.letters);
        }
    }
}

} // namespace

QImage DrawLayoutPicture(int layout)
{
    if (layout < 1 || layout > static_cast<int>(kLayoutPlans.size())) {
        return {};
    }
    const LabelPlan& plan = kLayoutPlans[static_cast<std::size_t>(layout - 1)];
    QImage image(plan.width, plan.height, QImage::Format_RGB32);
    image.fill(kPanelGrey);
    DrawLabels(image, plan);
    return image;
}

QImage DrawTitleStripPicture(int orientation)
{
    if (orientation < 3 || orientation > 5) {
        return {};
    }
    const LabelPlan& plan = kStripPlans[static_cast<std::size_t>(orientation - 3)];
    QImage image(plan.width, plan.height, QImage::Format_RGB32);
    image.fill(kPanelGrey);
    // A raised frame: light from the top left.
    for (int x = 0; x < plan.width; ++x) {
        image.setPixel(x, 0, kWhite);
        image.setPixel(x, plan.height - 1, kShadowGrey);
    }
    for (int y = 0; y < plan.height; ++y) {
        image.setPixel(0, y, kWhite);
        image.setPixel(plan.width - 1, y, kShadowGrey);
    }
    DrawLabels(image, plan);
    return image;
}

} // namespace sarvendo::pictures
