// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include <string_view>

class QImage;

namespace sarvendo {

// The two hand-drawn letter sets of the pictures: small capitals six pixels high for the
// compact panels and the caption strips, bold capitals ten pixels high for the large
// panels and the splash logo. Unknown characters are drawn as a blank of letter width.
enum class LetterSize
{
    Small,
    Large,
};

// Height of a letter in pixels at scale 1.
int LetterHeight(LetterSize size);

// Width of text in pixels at scale 1: the letters' widths plus one blank column between
// neighbours.
int PixelTextWidth(std::string_view text, LetterSize size);

// Sets the pixels of text with its top-left corner at (left, top), every letter pixel
// becoming a scale × scale square of colour. Pixels outside the image are skipped.
void DrawPixelText(QImage& image, int left, int top, std::string_view text, QRgb colour, LetterSize size,
                   int scale = 1);

} // namespace sarvendo
