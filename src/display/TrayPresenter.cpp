// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayPresenter.h"

#include "core/Settings.h"

#include "components/TPGTrayIcon95.h"
#include "display/LineParameters.h"
#include "resources/Resources.h"

#include <QString>

#include <cstdlib>

namespace sarvendo {

namespace {

// Carrier first, then by the receive and send lamps: index = (carrier ? 0 : 4) + RD + 2 TD.
constexpr std::array<std::string_view, 8> kTrayIconNames{"MODEM1",    "MODEM2",    "MODEM3",    "MODEM4",
                                                         "MODEM1_NC", "MODEM2_NC", "MODEM3_NC", "MODEM4_NC"};
constexpr std::string_view kProgramText = "Sarvendo 2.0";

// The position of the picture in kTrayIconNames, or -1 when a lamp holds a value that
// names no picture.
int TrayIconIndex(const LampFlags& lamps)
{
    if (lamps.LampRD > 1 || lamps.LampTD > 1) {
        return -1;
    }
    return (lamps.LampCD == 1 ? 0 : 4) + lamps.LampRD + 2 * lamps.LampTD;
}

} // namespace

TrayPresenter::TrayPresenter(Settings& settings, LineParameters& line, TPGTrayIcon95& trayIcon)
    : m_settings(settings), m_line(line), m_trayIcon(trayIcon)
{
    for (std::size_t index = 0; index < kTrayIconNames.size(); ++index) {
        // A missing picture leaves an empty icon, never a failed start.
        m_pictures[index] = LoadResourceImage(kTrayIconNames[index]).value_or(QImage());
    }
}

void TrayPresenter::Win95Tray()
{
    if (m_settings.DefaultPort == 0) {
        return;
    }
    if (m_settings.ShowTrayIcon != 1) {
        m_trayIcon.SetActive(false);
        return;
    }
    m_trayIcon.SetActive(true);
    m_trayIcon.SetHint(QString::fromStdString(TrayHint(m_settings, m_line)));
    if (const int index = TrayIconIndex(m_settings); index >= 0) {
        m_trayIcon.SetIcon(m_pictures[static_cast<std::size_t>(index)]);
    }
}

void TrayPresenter::TrayIconDblClick()
{
    m_settings.NewOrientation = std::abs(m_settings.NewOrientation);
    m_settings.RebuildWindowLamps = 1;
    m_trayIcon.RestoreFromTray();
}

std::string_view TrayPresenter::TrayIconName(const LampFlags& lamps)
{
    const int index = TrayIconIndex(lamps);
    return index < 0 ? std::string_view() : kTrayIconNames[static_cast<std::size_t>(index)];
}

std::string TrayPresenter::TrayHint(const Settings& settings, LineParameters& line)
{
    std::string hint;
    if (settings.LampCD == 1) {
        hint = std::to_string(settings.RDCounter) + " bytes received " + std::to_string(settings.TDCounter) +
               " bytes sent ";
    } else {
        hint = " ";
    }

    std::string lineText = settings.SpeedText;
    if (lineText.empty()) {
        line.FormatCommParameters(lineText);
    }
    hint += lineText.empty() ? std::string(kProgramText) : lineText;

    hint += " - COM";
    if (settings.DefaultPort >= 1 && settings.DefaultPort <= 4) {
        hint += static_cast<char>('0' + settings.DefaultPort);
    }
    return hint;
}

} // namespace sarvendo
