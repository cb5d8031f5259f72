// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/LampGrid.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <string>

class QPainter;

namespace sarvendo {

struct Settings;
class LineParameters;

// Whether the high-speed lamp may follow the dial-up notification's flag instead of the
// port rate. The window layouts and the Modem caption strip do; the Courier strip does not.
enum class HighSpeedSource
{
    NotificationOrPortRate,
    PortRateOnly,
};

enum class LampPicture
{
    Lit,
    Unlit,
    Empty,
};

// The lamp pictures of every family, recoloured to the user's lamp and background
// colours, and the drawing of single lamps. Pictures are loaded and recoloured only when
// a rebuild is requested (or the first time a family is needed), so an ordinary paint
// just copies small ready-made images.
class LampSet
{
public:
    LampSet(Settings& settings, LineParameters& line);

    // Draws one lamp at (row, column) of grid: lit when lit is exactly 1, otherwise unlit
    // or, for the sockets that can never light, empty. A pending rebuild request of the
    // selector's kind reloads that family first and is cleared.
    void DrawLamp(QPainter& target, std::uint8_t lit, const LampGrid& grid, LampSelector selector, int row, int column);

    // Draws the HS lamp: unlit, then lit when the notification says so or the port runs
    // faster than 9600 bits per second.
    void DrawHighSpeedLamp(QPainter& target, const LampGrid& grid, LampSelector selector, int column,
                           HighSpeedSource source);

    // The effective rate of a UART programmed for baudRate: 115200 divided by the whole
    // divisor, rounded half to even. Rates above 115200 (divisor 0) are taken as they are.
    static std::uint32_t EffectiveRate(std::uint32_t baudRate);

    // The picture of a family in one look as it stands; null while not loaded.
    const QImage& Picture(LampSelector selector, bool round, LampPicture which) const;

private:
    static constexpr int kPictureCount = 3;
    enum Family
    {
        kLarge,
        kSmall,
        kModem,
        kTitle,
        kFamilyCount
    };

    static Family FamilyOf(LampSelector selector);
    static std::string ResourceName(Family family, bool round, LampPicture which);
    void Reload(Family family, bool round, bool withEmpty);
    bool RoundLook(LampSelector selector) const;

    Settings& m_settings;
    LineParameters& m_line;
    // [family][round][state]; a null image is a picture not loaded (or not loadable).
    std::array<std::array<std::array<QImage, kPictureCount>, 2>, kFamilyCount> m_pictures;
};

} // namespace sarvendo
