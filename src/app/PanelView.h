// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Settings.h"

#include "display/CaptionAndTray.h"
#include "display/LampSet.h"
#include "display/PanelHost.h"
#include "display/PanelPainter.h"
#include "display/TitleLamps.h"

#include <QObject>
#include <QString>

class QWidget;

namespace sarvendo {

class CaptionOverlay;
class ConnectTime;
class ForegroundWindow;
class LineParameters;
class MainTray;
class TImage;

// Everything a paint shows: the lamp panel in the window, the window's size, caption and
// stacking, the lamps in the active window's caption and the tray icon. It owns the
// painter and is the painter's host for all of it. A tick or a change of settings
// composes at once or soon; the window's own paint only copies the finished picture.
class PanelView : public QObject, public PanelHost, public CaptionAndTray
{
    Q_OBJECT

public:
    PanelView(QWidget& window, Settings& settings, LineParameters& line, ForegroundWindow& foregroundWindow,
              CaptionOverlay& captionOverlay, const ConnectTime& connectTime, MainTray& tray);
    ~PanelView() override;

    // Composes the window, the caption strip and the tray icon now.
    void Compose();
    // Changes made together (a dialog's controls, a port switch) are composed once, as
    // soon as the event loop is back, whether or not the poll timer runs.
    void ComposeSoon();
    // Takes the lamps off another program's caption; the next paint puts them back.
    void HideCaptionStrip() { m_titleLamps.HideCaptionStrip(); }

    TImage* Image() const { return m_image; }
    PanelPainter& Painter() { return m_painter; }

    // PanelHost
    QSize ClientSize() const override;
    void MinimizeApplication() override;
    void ResizeWindow(int outerWidth, int outerHeight) override;
    void ShowCanvas(const QImage& canvas) override;
    void SetByteLabels(const std::string& transmitted, const std::string& received) override;

    // CaptionAndTray
    void DrawTitleLamps() override;
    void ApplyCaptionAndStayOnTop() override;
    void Win95Tray() override;

signals:
    // The byte labels' captions for the setup dialog.
    void ByteLabelsChanged(const QString& transmitted, const QString& received);

private:
    void ApplyBackgroundColour();

    QWidget& m_window;
    Settings& m_settings;
    MainTray& m_tray;
    LampSet m_lamps;
    TitleLamps m_titleLamps;
    PanelPainter m_painter;
    TImage* m_image;
    ColorRef m_shownBackground = 0xFFFFFFFFU;
    bool m_composePending = false;
    bool m_resized = false;
};

} // namespace sarvendo
