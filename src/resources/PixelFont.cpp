// SPDX-License-Identifier: GPL-3.0-or-later
#include "PixelFont.h"

#include <QImage>

#include <array>
#include <span>

namespace sarvendo {

namespace {

// One letter as rows of '#' (set) and '.' (clear); all rows of a letter are equally wide.
struct Glyph
{
    char letter;
    std::array<std::string_view, 10> rows;
};

constexpr int kSmallHeight = 6;
constexpr int kLargeHeight = 10;

// Six rows; only the first six entries of each glyph are used.
constexpr std::array<Glyph, 13> kSmallGlyphs{{
    {'A', {".#.", "#.#", "#.#", "###", "#.#", "#.#"}},
    {'C', {".##", "#..", "#..", "#..", "#..", ".##"}},
    {'D', {"##.", "#.#", "#.#", "#.#", "#.#", "##."}},
    {'H', {"#.#", "#.#", "###", "#.#", "#.#", "#.#"}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", "###"}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#.#", "###", "###", "###", "#.#", "#.#"}},
    {'O', {".#.", "#.#", "#.#", "#.#", "#.#", ".#."}},
    {'Q', {".#.", "#.#", "#.#", "#.#", "##.", ".##"}},
    {'R', {"##.", "#.#", "#.#", "##.", "#.#", "#.#"}},
    {'S', {".##", "#..", ".#.", "..#", "..#", "##."}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#.", ".#."}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#.", ".#."}},
}};

constexpr std::array<Glyph, 11> kLargeGlyphs{{
    {'A', {".####.", "##..##", "##..##", "##..##", "######", "##..##", "##..##", "##..##", "##..##", "##..##"}},
    {'C', {".####.", "##..##", "##....", "##....", "##....", "##....", "##....", "##....", "##..##", ".####."}},
    {'D', {"#####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "#####."}},
    {'E', {"######", "##....", "##....", "##....", "#####.", "##....", "##....", "##....", "##....", "######"}},
    {'I', {"####", ".##.", ".##.", ".##.", ".##.", ".##.", ".##.", ".##.", ".##.", "####"}},
    {'N', {"##..##", "###.##", "###.##", "######", "##.###", "##.###", "##..##", "##..##", "##..##", "##..##"}},
    {'O', {".####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."}},
    {'R', {"#####.", "##..##", "##..##", "##..##", "#####.", "##.##.", "##..##", "##..##", "##..##", "##..##"}},
    {'S', {".####.", "##..##", "##....", "##....", ".####.", "....##", "....##", "....##", "##..##", ".####."}},
    {'T', {"######", "######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##.."}},
    {'V', {"##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", ".####.", ".####.", "..##.."}},
}};

const Glyph* FindGlyph(char letter, LetterSize size)
{
    // Only ASCII letters have glyphs; the locale's case mapping could turn another byte
    // into one of them.
    const char upper = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
    const auto& glyphs =
        size == LetterSize::Small ? std::span<const Glyph>(kSmallGlyphs) : std::span<const Glyph>(kLargeGlyphs);
    for (const Glyph& glyph : glyphs) {
        if (glyph.letter == upper) {
            return &glyph;
        }
    }
    return nullptr;
}

int BlankWidth(LetterSize size)
{
    return size == LetterSize::Small ? 3 : 6;
}

int GlyphWidth(char letter, LetterSize size)
{
    const Glyph* glyph = FindGlyph(letter, size);
    return glyph != nullptr ? static_cast<int>(glyph->rows[0].size()) : BlankWidth(size);
}

} // namespace

int LetterHeight(LetterSize size)
{
    return size == LetterSize::Small ? kSmallHeight : kLargeHeight;
}

int PixelTextWidth(std::string_view text, LetterSize size)
{
    int width = 0;
    for (const char letter : text) {
        width += GlyphWidth(letter, size) + 1;
    }
    return text.empty() ? 0 : width - 1;
}

void DrawPixelText(QImage& image, int left, int top, std::string_view text, QRgb colour, LetterSize size, int scale)
{
    const int height = LetterHeight(size);
    int x = left;
    for (const char letter : text) {
        if (const Glyph* glyph = FindGlyph(letter, size)) {
            for (int row = 0; row < height; ++row) {
                const std::string_view bits = glyph->rows[static_cast<std::size_t>(row)];
                for (int column = 0; column < static_cast<int>(bits.size()); ++column) {
                    if (bits[static_cast<std::size_t>(column)] != '#') {
                        continue;
                    }
                    for (int dy = 0; dy < scale; ++dy) {
                        for (int dx = 0; dx < scale; ++dx) {
                            const int px = x + column * scale + dx;
                            const int py = top + row * scale + dy;
                            if (image.valid(px, py)) {
                                image.setPixel(px, py, colour);
                            }
                        }
                    }
                }
            }
        }
        x += (GlyphWidth(letter, size) + 1) * scale;
    }
}

} // namespace sarvendo
