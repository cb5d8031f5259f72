// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainMenus.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace sarvendo {
namespace {

QAction* AddItem(QMenu& menu, const char* name, const char* caption)
{
    auto* action = menu.addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

} // namespace

MainMenus::MainMenus(QWidget& window) : QObject(&window), m_window(window)
{
    window.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&window, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { PopupMenu()->popup(m_window.mapToGlobal(position)); });
}

// The menus are made when first needed, mostly at the first right click: a menu costs a
// quarter of a megabyte of the toolkit's code kept resident, for a program that may run
// for weeks without one being opened. What was set before is applied to them here.
QMenu* MainMenus::PopupMenu()
{
    if (m_popupMenu == nullptr) {
        Build();
    }
    return m_popupMenu;
}

QAction* MainMenus::UpdateLampsNowItem()
{
    PopupMenu();
    return m_updateLampsNow;
}

void MainMenus::Build()
{
    QWidget& window = m_window;
    m_popupMenu = new QMenu(&window);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu"));
    QMenu& popup = *m_popupMenu;
    auto* setupAbout = AddItem(popup, "SetupAbout", "&Setup && About");
    popup.setDefaultAction(setupAbout);
    auto* toggleTitlebarOnOff = AddItem(popup, "ToggleTitlebarOnOff", "Toggle Titlebar &On/Off");
    m_resetSessionConnectTime = AddItem(popup, "ResetSessionConnectTime", "&Reset Session Connect Time");
    m_resetSessionConnectTime->setEnabled(false);
    auto* resetTotalConnectTime = AddItem(popup, "ResetTotalConnectTime", "Reset &Total Connect Time");
    m_hangupNow = AddItem(popup, "HangupNOW", "Hang-up NOW!");
    m_hangupNow->setEnabled(false);
    m_minimize = AddItem(popup, "Minimize", "Minimize");
    popup.addSeparator()->setObjectName(QStringLiteral("N1"));
    auto* helpItem = AddItem(popup, "HELP", "&Help");
    auto* exitSarvendo = AddItem(popup, "ExitSarvendo", "&Exit");

    // Window managers keep the window menu to themselves, so its items live in a "System"
    // submenu at the end of the popup menu; a submenu of their own keeps their accelerators
    // ("&S", "&H") from clashing with the popup menu's.
    m_systemMenu = popup.addMenu(QStringLiteral("S&ystem"));
    m_systemMenu->setObjectName(QStringLiteral("SystemMenu"));
    auto* systemSetup = AddItem(*m_systemMenu, "SystemSetupAbout", "&Setup && About...");
    systemSetup->setData(kSetupAbout);
    auto* systemHelp = AddItem(*m_systemMenu, "SystemHelp", "&HELP");
    systemHelp->setData(kHelp);
    // Our own addition beside the window menu's items: the connection history.
    auto* systemHistory = AddItem(*m_systemMenu, "SystemHistory", "H&istory...");

    connect(systemSetup, &QAction::triggered, this, [this] { emit SystemCommandChosen(kSetupAbout); });
    connect(systemHelp, &QAction::triggered, this, [this] { emit SystemCommandChosen(kHelp); });
    connect(systemHistory, &QAction::triggered, this, &MainMenus::HistoryChosen);
    connect(m_popupMenu, &QMenu::aboutToShow, this, &MainMenus::AboutToShow);
    connect(setupAbout, &QAction::triggered, this, &MainMenus::SetupAboutChosen);
    connect(toggleTitlebarOnOff, &QAction::triggered, this, &MainMenus::ToggleTitlebarChosen);
    connect(m_resetSessionConnectTime, &QAction::triggered, this, &MainMenus::ResetSessionConnectTimeChosen);
    connect(resetTotalConnectTime, &QAction::triggered, this, &MainMenus::ResetTotalConnectTimeChosen);
    connect(m_hangupNow, &QAction::triggered, this, &MainMenus::HangUpChosen);
    connect(m_minimize, &QAction::triggered, this, &MainMenus::MinimizeChosen);
    connect(helpItem, &QAction::triggered, this, &MainMenus::HelpChosen);
    connect(exitSarvendo, &QAction::triggered, this, &MainMenus::ExitChosen);

    m_minimize->setEnabled(m_minimizeEnabled);
    PlaceUpdateLampsNow();
}

void MainMenus::ShowConnected(bool connected)
{
    PopupMenu();
    m_hangupNow->setEnabled(connected);
    m_resetSessionConnectTime->setEnabled(connected);
}

void MainMenus::SetMinimizeEnabled(bool enabled)
{
    m_minimizeEnabled = enabled;
    if (m_minimize != nullptr) {
        m_minimize->setEnabled(enabled);
    }
}

void MainMenus::OfferUpdateLampsNow(bool offered)
{
    m_updateLampsNowOffered = offered;
    if (m_systemMenu != nullptr) {
        PlaceUpdateLampsNow();
    }
}

void MainMenus::PlaceUpdateLampsNow()
{
    const bool offered = m_updateLampsNowOffered;
    if (m_updateLampsNow != nullptr) {
        m_systemMenu->removeAction(m_updateLampsNow);
        m_updateLampsNow->deleteLater();
        m_updateLampsNow = nullptr;
    }
    if (offered) {
        m_updateLampsNow = m_systemMenu->addAction(QStringLiteral("Update Lamps &Now!"));
        m_updateLampsNow->setObjectName(QStringLiteral("UpdateLampsNow"));
        m_updateLampsNow->setData(kUpdateLampsNow);
        connect(m_updateLampsNow, &QAction::triggered, this, [this] { emit SystemCommandChosen(kUpdateLampsNow); });
    }
}

} // namespace sarvendo
