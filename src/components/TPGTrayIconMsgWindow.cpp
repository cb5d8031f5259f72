// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPGTrayIconMsgWindow.h"

#include "components/TPGTimerItem.h"
#include "components/TPGTimerManager.h"
#include "components/TPGTrayIcon95.h"
#include "platform/TrayOwnerWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>

#include <cstdlib>

namespace sarvendo {

namespace {

const QEvent::Type kDeferredCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// How far the cursor may stray from its last position on the icon and still count as on
// it: at most this many pixels sideways, fewer than this many up or down.
constexpr int kExitSlackX = 2;
constexpr int kExitSlackY = 3;

} // namespace

TPGTrayIconMsgWindow::TPGTrayIconMsgWindow(TPGTrayIcon95& owner) : QObject(&owner), m_owner(owner)
{
    TPGTimerManager& timers = owner.TimerManager();
    m_clickDelay = timers.AddTimer(false, ClickDelay, [this](TPGTimerItem&) { ClickTimeout(); });
    m_exitPoll = timers.AddTimer(false, kExitPollInterval, [this](TPGTimerItem&) { ExitPoll(); });
    // The session is ending or the program quits: the icon must not outlive it.
    if (QCoreApplication::instance() != nullptr) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { m_owner.RemoveIcon(); });
    }
}

void TPGTrayIconMsgWindow::HandleMouse(TrayMouseMessage message)
{
    switch (message) {
    case TrayMouseMessage::MouseMove: {
        m_cursor = m_owner.m_area.CursorPos();
        if (!m_owner.OnMouseEnter() && !m_owner.OnMouseExit()) {
            m_inside = true;
        } else if (!m_inside) {
            MouseEnter();
            return;
        }
        if (m_owner.OnMouseMove() && !m_clickDelay->Enabled() && m_inside) {
            const MouseMoveEvent handler = m_owner.OnMouseMove();
            handler(m_owner, m_owner.m_area.CurrentShiftState(), m_cursor.x(), m_cursor.y());
        }
        break;
    }
    case TrayMouseMessage::LeftButtonDown:
        ButtonDown(0);
        break;
    case TrayMouseMessage::RightButtonDown:
        ButtonDown(1);
        break;
    case TrayMouseMessage::MiddleButtonDown:
        ButtonDown(2);
        break;
    case TrayMouseMessage::LeftButtonDoubleClick:
    case TrayMouseMessage::RightButtonDoubleClick:
    case TrayMouseMessage::MiddleButtonDoubleClick:
        m_doubleClick = true;
        ClickTimeout();
        break;
    }
}

void TPGTrayIconMsgWindow::PostDeferredEvent()
{
    // Qt owns a posted event and deletes it once delivered or when this object goes.
    QCoreApplication::postEvent(this, new QEvent(kDeferredCallEvent));
}

bool TPGTrayIconMsgWindow::event(QEvent* event)
{
    if (event->type() == kDeferredCallEvent) {
        m_owner.RunDeferredCall();
        return true;
    }
    return QObject::event(event);
}

void TPGTrayIconMsgWindow::ButtonDown(int button)
{
    m_button = button;
    // Every press starts a new click; a double click seen earlier must not turn a later
    // single click into nothing when there is no double-click handler.
    m_doubleClick = false;
    if (button == 1 && m_owner.AutoPopup() && m_owner.PopupMenu() != nullptr) {
        PopupAtCursor();
    } else if (m_owner.OnDblClick()) {
        m_clickDelay->SetInterval(ClickDelay);
        m_clickDelay->SetEnabled(true);
    } else {
        m_owner.PostDeferred([this] { ClickTimeout(); });
    }
}

void TPGTrayIconMsgWindow::ClickTimeout()
{
    m_clickDelay->SetEnabled(false);
    const NotifyEvent handler = m_doubleClick ? m_owner.OnDblClick() : m_owner.OnClick();
    if (handler) {
        handler(m_owner);
    }
}

void TPGTrayIconMsgWindow::MouseEnter()
{
    m_inside = true;
    m_exitPoll->SetEnabled(true);
    if (const MouseMoveEvent handler = m_owner.OnMouseEnter()) {
        handler(m_owner, m_owner.m_area.CurrentShiftState(), m_cursor.x(), m_cursor.y());
    }
}

void TPGTrayIconMsgWindow::MouseExit()
{
    m_inside = false;
    if (const MouseMoveEvent handler = m_owner.OnMouseExit()) {
        handler(m_owner, m_owner.m_area.CurrentShiftState(), m_cursor.x(), m_cursor.y());
    }
    m_exitPoll->SetEnabled(false);
}

void TPGTrayIconMsgWindow::ExitPoll()
{
    try {
        const QPoint cursor = m_owner.m_area.CursorPos();
        if (std::abs(cursor.x() - m_cursor.x()) <= kExitSlackX && std::abs(cursor.y() - m_cursor.y()) < kExitSlackY) {
            return;
        }
        MouseExit();
    } catch (...) {
        // The poll runs from the timer, where a failure could only stop the program; the
        // next poll tries again.
    }
}

void TPGTrayIconMsgWindow::PopupAtCursor()
{
    // A Qt popup grabs the pointer and the keyboard itself, so it closes on a click
    // elsewhere without the application first being brought to the foreground (which
    // would raise a window the user did not ask for). Work still pending from the click
    // is done before the menu opens, as it might change the menu.
    m_owner.m_ownerWindow.ProcessPendingEvents();
    // The pending events may have destroyed the menu.
    QMenu* menu = m_owner.PopupMenu();
    if (menu != nullptr) {
        menu->popup(m_cursor);
    }
}

} // namespace sarvendo
