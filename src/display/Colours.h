// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Settings.h"

#include <QColor>

namespace sarvendo {

// A stored colour (red in the low byte) as the pixel value Qt draws with.
inline QRgb ToQRgb(ColorRef colour)
{
    return qRgb(static_cast<int>(colour & 0xFFU), static_cast<int>((colour >> 8U) & 0xFFU),
                static_cast<int>((colour >> 16U) & 0xFFU));
}

} // namespace sarvendo
