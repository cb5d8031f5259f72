#include "QtTrayOwnerWindow.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace sarvendo {

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
        m_window->show();
    }
}

void QtTrayOwnerWindow::ShowApplicationWindow()
{
    if (m_window == nullptr) {
        return;
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
