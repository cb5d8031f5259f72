// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/LampGrid.h"
#include "platform/SystemMetrics.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <string>

class QPainter;

namespace sarvendo {

struct Settings;
struct PanelLayout;
class CaptionAndTray;
class ConnectTime;
class LampSet;
class LineParameters;
class PanelHost;

// Paints the main window: the lamp panel in the chosen layout with its text lines,
// composed off-screen and handed to the window in one piece so lamps never flicker.
// Every paint also runs the caption-strip and tray steps through CaptionAndTray, in their
// places of the paint order. The painter keeps the drawing objects (the panel image, the
// display font); the Settings record keeps the flags and measures other parts read.
//
// The panel is a cache: the layout picture is reloaded and recoloured only on a rebuild
// request (or when none is loaded yet); ordinary paints redraw lamps and text over it.
class PanelPainter
{
public:
    // The largest canvas, in both directions: the window's image control is smaller.
    static constexpr int kCanvasSize = 400;

    PanelPainter(Settings& settings, PanelHost& host, CaptionAndTray& captionAndTray, LampSet& lamps,
                 LineParameters& line, const ConnectTime& connectTime,
                 const SystemMetrics& metrics = kClassicSystemMetrics);
    ~PanelPainter();
    PanelPainter(const PanelPainter&) = delete;
    PanelPainter& operator=(const PanelPainter&) = delete;

    // The whole paint, in order: caption strip, own caption and z-order, window size,
    // panel, one copy to the window, requests consumed, tray icon, setup byte labels.
    void FormPaint();

    // Asks for the text-line font from "Font Size SPY" (cell height in pixels) and
    // "Font Style SPY" (face name). It is made when a paint first shows text lines: the
    // font system, its configuration and the face cost more memory than the rest of the
    // window, and most lamp windows show no text at all.
    void CreateDisplayFont();

    // Loads and recolours the layout picture when a rebuild is requested or none is
    // loaded, and sets the layout's lamp grid.
    void LoadLayoutBitmap(const PanelLayout& layout);

    // Draws the text lines of layouts 3 to 5 into the panel.
    void DrawPanelText();

    // The number of text lines switched on for layout (the connect-time line only while
    // the carrier is present), 0 for layouts 1 and 2 and while minimised.
    int TextLineCount(int layoutNumber) const;

    // The face the display font uses for the face name asked for: the name itself when it
    // is installed, else an installed face with the same character widths, else the name
    // (and the font system's usual fallback).
    static QString AvailableFace(const QString& face);

    // The client area a window of this outer size has with the classic frame metrics.
    static QSize ClientSizeOfWindow(int outerWidth, int outerHeight, bool captionShown,
                                    const SystemMetrics& metrics = kClassicSystemMetrics);

    const QImage& Canvas() const { return m_canvas; }
    const QImage& Panel() const { return m_panel; }
    // The text-line font, made now if it was not yet.
    const QFont& DisplayFont() const;
    int LastLayoutBitmap() const { return m_lastLayoutBitmap; }

private:
    void SizeWindow(const PanelLayout& layout);
    void DrawLayoutLamps(const PanelLayout& layout);
    void MakeDisplayFont() const;
    // Takes the font's measures when the layout shows text lines; nothing else uses them.
    void ReadTextMetrics(const PanelLayout& layout);
    // Draws one line clipped to the client area below (left, top); false when nothing of
    // that area is left to draw in.
    bool DrawTextLine(QPainter& painter, int left, int top, const std::string& text) const;

    Settings& m_settings;
    PanelHost& m_host;
    CaptionAndTray& m_captionAndTray;
    LampSet& m_lamps;
    LineParameters& m_line;
    const ConnectTime& m_connectTime; // the session length, on the monotonic clock
    SystemMetrics m_metrics;

    // Made on first use, so kept as a cache that a const look may fill.
    mutable QFont m_displayFont;
    mutable bool m_displayFontWanted = true; // asked for and not made yet
    std::string m_wantedFace;                // the settings as they were when it was asked for
    std::int32_t m_wantedSize = 0;
    QImage m_panel;             // the off-screen panel: the current layout picture with lamps and text
    int m_lastLayoutBitmap = 0; // number of the layout whose picture the panel holds; 0 none
    QImage m_canvas;            // the window's image control, the size of the client area; null before a paint
    QSize m_clientSize;         // taken at the start of each paint
    QSize m_textArea;           // what the text lines may cover: the client area after this paint's resize
    LampGrid m_grid;            // lamp grid of the layout painted last
};

} // namespace sarvendo
