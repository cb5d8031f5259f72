// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtTrayOwnerWindow.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace sarvendo {

namespace {

// Marks a withdrawn window to be managed in the normal state when it is mapped again.
// The window was iconic when it went into the tray, and its WM_HINTS still say so: Qt
// maps the window before it rewrites them, so the window manager would manage it iconic
// again and the window would come back minimised.
void ClearIconicStartHint(QWidget& window)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || window.windowHandle() == nullptr) {
        return; // no X11 (Wayland): nothing remembers the iconic state
    }
    // The offscreen platform answers as X11 without a connection; a request on none
    // would never return.
    xcb_connection_t* connection = x11->connection();
    if (connection == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    constexpr std::size_t kHintWords = 9; // flags, input, initial_state, ... window_group
    constexpr std::uint32_t kStateHint = 1U << 1U;
    constexpr std::uint32_t kNormalState = 1;
    std::array<std::uint32_t, kHintWords> hints{};
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kHintWords);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        const int length = xcb_get_property_value_length(reply);
        if (reply->format == 32 && length > 0) {
            std::memcpy(hints.data(), xcb_get_property_value(reply),
                        std::min(static_cast<std::size_t>(length), sizeof(hints)));
        }
        std::free(reply); // NOLINT: xcb hands out malloc'ed replies
    }
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, kHintWords,
                        hints.data());
    xcb_flush(connection);
}

} // namespace

QtTrayOwnerWindow::QtTrayOwnerWindow(QWidget& window, QObject* parent) : QObject(parent), m_window(&window)
{
    m_wasMinimized = window.isMinimized();
    window.installEventFilter(this);
}

QtTrayOwnerWindow::~QtTrayOwnerWindow()
{
    if (m_window != nullptr) {
        m_window->removeEventFilter(this);
    }
    LockScreenUpdates(false);
}

void QtTrayOwnerWindow::SetApplicationHooks(Hook onMinimize, Hook onRestore)
{
    m_onMinimize = std::move(onMinimize);
    m_onRestore = std::move(onRestore);
}

bool QtTrayOwnerWindow::IsApplicationMinimized() const
{
    return m_window != nullptr && m_window->isMinimized();
}

void QtTrayOwnerWindow::RestoreApplication()
{
    if (m_window != nullptr) {
        if (!m_window->isVisible()) {
            ClearIconicStartHint(*m_window);
        }
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    }
}

bool QtTrayOwnerWindow::IsMainFormVisible() const
{
    return m_window != nullptr && m_window->isVisible();
}

void QtTrayOwnerWindow::ShowMainForm()
{
    if (m_window != nullptr) {
        if (!m_window->isVisible()) {
            ClearIconicStartHint(*m_window);
        }
        m_window->show();
    }
}

void QtTrayOwnerWindow::ShowApplicationWindow()
{
    if (m_window == nullptr) {
        return;
    }
    if (!m_window->isVisible()) {
        ClearIconicStartHint(*m_window);
    }
    if (m_window->isMinimized()) {
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    }
    m_window->show();
}

void QtTrayOwnerWindow::BringToForeground()
{
    if (m_window != nullptr && m_window->isVisible()) {
        m_window->raise();
        m_window->activateWindow();
    }
}

void QtTrayOwnerWindow::MinimizeApplication()
{
    if (m_window != nullptr && m_window->isVisible() && !m_window->isMinimized()) {
        m_window->showMinimized();
    }
}

void QtTrayOwnerWindow::HideApplicationWindow()
{
    if (m_window != nullptr) {
        m_window->hide();
    }
}

void QtTrayOwnerWindow::LockScreenUpdates(bool locked)
{
    if (locked) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows) {
            // A window that holds back its own repaints for its own reasons stays so.
            if (window->updatesEnabled()) {
                window->setUpdatesEnabled(false);
                m_lockedWindows.append(window);
            }
        }
        return;
    }
    for (const QPointer<QWidget>& window : std::as_const(m_lockedWindows)) {
        if (window != nullptr) {
            window->setUpdatesEnabled(true);
        }
    }
    m_lockedWindows.clear();
}

void QtTrayOwnerWindow::ProcessPendingEvents()
{
    QCoreApplication::processEvents();
}

bool QtTrayOwnerWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::WindowStateChange) {
        const bool minimized = m_window->isMinimized();
        const bool was = m_wasMinimized;
        m_wasMinimized = minimized;
        // A window in the tray has no taskbar entry, so nobody but the tray can restore it.
        // The window manager does report the withdrawn window as no longer minimised,
        // which must not bring it straight back.
        if (!m_window->isVisible()) {
            return QObject::eventFilter(watched, event);
        }
        // Copies, so that a hook that replaces the hooks does not destroy itself.
        if (minimized && !was && m_onMinimize) {
            const Hook hook = m_onMinimize;
            hook();
        } else if (!minimized && was && m_onRestore) {
            const Hook hook = m_onRestore;
            hook();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace sarvendo
