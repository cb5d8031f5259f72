// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelPainter.h"

#include "core/DateTimeText.h"
#include "core/Layouts.h"
#include "core/RealText.h"
#include "core/Rounding.h"
#include "core/Settings.h"

#include "display/CaptionAndTray.h"
#include "display/Colours.h"
#include "display/LampSet.h"
#include "display/LineParameters.h"
#include "display/PanelHost.h"
#include "display/PanelLayout.h"
#include "display/Recolour.h"
#include "monitor/ConnectTime.h"
#include "resources/Resources.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace sarvendo {

namespace {

// Panel rows of the etched line between the lamp row and the text lines.
constexpr int kSeparatorRow = 22;
constexpr QRgb kEtchShadow = 0xFF808080;
constexpr QRgb kEtchLight = 0xFFFFFFFF;

// Text lines start below the lamp row and its labels, a little in from the left.
constexpr int kTextTop = 26;
constexpr int kTextLeft = 4;

// Blanks after the status line and in place of the connect time without a carrier, so
// that the opaque text background wipes out longer text drawn before.
constexpr std::size_t kStatusPadding = 67;
constexpr std::size_t kConnectTimeBlanks = 53;

// Largest display font cell accepted, so a stray setting cannot ask for a window taller
// than any screen.
constexpr int kMaxFontCell = 200;

constexpr std::string_view kConnectTimeFormat = "\"Connect time: \"h\":\"mm\":\"ss\"    \"";

const PanelLayout& LayoutOrFallback(int number)
{
    const PanelLayout* layout = FindPanelLayout(number);
    return layout != nullptr ? *layout : *FindPanelLayout(kDefaultLayout);
}

} // namespace

PanelPainter::PanelPainter(Settings& settings, PanelHost& host, CaptionAndTray& captionAndTray, LampSet& lamps,
                           LineParameters& line, const ConnectTime& connectTime, const SystemMetrics& metrics)
    : m_settings(settings), m_host(host), m_captionAndTray(captionAndTray), m_lamps(lamps), m_line(line),
      m_connectTime(connectTime), m_metrics(metrics)
{
    CreateDisplayFont();
}

PanelPainter::~PanelPainter() = default;

QString PanelPainter::AvailableFace(const QString& face)
{
    // The classic faces the text lines were laid out with, and the free faces drawn to
    // the same widths; without them a wider face would cut the lines short.
    static const std::array<std::pair<QString, QStringList>, 3> kMetricTwins{{
        {QStringLiteral("Arial"),
         {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
          QStringLiteral("Nimbus Sans L")}},
        {QStringLiteral("Times New Roman"),
         {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("Nimbus Roman")}},
        {QStringLiteral("Courier New"),
         {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"), QStringLiteral("Nimbus Mono PS")}},
    }};
    if (QFontDatabase::hasFamily(face)) {
        return face;
    }
    for (const auto& [classic, twins] : kMetricTwins) {
        if (classic.compare(face, Qt::CaseInsensitive) != 0) {
            continue;
        }
        for (const QString& twin : twins) {
            if (QFontDatabase::hasFamily(twin)) {
                return twin;
            }
        }
    }
    return face;
}

void PanelPainter::CreateDisplayFont()
{
    m_wantedFace = m_settings.FontStyleSPY.str();
    m_wantedSize = m_settings.FontSizeSPY;
    m_displayFontWanted = true;
}

const QFont& PanelPainter::DisplayFont() const
{
    if (m_displayFontWanted) {
        MakeDisplayFont();
    }
    return m_displayFont;
}

void PanelPainter::MakeDisplayFont() const
{
    m_displayFontWanted = false;
    QFont font(AvailableFace(QString::fromStdString(m_wantedFace)));
    // Variable pitch from the sans-serif family when the face itself is missing. At ten
    // pixels, hinting and hard edges bend the outlines of the faces that stand in for
    // Arial until "C" reads as "O", "R" as "A" and "6" as "8"; smoothed and unhinted, each
    // letter keeps its shape and the face keeps the widths the lines were laid out for.
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setFixedPitch(false);
    font.setWeight(QFont::Normal);

    const std::int32_t requested = m_wantedSize;
    if (requested < 0) {
        // A negative size asks for the character height rather than the cell height.
        font.setPixelSize(std::clamp<std::int64_t>(-static_cast<std::int64_t>(requested), 1, kMaxFontCell));
    } else {
        // A positive size is the whole cell; 0 asks for the usual size.
        const int cell = requested == 0 ? 16 : std::min<int>(requested, kMaxFontCell);
        int pixels = cell;
        font.setPixelSize(pixels);
        while (pixels > 1 && QFontMetrics(font).height() > cell) {
            font.setPixelSize(--pixels);
        }
    }
    m_displayFont = font;
}

int PanelPainter::TextLineCount(int layoutNumber) const
{
    if (layoutNumber < 3 || layoutNumber > 5) {
        return 0;
    }
    int lines = 0;
    if (m_settings.StatusInDisplay == 1) {
        ++lines;
    }
    if (m_settings.SPYSpeedInDisplay == 1) {
        ++lines;
    }
    if ((m_settings.DisplayConnectTime == 1 || m_settings.DisplayTotalConnectTimeInDisplay == 1) &&
        m_settings.LampCD == 1) {
        ++lines;
    }
    return lines;
}

QSize PanelPainter::ClientSizeOfWindow(int outerWidth, int outerHeight, bool captionShown, const SystemMetrics& metrics)
{
    const int width = outerWidth - 2 * metrics.CxDlgFrame;
    const int height = outerHeight - 2 * metrics.CyDlgFrame - (captionShown ? metrics.CyCaption : 0);
    return {std::max(width, 0), std::max(height, 0)};
}

void PanelPainter::ReadTextMetrics(const PanelLayout& layout)
{
    // The conditions under which SizeWindow, LoadLayoutBitmap and DrawPanelText use them.
    if (m_settings.NewOrientation <= 0 || TextLineCount(layout.number) == 0) {
        return;
    }
    const QFontMetrics metrics(DisplayFont());
    m_settings.TextLineHeight = metrics.height();
    m_settings.TextCharWidth = metrics.averageCharWidth();
}

void PanelPainter::SizeWindow(const PanelLayout& layout)
{
    int width = layout.baseWidth + m_metrics.CxDlgFrame;
    int height = layout.baseHeight + m_metrics.CySize + m_metrics.CyDlgFrame;
    if (m_settings.NewOrientation > 0) {
        const int lines = TextLineCount(layout.number);
        height += lines * m_settings.TextLineHeight + (lines > 0 ? 1 : 0);
    }
    if (m_settings.NoTitleBar == 1) {
        height -= m_metrics.CySize;
    }
    width = std::max(width, m_metrics.CxMin);
    m_settings.WindowWidth = width;
    m_settings.WindowHeight = height;
    m_host.ResizeWindow(width, height);
    // The window takes its new size only when the system gets round to it; lines added
    // by this paint would be cut to the old size and stay cut until the next paint.
    const QSize resized = ClientSizeOfWindow(width, height, m_settings.NoTitleBar != 1, m_metrics);
    m_textArea = m_clientSize.expandedTo(resized);
}

void PanelPainter::LoadLayoutBitmap(const PanelLayout& layout)
{
    const int lines = m_settings.NewOrientation > 0 ? TextLineCount(layout.number) : 0;
    const int height =
        std::max(layout.baseHeight + lines * m_settings.TextLineHeight + (lines > 0 ? 1 : 0), m_metrics.CyMin);
    // A panel that holds another layout's picture is reloaded too: lamps drawn over the
    // wrong labels would show the wrong signals.
    if (m_settings.RebuildWindowLamps == 1 || m_settings.RebuildLayout == 1 || m_lastLayoutBitmap != layout.number) {
        m_panel = QImage();
        m_lastLayoutBitmap = 0;
        if (const std::optional<QImage> loaded = LoadResourceImage(layout.bitmapName)) {
            m_panel = loaded->convertToFormat(QImage::Format_RGB32);
            m_lastLayoutBitmap = layout.number;

            RecolourPanelPicture(m_panel, layout.baseWidth, height, m_settings.BackgroundColor, m_settings.TextColor);
            if (lines > 0 && m_panel.height() > kSeparatorRow + 1) {
                std::fill_n(reinterpret_cast<QRgb*>(m_panel.scanLine(kSeparatorRow)), m_panel.width(), kEtchShadow);
                std::fill_n(reinterpret_cast<QRgb*>(m_panel.scanLine(kSeparatorRow + 1)), m_panel.width(), kEtchLight);
            }
        }
        // The new picture has no text on it yet, so the connect time must be drawn
        // again even when its value has not changed.
        m_settings.LastPanelConnectTime = -1.0;
    }
    m_grid = layout.grid;
}

void PanelPainter::DrawLayoutLamps(const PanelLayout& layout)
{
    if (m_panel.isNull()) {
        return;
    }
    QPainter painter(&m_panel);
    for (const PanelLamp& lamp : layout.lamps) {
        if (lamp.signal == LampSignal::HighSpeed) {
            m_lamps.DrawHighSpeedLamp(painter, m_grid, layout.family, lamp.column,
                                      HighSpeedSource::NotificationOrPortRate);
        } else {
            m_lamps.DrawLamp(painter, SignalFlag(m_settings, lamp.signal), m_grid, layout.family, lamp.row,
                             lamp.column);
        }
    }
}

bool PanelPainter::DrawTextLine(QPainter& painter, int left, int top, const std::string& text) const
{
    const QRect bounds(QPoint(left, top), QPoint(m_textArea.width() - 1, m_textArea.height() - 1));
    if (!bounds.isValid()) {
        return false;
    }
    painter.setClipRect(bounds);
    painter.drawText(bounds, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromStdString(text));
    return true;
}

void PanelPainter::DrawPanelText()
{
    const PanelLayout& layout = LayoutOrFallback(m_settings.NewOrientation);
    if (layout.number < 3 || m_panel.isNull()) {
        return;
    }
    QPainter painter(&m_panel);
    painter.setFont(DisplayFont());
    painter.setPen(QColor::fromRgb(ToQRgb(m_settings.TextColor)));
    painter.setBackground(QColor::fromRgb(ToQRgb(m_settings.BackgroundColor)));
    painter.setBackgroundMode(Qt::OpaqueMode);

    int top = kTextTop;
    const int left = kTextLeft;
    const int lineStep = m_settings.TextLineHeight - 1;

    if (m_settings.StatusInDisplay == 1) {
        std::string status = "COM " + std::to_string(m_settings.DefaultPort) + " ";
        m_line.FormatCommParameters(status);
        status.append(kStatusPadding, ' ');
        DrawTextLine(painter, left, top, status);
        top += lineStep;
    }

    if (m_settings.DisplayConnectTime == 1 || m_settings.DisplayTotalConnectTimeInDisplay == 1) {
        if (m_settings.LampCD == 1) {
            // Measured as the logs and the total measure it, so that setting the clock or a
            // change of daylight saving time does not move it.
            DateTime value = m_connectTime.SessionTime();
            if (m_settings.DisplayTotalConnectTimeInDisplay == 1) {
                value += m_settings.TotalConnectNew;
            }
            const DateTime whole = WholeSeconds(value);
            // A line that fell outside the window (which grows for it only at this paint)
            // is not counted as shown, so the next paint draws it.
            if (whole != m_settings.LastPanelConnectTime &&
                DrawTextLine(painter, left, top, FormatDateTime(kConnectTimeFormat, whole, DateTimeFormats{}))) {
                m_settings.LastPanelConnectTime = whole;
            }
            top += lineStep;
        } else {
            DrawTextLine(painter, left, top, std::string(kConnectTimeBlanks, ' '));
            // Whatever the next session shows first must be drawn over these blanks.
            m_settings.LastPanelConnectTime = -1.0;
        }
    }

    if (m_settings.SPYSpeedInDisplay == 1 && m_settings.RDTDSpeedUpdate != 0) {
        const auto rate = [this](std::int32_t bytes) {
            if (bytes == 0) {
                return std::string();
            }
            return std::to_string(
                RoundHalfEven(static_cast<long double>(bytes) / static_cast<long double>(m_settings.RDTDSpeedUpdate)));
        };
        DrawTextLine(painter, left, top, "TD: " + rate(m_settings.TDBytesLastWindow) + "     ");
        DrawTextLine(painter, left + 12 * m_settings.TextCharWidth, top,
                     "RD: " + rate(m_settings.RDBytesLastWindow) + "       ");
    }
}

void PanelPainter::FormPaint()
{
    const PanelLayout& layout = LayoutOrFallback(m_settings.NewOrientation);

    // A window closed while minimised comes back minimised.
    if (m_settings.NewOrientation < 0 && m_settings.DialogShowing == 0) {
        m_host.MinimizeApplication();
    }
    // The centring below uses the client area as the paint found it.
    m_clientSize = m_host.ClientSize();
    // Other windows' captions first, then the window's own caption and stacking, as both
    // change the size the window is given next.
    m_captionAndTray.DrawTitleLamps();
    m_captionAndTray.ApplyCaptionAndStayOnTop();
    ReadTextMetrics(layout);
    SizeWindow(layout);
    // A minimised window keeps the panel it had.
    if (m_settings.NewOrientation > 0) {
        LoadLayoutBitmap(layout);
        DrawLayoutLamps(layout);
        if (TextLineCount(layout.number) > 0) {
            DrawPanelText();
        }
    }
    // One copy of the finished panel, so nothing flickers. The canvas covers what the
    // window can show of it, no more: the client area before and after this paint's resize.
    const QSize canvasSize = m_textArea.boundedTo(QSize(kCanvasSize, kCanvasSize));
    if (m_canvas.size() != canvasSize) {
        m_canvas = QImage(canvasSize, QImage::Format_RGB32);
    }
    m_canvas.fill(ToQRgb(m_settings.BackgroundColor));
    if (!m_panel.isNull() && !m_canvas.isNull()) {
        const int x = (m_clientSize.width() - layout.baseWidth) / 2; // truncates toward zero
        QPainter painter(&m_canvas);
        painter.drawImage(QPoint(x, -2), m_panel, QRect(0, 0, m_settings.WindowWidth, m_settings.WindowHeight));
    }
    m_host.ShowCanvas(m_canvas);
    // A request to paint once more outlives this paint.
    m_settings.RebuildWindowLamps = 0;
    m_settings.RebuildLayout = 0;
    if (m_settings.RepaintAgain == 1) {
        m_settings.RepaintAgain = 0;
    } else {
        m_settings.RepaintNeeded = 0;
    }
    // The tray icon changes exactly when the lamps are painted.
    m_captionAndTray.Win95Tray();
    // Without a carrier the labels keep the last session's counts.
    if (m_settings.LampCD == 1) {
        m_host.SetByteLabels("Transmitted bytes: " + std::to_string(m_settings.SessionSent),
                             "   Received bytes: " + std::to_string(m_settings.SessionReceived));
    }
}

} // namespace sarvendo
