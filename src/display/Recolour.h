// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Settings.h"

class QImage;

namespace sarvendo {

// The two recolouring rules that turn the drawn pictures into the user's colours. They
// touch every pixel, so they run only when a picture is (re)loaded, never per paint.

// Panels and caption strips, over the area width × height from the top-left corner
// (clipped to the picture): light greys (every component above 150 and below 240) become
// the background colour, dark blues (red and green below 100, blue above 128) the text
// colour; other pixels stay as they are.
void RecolourPanelPicture(QImage& picture, int width, int height, ColorRef background, ColorRef text);

// Lamps, over the whole picture: red bodies become the lit colour, blue surroundings the
// background colour, green bodies the unlit colour; black outlines and white highlights
// stay.
void RecolourLampPicture(QImage& picture, ColorRef lit, ColorRef unlit, ColorRef background);

} // namespace sarvendo
