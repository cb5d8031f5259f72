// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainTray.h"

#include "core/Settings.h"

#include "app/MainWindowServices.h"
#include "app/StandardStreams.h"
#include "components/TPGTrayIcon95.h"
#include "platform/TrayOwnerWindow.h"

#include <QWidget>

namespace sarvendo {
namespace {

TPGTrayIcon95* MakeTrayIcon(QObject& owner, const MainWindowServices& services, TrayOwnerWindow& window,
                            std::function<QMenu*()> popupMenu)
{
    auto* icon = new TPGTrayIcon95(
        &owner, TrayIconPlatform{services.notificationArea, services.trayTimer, services.clock, window});
    icon->setObjectName(QStringLiteral("PGTrayIcon"));
    icon->SetPopupMenuSource(std::move(popupMenu));
    icon->SetAutoPopup(true);
    icon->SetOptions(TPGTrayIconOptions(toUnclutterTaskBar));
    return icon;
}

} // namespace

MainTray::MainTray(QWidget& window, const MainWindowServices& services, LineParameters& line,
                   std::function<QMenu*()> popupMenu)
    : QObject(&window), m_settings(services.settings), m_owner(services.makeTrayOwnerWindow(window)),
      m_icon(MakeTrayIcon(window, services, *m_owner, std::move(popupMenu))),
      m_presenter(services.settings, line, *m_icon)
{
    m_icon->SetOnDblClick([this](QObject& /*sender*/) { emit DoubleClicked(); });
    m_icon->SetOnHostChanged([this](QObject& /*sender*/) {
        // The component brings a window in the tray back when the host goes; the layout
        // then counts as shown again.
        if (!m_icon->HostPresent() && m_icon->InTray()) {
            emit HostLeftWhileInTray();
        }
    });
}

MainTray::~MainTray()
{
    // The icon goes while the window operations it uses are still there.
    delete m_icon;
}

void MainTray::SetActive(bool active)
{
    if (active) {
        m_icon->SetActive(true);
        SayWhenNoHost();
    } else {
        m_icon->SetActive(false);
        m_icon->RestoreFromTray();
    }
}

void MainTray::SetApplicationHooks(std::function<void()> minimize, std::function<void()> restore)
{
    m_owner->SetApplicationHooks(std::move(minimize), std::move(restore));
}

bool MainTray::HostPresent() const
{
    return m_icon->HostPresent();
}

void MainTray::SayWhenNoHost()
{
    if (m_saidNoHost || m_icon->HostPresent()) {
        return;
    }
    m_saidNoHost = true;
    TellStandardError("no tray host is running: the icon appears when one starts, and until then "
                      "\"Minimize\" leaves the window minimised on the taskbar");
}

} // namespace sarvendo
