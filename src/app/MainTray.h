// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/TrayPresenter.h"

#include <QObject>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace sarvendo {

class LineParameters;
class TPGTrayIcon95;
class TrayOwnerWindow;
struct MainWindowServices;
struct Settings;

// The main window's icon in the notification area: the component, the window operations
// it needs, the pictures and hint it shows, and whether a tray host is there to show it.
class MainTray : public QObject
{
    Q_OBJECT

public:
    // The icon opens the window's popup menu, which popupMenu gives (making it when first
    // asked); the record and the line outlive it.
    MainTray(QWidget& window, const MainWindowServices& services, LineParameters& line,
             std::function<QMenu*()> popupMenu);
    ~MainTray() override;

    TPGTrayIcon95& Icon() const { return *m_icon; }
    // Brings the icon's picture and hint up to date; a step of every paint.
    void Win95Tray() { m_presenter.Win95Tray(); }

    // Puts the icon in the notification area, or takes it out and gives the window back.
    void SetActive(bool active);
    // The window's own minimise and restore handlers stand in for the component's.
    void SetApplicationHooks(std::function<void()> minimize, std::function<void()> restore);
    // The settings side of the way back from the tray.
    void BackFromTray() { m_presenter.TrayIconDblClick(); }
    bool HostPresent() const;

signals:
    void DoubleClicked();
    // The tray host went away while the window was in the tray: it must come back.
    void HostLeftWhileInTray();

private:
    void SayWhenNoHost();

    Settings& m_settings;
    std::unique_ptr<TrayOwnerWindow> m_owner;
    TPGTrayIcon95* m_icon;
    TrayPresenter m_presenter;
    // That no tray host is running has been said; it is said once a run.
    bool m_saidNoHost = false;
};

} // namespace sarvendo
