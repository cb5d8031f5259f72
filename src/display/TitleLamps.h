// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/LampGrid.h"
#include "platform/ForegroundWindow.h"
#include "platform/SystemMetrics.h"

#include <QFont>
#include <QImage>
#include <QRect>

#include <vector>

namespace sarvendo {

struct Settings;
struct TitleStrip;
class CaptionOverlay;
class ConnectTime;
class LampSet;

// The lamps and the connect time on the caption of whatever window is active, so the line
// stays in sight while the user works in another program. Each paint decides what is
// wanted, finds the active window's top-level target, checks that the strip fits between
// its title and its caption buttons, and shows the strip with its lamps (and the time two
// pixels to its left) in an overlay stacked on that title bar. The program's own windows,
// popups, minimised windows and windows without a caption or a minimise button never get
// it.
//
// The overlay goes away whenever what it sits on changes (another window active, the
// target moved, resized, minimised or closed; carrier loss and shutdown through
// HideCaptionStrip) and the next paint shows it again where it belongs, so it is never
// left floating over the wrong place. A paint with nothing changed sends nothing to the
// desktop.
class TitleLamps
{
public:
    TitleLamps(Settings& settings, LampSet& lamps, ForegroundWindow& foreground, CaptionOverlay& overlay,
               const ConnectTime& connectTime, const SystemMetrics& metrics = kClassicSystemMetrics);
    ~TitleLamps();
    TitleLamps(const TitleLamps&) = delete;
    TitleLamps& operator=(const TitleLamps&) = delete;

    // The caption step of a paint: shows, updates or hides the strip and the time.
    void DrawTitleLamps();

    // Takes the strip and the time off the caption they are on; the next paint that wants
    // them draws them anew.
    void HideCaptionStrip();

    // Reloads and recolours the strip's picture when RebuildTitleLamps is 1 (or the strip
    // asked for is not the one loaded) and sets the title lamp grid.
    void LoadTitleStrip(const TitleStrip& strip);

    // The strip as loaded and recoloured, with the lamps drawn last; null before the first.
    const QImage& Strip() const { return m_strip; }

private:
    // Where the pieces go for one target, in the target frame's coordinates.
    struct Placement
    {
        QRect overlay; // the whole overlay, clipped to the title bar
        QRect strip;   // the strip as stretched onto the caption; empty when not wanted
        QRect time;    // the room kept for the time, ending two pixels left of the strip
    };

    bool LampsWanted() const;
    bool TimeWanted() const;
    bool HasRoom(const CaptionTarget& target, int stripWidth) const;
    Placement Place(const CaptionTarget& target, int stripWidth, bool lampsWanted, bool timeWanted);
    void StartPicture(const CaptionTarget& target, const DesktopRect& place);
    void DrawStripLamps(const TitleStrip& strip);
    void DrawConnectTime(const QRect& area);
    void OnForegroundChanged();

    Settings& m_settings;
    LampSet& m_lamps;
    ForegroundWindow& m_foreground;
    CaptionOverlay& m_overlay;
    const ConnectTime& m_connectTime; // the session length, on the monotonic clock
    SystemMetrics m_metrics;

    QImage m_strip;             // the title strip picture loaded last, with its lamps
    int m_stripOrientation = 0; // which strip m_strip holds; 0 none
    LampGrid m_grid;

    QFont m_timeFont;
    int m_timeFontFor = -1; // the strip height m_timeFont was fitted to
    int m_timeWidth = 0;    // the room the widest time takes in m_timeFont

    QImage m_background;            // the title bar's own pixels under the overlay
    std::vector<QRgb> m_rowColours; // the title bar's colour in each row of the overlay
    QImage m_picture;               // what the overlay shows
    QImage m_shown;                 // what it was last handed
    QRgb m_timeColour = 0;
    DesktopRect m_place;
    WindowId m_frame = 0;
    bool m_saidUnavailable = false;
};

} // namespace sarvendo
