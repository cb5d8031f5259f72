// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TrayOwnerWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace sarvendo {

// The program's main window as the tray component's owner. Hiding to the tray minimises
// the window and then withdraws it (hide()), which takes it off every taskbar and pager
// whatever the window manager; restoring maps it again in its normal state and asks the
// window manager to activate it. The minimise and restore hooks follow the window's own
// state changes, whoever caused them.
//
// X11 has no way to hold back the drawing of the whole desktop, and holding back other
// programs' windows would not be ours to do. The screen-update lock therefore holds back
// the repaints of this application's own top-level windows, so a window that is being
// restored is drawn once, in its final state.
class QtTrayOwnerWindow final : public QObject, public TrayOwnerWindow
{
    Q_OBJECT

public:
    explicit QtTrayOwnerWindow(QWidget& window, QObject* parent = nullptr);
    ~QtTrayOwnerWindow() override;

    void SetApplicationHooks(Hook onMinimize, Hook onRestore) override;
    bool IsApplicationMinimized() const override;
    void RestoreApplication() override;
    bool IsMainFormVisible() const override;
    void ShowMainForm() override;
    void ShowApplicationWindow() override;
    void BringToForeground() override;
    void MinimizeApplication() override;
    void HideApplicationWindow() override;
    void LockScreenUpdates(bool locked) override;
    void ProcessPendingEvents() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    Hook m_onMinimize;
    Hook m_onRestore;
    bool m_wasMinimized = false;
    QList<QPointer<QWidget>> m_lockedWindows;
};

} // namespace sarvendo
