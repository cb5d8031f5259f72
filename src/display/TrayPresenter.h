// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include <array>
#include <string>
#include <string_view>

namespace sarvendo {

class LineParameters;
class TPGTrayIcon95;
struct LampFlags;
struct Settings;

// What the program shows in the notification area: a small modem whose left lamp is the
// send lamp and whose right lamp is the receive lamp, in one colour scheme while a
// connection is up and another while not, with a hint of the byte counts, the line speed
// or parameters and the port. Win95Tray brings the tray icon up to date and belongs at
// the end of every paint of the lamps, so the icon changes exactly when they do.
// TrayIconDblClick is the way back from the tray to the window.
class TrayPresenter
{
public:
    // Loads the eight tray pictures once; the icon component, the record and the line
    // must outlive the presenter.
    TrayPresenter(Settings& settings, LineParameters& line, TPGTrayIcon95& trayIcon);

    // Nothing while no port is monitored; with "ShowTrayIcon" other than 1 the icon
    // leaves the notification area; otherwise it is shown with the current picture and
    // hint.
    void Win95Tray();

    // The settings part of bringing the window back from the tray: the layout counts as
    // shown again, the panel is rebuilt, and the window is restored to the foreground.
    // The caller enables its "Minimize" menu item before calling this.
    void TrayIconDblClick();

    // The picture for the carrier, receive and send lamps ("MODEM1" to "MODEM4_NC"), or
    // an empty name when a lamp holds neither 0 nor 1.
    static std::string_view TrayIconName(const LampFlags& lamps);

    // The hint: the byte counts while connected (else one blank), the speed text, the
    // line parameters or "Sarvendo 2.0", and " - COM" with the port digit for ports 1-4.
    static std::string TrayHint(const Settings& settings, LineParameters& line);

private:
    Settings& m_settings;
    LineParameters& m_line;
    TPGTrayIcon95& m_trayIcon;
    std::array<QImage, 8> m_pictures;
};

} // namespace sarvendo
