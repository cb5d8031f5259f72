// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelView.h"

#include "app/MainTray.h"
#include "app/TImage.h"
#include "app/WindowFlags.h"
#include "display/Colours.h"

#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <cstdint>

namespace sarvendo {
namespace {

constexpr int kImageTop = 1;
constexpr int kImageWidth = 400;
constexpr int kImageHeight = 200;

} // namespace

PanelView::PanelView(QWidget& window, Settings& settings, LineParameters& line, ForegroundWindow& foregroundWindow,
                     CaptionOverlay& captionOverlay, const ConnectTime& connectTime, MainTray& tray)
    : QObject(&window), m_window(window), m_settings(settings), m_tray(tray), m_lamps(settings, line),
      m_titleLamps(settings, m_lamps, foregroundWindow, captionOverlay, connectTime),
      m_painter(settings, *this, *this, m_lamps, line, connectTime), m_image(new TImage(&window))
{
    // Row 0, above the image control, shows the window's own background: the panel's.
    window.setAutoFillBackground(true);
    ApplyBackgroundColour();
    m_image->setGeometry(0, kImageTop, kImageWidth, kImageHeight);
}

PanelView::~PanelView() = default;

void PanelView::ComposeSoon()
{
    if (m_composePending) {
        return;
    }
    m_composePending = true;
    QTimer::singleShot(0, this, [this] {
        m_composePending = false;
        if (m_settings.RepaintNeeded == 1) {
            Compose();
        }
    });
}

void PanelView::Compose()
{
    if (m_settings.ClosedDown == 1) {
        return;
    }
    m_painter.FormPaint();
    // The panel is centred in the client area as it was when the paint began; when that
    // paint gave the window a new size, the picture is composed once more for it.
    if (m_resized) {
        m_resized = false;
        m_painter.FormPaint();
    }
}

QSize PanelView::ClientSize() const
{
    return m_window.size();
}

void PanelView::MinimizeApplication()
{
    if (!m_window.isMinimized()) {
        m_window.showMinimized();
    }
}

void PanelView::ResizeWindow(int outerWidth, int outerHeight)
{
    const QSize client = PanelPainter::ClientSizeOfWindow(outerWidth, outerHeight, m_settings.NoTitleBar != 1);
    if (client != m_window.size()) {
        m_window.setFixedSize(client);
        m_resized = true;
    }
}

void PanelView::ApplyBackgroundColour()
{
    if (m_settings.BackgroundColor == m_shownBackground) {
        return;
    }
    m_shownBackground = m_settings.BackgroundColor;
    QPalette colours = m_window.palette();
    colours.setColor(QPalette::Window, QColor::fromRgb(ToQRgb(m_shownBackground)));
    m_window.setPalette(colours);
}

void PanelView::ShowCanvas(const QImage& canvas)
{
    ApplyBackgroundColour();
    m_image->SetPicture(canvas);
}

void PanelView::SetByteLabels(const std::string& transmitted, const std::string& received)
{
    emit ByteLabelsChanged(QString::fromStdString(transmitted), QString::fromStdString(received));
}

void PanelView::DrawTitleLamps()
{
    m_titleLamps.DrawTitleLamps();
}

void PanelView::ApplyCaptionAndStayOnTop()
{
    Settings& s = m_settings;
    // A caption stored as hidden is hidden at the first paint, which stores it as 1.
    if (s.NoTitleBar < 0) {
        s.NoTitleBar = static_cast<std::int32_t>(-static_cast<long long>(s.NoTitleBar));
        SetWindowFlagInPlace(m_window, Qt::FramelessWindowHint, s.NoTitleBar != 0);
    }
    const bool onTop = s.DialogShowing == 0 && (s.OnTop == 1 || (s.OnTop == 2 && s.AutoOnTop == 1));
    SetWindowFlagInPlace(m_window, Qt::WindowStaysOnTopHint, onTop);
}

void PanelView::Win95Tray()
{
    m_tray.Win95Tray();
}

} // namespace sarvendo
