// SPDX-License-Identifier: GPL-3.0-or-later
#include "TitleLamps.h"

#include "core/DateTimeText.h"
#include "core/Settings.h"

#include "display/LampSet.h"
#include "display/PanelLayout.h"
#include "display/Recolour.h"
#include "monitor/ConnectTime.h"
#include "platform/CaptionOverlay.h"
#include "resources/Resources.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace sarvendo {

namespace {

// The strip pictures are drawn 18 pixels high and stretched onto the caption.
constexpr int kStripHeight = 18;

// An offset far beyond any screen only pushes the strip off the caption; bounding it
// keeps the arithmetic in range.
constexpr int kMaxOffset = 1 << 16;

// Whichever of black and white reads better on a title bar of this mean brightness.
constexpr int kDarkCaption = 128;

constexpr std::string_view kTimeFormat = "h:mm:ss";

// The colour most of a row has: the title bar's own colour at that height, whatever title
// text or gradient steps cross it.
std::vector<QRgb> RowColours(const QImage& picture)
{
    std::vector<QRgb> colours;
    std::unordered_map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        counts.clear();
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        QRgb best = row[0];
        for (int x = 0; x < picture.width(); ++x) {
            if (++counts[row[x]] > counts[best]) {
                best = row[x];
            }
        }
        colours.push_back(best);
    }
    return colours;
}

QRgb ContrastingText(const std::vector<QRgb>& background)
{
    double sum = 0.0;
    for (const QRgb pixel : background) {
        sum += 0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel);
    }
    return !background.empty() && sum / static_cast<double>(background.size()) < kDarkCaption ? qRgb(255, 255, 255)
                                                                                              : qRgb(0, 0, 0);
}

} // namespace

TitleLamps::TitleLamps(Settings& settings, LampSet& lamps, ForegroundWindow& foreground, CaptionOverlay& overlay,
                       const ConnectTime& connectTime, const SystemMetrics& metrics)
    : m_settings(settings), m_lamps(lamps), m_foreground(foreground), m_overlay(overlay), m_connectTime(connectTime),
      m_metrics(metrics)
{
    m_foreground.SetChangeHandler([this](ForegroundChange /*change*/) { OnForegroundChanged(); });
}

TitleLamps::~TitleLamps()
{
    m_foreground.SetChangeHandler(nullptr);
}

bool TitleLamps::LampsWanted() const
{
    return m_settings.Title == 1 || (m_settings.Title == 2 && m_settings.LampCD == 1);
}

bool TitleLamps::TimeWanted() const
{
    return m_settings.LampCD == 1 &&
           (m_settings.DisplayConnectTimeInTitlebar == 1 || m_settings.DisplayTotalConnectTimeInTitlebar == 1);
}

void TitleLamps::OnForegroundChanged()
{
    // Whatever the strip sat on has changed: take it away now, and have the next tick
    // paint it where it belongs.
    const bool wasShown = m_overlay.Visible();
    HideCaptionStrip();
    if (wasShown || LampsWanted() || TimeWanted()) {
        m_settings.RepaintNeeded = 1;
    }
}

void TitleLamps::HideCaptionStrip()
{
    m_overlay.Hide();
    // The strip comes back on a fresh picture, so the time must be drawn on it again.
    m_settings.LastTitleConnectTime = -1.0;
}

bool TitleLamps::HasRoom(const CaptionTarget& target, int stripWidth) const
{
    const bool boxes = target.minimiseBox || target.maximiseBox;
    long long room = static_cast<long long>(target.frameRect.width) - stripWidth;
    if (target.systemMenu) {
        room -= m_metrics.CxSize;
    }
    if (boxes) {
        room -= 2LL * m_metrics.CxSize;
    }
    room -= m_metrics.CxSize;
    room -= target.sizeable ? m_metrics.CxFrame : m_metrics.CxBorder;
    if (m_metrics.CxSize > 20) {
        room += 3;
    }
    return target.HasCaption() && !target.popup && !target.minimised && target.minimiseBox && room > 0 &&
           !target.ownProcess;
}

TitleLamps::Placement TitleLamps::Place(const CaptionTarget& target, int stripWidth, bool lampsWanted, bool timeWanted)
{
    const int width = target.frameRect.width;
    // The classic strip is the caption's height less two; window managers draw title bars
    // of every height, so it keeps that height where it fits and shrinks where it does not,
    // centred in the title bar either way.
    const int titleBar = target.extents.top;
    const int height = std::min(m_metrics.CyCaption - 2, titleBar - 2);
    const int y = (titleBar - height) / 2;

    const int offset = std::clamp(m_settings.TitleBarOffset, -kMaxOffset, kMaxOffset);
    int x = width - offset - stripWidth - 2;
    if (target.minimiseBox || target.maximiseBox) {
        x -= 3 * m_metrics.CxSize;
    }
    x -= target.sizeable ? m_metrics.CxDlgFrame : m_metrics.CxBorder;

    if (height != m_timeFontFor) {
        // Bold like a caption's own text, as large as fits inside the strip's rows.
        QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        font.setBold(true);
        int pixels = std::max(std::min(12, height - 1), 1);
        font.setPixelSize(pixels);
        while (pixels > 1 && QFontMetrics(font).height() > height - 1) {
            font.setPixelSize(--pixels);
        }
        const QFontMetrics metrics(font);
        int digit = 0;
        for (char c = '0'; c <= '9'; ++c) {
            digit = std::max(digit, metrics.horizontalAdvance(QChar::fromLatin1(c)));
        }
        m_timeFont = font;
        m_timeFontFor = height;
        // Room for the widest time of day, so the overlay keeps its size as the time grows.
        m_timeWidth = 6 * digit + 2 * metrics.horizontalAdvance(QLatin1Char(':'));
    }

    Placement placement;
    QRect whole;
    if (lampsWanted) {
        placement.strip = QRect(x, y, stripWidth, height);
        whole = placement.strip;
    }
    if (timeWanted) {
        // Without lamps the time takes the strip's place.
        const int right = (lampsWanted ? x : x + stripWidth) - 2;
        placement.time = QRect(right - m_timeWidth, y + 1, m_timeWidth, QFontMetrics(m_timeFont).height());
        whole |= placement.time;
    }
    placement.overlay = whole & QRect(0, 0, width, titleBar);
    return placement;
}

void TitleLamps::StartPicture(const CaptionTarget& target, const DesktopRect& place)
{
    // The overlay is not up, so these are the title bar's own pixels: the time is drawn on
    // them and looks part of the caption whatever the window manager's theme.
    const std::vector<std::uint32_t> pixels = m_foreground.DesktopPixels(place);
    if (pixels.size() == static_cast<std::size_t>(place.width) * static_cast<std::size_t>(place.height)) {
        m_background = QImage(place.width, place.height, QImage::Format_RGB32);
        for (int y = 0; y < place.height; ++y) {
            std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * place.width, place.width,
                        reinterpret_cast<QRgb*>(m_background.scanLine(y)));
        }
        m_rowColours = RowColours(m_background);
        m_timeColour = ContrastingText(m_rowColours);
    } else {
        // Pixels that cannot be read: the desktop palette's colours for an active (or, when
        // a window it owns is in front, inactive) title.
        const QPalette palette = QGuiApplication::palette();
        const QPalette::ColorGroup group = target.isForeground ? QPalette::Active : QPalette::Inactive;
        m_background = QImage(place.width, place.height, QImage::Format_RGB32);
        m_background.fill(palette.color(group, QPalette::Highlight));
        m_rowColours.assign(static_cast<std::size_t>(place.height), palette.color(group, QPalette::Highlight).rgb());
        m_timeColour = palette.color(group, QPalette::HighlightedText).rgb();
    }
    m_picture = m_background.copy();
    m_place = place;
    m_frame = target.frame;
    m_settings.LastTitleConnectTime = -1.0;
}

void TitleLamps::LoadTitleStrip(const TitleStrip& strip)
{
    // Recolouring touches every pixel, so it happens on a rebuild request only; another
    // strip than the one loaded is loaded too, as its labels would not fit the lamps.
    if (m_settings.RebuildTitleLamps == 1 || m_strip.isNull() || m_stripOrientation != strip.orientation) {
        m_strip = QImage();
        m_stripOrientation = 0;
        if (const std::optional<QImage> loaded = LoadResourceImage(strip.bitmapName)) {
            m_strip = loaded->convertToFormat(QImage::Format_RGB32);
            m_stripOrientation = strip.orientation;
            RecolourPanelPicture(m_strip, strip.usedWidth, kStripHeight, m_settings.BackgroundColor,
                                 m_settings.TextColor);
        }
    }
    m_grid = strip.grid;
}

void TitleLamps::DrawStripLamps(const TitleStrip& strip)
{
    if (m_strip.isNull()) {
        return;
    }
    QPainter painter(&m_strip);
    // The Courier strip follows the port rate alone, as its modem's lamp did.
    const HighSpeedSource source =
        strip.orientation == 5 ? HighSpeedSource::PortRateOnly : HighSpeedSource::NotificationOrPortRate;
    for (const PanelLamp& lamp : strip.lamps) {
        if (lamp.signal == LampSignal::HighSpeed) {
            m_lamps.DrawHighSpeedLamp(painter, m_grid, LampSelector::Title, lamp.column, source);
        } else {
            m_lamps.DrawLamp(painter, SignalFlag(m_settings, lamp.signal), m_grid, LampSelector::Title, lamp.row,
                             lamp.column);
        }
    }
}

void TitleLamps::DrawConnectTime(const QRect& area)
{
    // The window's connect-time line shows the same: a wall clock set forward or back
    // does not move it.
    DateTime value = m_connectTime.SessionTime();
    if (m_settings.DisplayTotalConnectTimeInTitlebar == 1) {
        value += m_settings.TotalConnectNew;
    }
    const DateTime whole = WholeSeconds(value);
    if (whole == m_settings.LastTitleConnectTime) {
        return;
    }
    QPainter painter(&m_picture);
    // The time stands on the bare title bar, covering any title text beneath as a caption's
    // own text would, and a shorter time leaves nothing of a longer one.
    for (int y = std::max(area.top(), 0); y <= area.bottom() && y < static_cast<int>(m_rowColours.size()); ++y) {
        painter.fillRect(QRect(area.left(), y, area.width(), 1), QColor::fromRgb(m_rowColours[y]));
    }
    painter.setFont(m_timeFont);
    painter.setPen(QColor::fromRgb(m_timeColour));
    painter.drawText(area, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromStdString(FormatDateTime(kTimeFormat, whole, DateTimeFormats{})));
    m_settings.LastTitleConnectTime = whole;
}

void TitleLamps::DrawTitleLamps()
{
    const bool lampsWanted = LampsWanted();
    const bool timeWanted = TimeWanted();
    if (!lampsWanted && !timeWanted) {
        HideCaptionStrip();
        return;
    }
    if (!m_foreground.Available()) {
        if (!m_saidUnavailable) {
            std::fputs("Sarvendo: no X11 desktop, so no lamps or connect time in other windows' captions\n", stderr);
            m_saidUnavailable = true;
        }
        return;
    }

    const TitleStrip* strip = FindTitleStrip(m_settings.OrientationTitle);
    const std::optional<CaptionTarget> target = m_foreground.Target();
    if (strip == nullptr || !target || !HasRoom(*target, strip->usedWidth)) {
        HideCaptionStrip();
        return;
    }

    const Placement placement = Place(*target, strip->usedWidth, lampsWanted, timeWanted);
    if (placement.overlay.isEmpty()) {
        HideCaptionStrip();
        return;
    }
    const DesktopRect place{target->frameRect.x + placement.overlay.x(), target->frameRect.y + placement.overlay.y(),
                            placement.overlay.width(), placement.overlay.height()};
    if (m_overlay.Visible() && (place != m_place || target->frame != m_frame)) {
        // A strip moved while up would take its own pixels for the title bar's: it goes
        // away for one tick and comes back on the title bar as it really is.
        HideCaptionStrip();
        m_settings.RepaintNeeded = 1;
        return;
    }
    if (!m_overlay.Visible()) {
        StartPicture(*target, place);
    }

    const QPoint origin = placement.overlay.topLeft();
    if (lampsWanted) {
        LoadTitleStrip(*strip);
        DrawStripLamps(*strip);
        if (!m_strip.isNull()) {
            QPainter painter(&m_picture);
            painter.drawImage(placement.strip.translated(-origin), m_strip,
                              QRect(0, 0, strip->usedWidth, kStripHeight));
        }
    }
    if (timeWanted) {
        DrawConnectTime(placement.time.translated(-origin));
    }

    if (!m_overlay.Visible() || m_picture != m_shown) {
        m_shown = m_picture.copy();
        const auto* first = reinterpret_cast<const std::uint32_t*>(m_shown.constBits());
        m_overlay.Show(m_frame, m_place,
                       PixelView{m_shown.width(), m_shown.height(),
                                 std::span<const std::uint32_t>(first, static_cast<std::size_t>(m_shown.width()) *
                                                                           m_shown.height())});
    }
}

} // namespace sarvendo
