// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NotificationArea.h"

#include <QObject>
#include <QPoint>

namespace sarvendo {

class TPGTimerItem;
class TPGTrayIcon95;

// The receiving end of a TPGTrayIcon95, owned by it: it takes the notification area's
// mouse messages and the component's posted deferred calls, and turns the pointer into
// the component's events. Clicks fire on the button-down. While the component has a
// double-click handler a click waits ClickDelay milliseconds for a possible double
// click, which then fires alone; without one it fires at once, from the event loop. The
// right button with AutoPopup and a popup menu opens the menu instead of clicking.
// Entering the icon is the first move over it; leaving is seen by polling the cursor
// every 70 ms, as the tray host sends no message for it.
class TPGTrayIconMsgWindow : public QObject
{
    Q_OBJECT

public:
    // How long a click waits for its double click, in milliseconds.
    static constexpr int ClickDelay = 400;
    static constexpr int kExitPollInterval = 70;

    explicit TPGTrayIconMsgWindow(TPGTrayIcon95& owner);

    void HandleMouse(TrayMouseMessage message);

    // 0 left, 1 right, 2 middle: the button of the last button-down.
    int LastButton() const { return m_button; }
    // Whether the cursor is taken to be over the icon.
    bool Inside() const { return m_inside; }
    // The cursor position saved at the last move over the icon.
    QPoint SavedCursor() const { return m_cursor; }

    // Posts an event that runs the component's pending deferred call from the event loop.
    void PostDeferredEvent();

protected:
    bool event(QEvent* event) override;

private:
    void ButtonDown(int button);
    void ClickTimeout();
    void MouseEnter();
    void MouseExit();
    void ExitPoll();
    void PopupAtCursor();

    int m_button = 0;
    TPGTrayIcon95& m_owner;
    bool m_doubleClick = false;
    TPGTimerItem* m_clickDelay = nullptr; // owned by the component's timer manager
    TPGTimerItem* m_exitPoll = nullptr;   // likewise
    QPoint m_cursor;
    bool m_inside = false;
};

} // namespace sarvendo
