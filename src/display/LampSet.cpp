// SPDX-License-Identifier: GPL-3.0-or-later
#include "LampSet.h"

#include "core/Settings.h"

#include "display/LineParameters.h"
#include "display/Recolour.h"
#include "line/BaudRate.h"
#include "resources/Resources.h"

#include <QPainter>

#include <cstdlib>

namespace sarvendo {

namespace {

// Layout and caption pictures mark sockets that can never light in these columns.
bool IsSocketColumn(int column)
{
    return column == 3 || column == 10 || column == 11;
}

std::size_t Index(LampPicture which)
{
    return static_cast<std::size_t>(which);
}

} // namespace

LampSet::LampSet(Settings& settings, LineParameters& line) : m_settings(settings), m_line(line) {}

LampSet::Family LampSet::FamilyOf(LampSelector selector)
{
    switch (selector) {
    case LampSelector::LargeSquare:
    case LampSelector::LargeHorizontal:
        return kLarge;
    case LampSelector::SmallHorizontal:
        return kSmall;
    case LampSelector::Modem:
    case LampSelector::Courier:
        return kModem;
    case LampSelector::Title:
        return kTitle;
    }
    return kSmall;
}

bool LampSet::RoundLook(LampSelector selector) const
{
    // Only 1 is round; every other value, however odd, is the flat look.
    return (selector == LampSelector::Title ? m_settings.LampLookTitle : m_settings.LampLook) == 1;
}

std::string LampSet::ResourceName(Family family, bool round, LampPicture which)
{
    static constexpr std::array<std::string_view, 3> kStates{"LIGHTON", "LIGHTOFF", "NOLIGHT"};
    static constexpr std::array<std::string_view, kFamilyCount> kFamilies{"_LARGE", "", "_Modem", "_Title"};
    std::string name(kStates[Index(which)]);
    name += kFamilies[static_cast<std::size_t>(family)];
    name += round ? "_R" : "_F";
    return name;
}

void LampSet::Reload(Family family, bool round, bool withEmpty)
{
    for (const LampPicture which : {LampPicture::Lit, LampPicture::Unlit, LampPicture::Empty}) {
        if (which == LampPicture::Empty && !withEmpty) {
            continue;
        }
        QImage& slot = m_pictures[static_cast<std::size_t>(family)][round ? 1 : 0][Index(which)];
        const std::optional<QImage> loaded = LoadResourceImage(ResourceName(family, round, which));
        if (!loaded) {
            // A picture that cannot be had stays empty and simply is not drawn.
            slot = QImage();
            continue;
        }
        slot = loaded->convertToFormat(QImage::Format_RGB32);
        RecolourLampPicture(slot, m_settings.LightColorOn, m_settings.LightColorOff, m_settings.BackgroundColor);
    }
}

void LampSet::DrawLamp(QPainter& target, std::uint8_t lit, const LampGrid& grid, LampSelector selector, int row,
                       int column)
{
    const Family family = FamilyOf(selector);
    const bool round = RoundLook(selector);
    const bool title = selector == LampSelector::Title;
    const bool withEmpty = selector == LampSelector::Courier || title;
    std::uint8_t& request = title ? m_settings.RebuildTitleLamps : m_settings.RebuildWindowLamps;
    if (request == 1) {
        Reload(family, round, withEmpty);
    }
    request = 0;

    LampPicture which = LampPicture::Unlit;
    if (lit == 1) {
        which = LampPicture::Lit;
    } else if (IsSocketColumn(column) &&
               (selector == LampSelector::Courier ||
                (title && std::llabs(static_cast<long long>(m_settings.OrientationTitle)) == 5))) {
        which = LampPicture::Empty;
    }
    const QImage* picture = &m_pictures[static_cast<std::size_t>(family)][round ? 1 : 0][Index(which)];
    if (picture->isNull()) {
        // A family or look never asked for before (a layout switched without a rebuild
        // request) is loaded now rather than left as a hole in the panel.
        Reload(family, round, withEmpty);
    }
    if (picture->isNull()) {
        return;
    }
    target.drawImage(QPoint(grid.x0 + column * grid.dx, grid.y0 + row * grid.dy), *picture);
}

void LampSet::DrawHighSpeedLamp(QPainter& target, const LampGrid& grid, LampSelector selector, int column,
                                HighSpeedSource source)
{
    DrawLamp(target, 0, grid, selector, 0, column);
    if (source == HighSpeedSource::NotificationOrPortRate && m_settings.NotifyValue2 == 1) {
        if (m_settings.HighSpeed == 1) {
            DrawLamp(target, 1, grid, selector, 0, column);
        }
        return;
    }
    const std::uint32_t rate = m_line.ReadBaudRate();
    if (rate == 0) {
        return;
    }
    if (EffectiveRate(rate) > 9600 && m_settings.DefaultPort != 0) {
        DrawLamp(target, 1, grid, selector, 0, column);
    }
}

std::uint32_t LampSet::EffectiveRate(std::uint32_t baudRate)
{
    return ShownBaudRate(baudRate);
}

const QImage& LampSet::Picture(LampSelector selector, bool round, LampPicture which) const
{
    return m_pictures[static_cast<std::size_t>(FamilyOf(selector))][round ? 1 : 0][Index(which)];
}

} // namespace sarvendo
