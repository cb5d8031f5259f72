// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace sarvendo {

// The popup menu of the window and the tray icon, with its "System" submenu. Choosing an
// item only says which; the window acts on it.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    // Commands of the "System" submenu.
    static constexpr int kUpdateLampsNow = 300;
    static constexpr int kSetupAbout = 301;
    static constexpr int kHelp = 302;

    // The menus belong to the window, which opens the popup menu on a right click.
    explicit MainMenus(QWidget& window);

    // The popup menu, made at the first call.
    QMenu* PopupMenu();
    // The "Update Lamps &Now!" item while it is in the menu, else null.
    QAction* UpdateLampsNowItem();

    // Hanging up and resetting the session time only mean something while connected.
    void ShowConnected(bool connected);
    void SetMinimizeEnabled(bool enabled);
    // "Update Lamps &Now!" is offered exactly while the lamps are not polled; it is made
    // anew each time so that it always comes last.
    void OfferUpdateLampsNow(bool offered);

signals:
    void AboutToShow();
    void SetupAboutChosen();
    void ToggleTitlebarChosen();
    void ResetSessionConnectTimeChosen();
    void ResetTotalConnectTimeChosen();
    void HangUpChosen();
    void MinimizeChosen();
    void HelpChosen();
    void ExitChosen();
    void HistoryChosen();
    // An item of the "System" submenu that stands for a window-menu command.
    void SystemCommandChosen(int command);

private:
    void Build();
    void PlaceUpdateLampsNow();

    QWidget& m_window;
    bool m_minimizeEnabled = true;
    bool m_updateLampsNowOffered = false;
    QMenu* m_popupMenu = nullptr;
    QMenu* m_systemMenu = nullptr;
    QAction* m_resetSessionConnectTime = nullptr;
    QAction* m_hangupNow = nullptr;
    QAction* m_minimize = nullptr;
    QAction* m_updateLampsNow = nullptr;
};

} // namespace sarvendo
