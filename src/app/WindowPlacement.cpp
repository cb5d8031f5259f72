// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace sarvendo {
namespace {

// How long after a caption toggle the panel is held in place while the window manager
// puts its frame on or takes it off.
constexpr int kPanelAnchorMs = 1500;

} // namespace

WindowPlacement::WindowPlacement(QWidget& window)
    : QObject(&window), m_window(window), m_panelAnchorTimer(new QTimer(this))
{
    m_panelAnchorTimer->setSingleShot(true);
    m_panelAnchorTimer->setInterval(kPanelAnchorMs);
    connect(m_panelAnchorTimer, &QTimer::timeout, this, [this] { m_panelAnchor.reset(); });
}

void WindowPlacement::KeepPanelAt(QPoint panel)
{
    m_panelAnchor = panel;
    m_panelAnchorTimer->start();
    WindowMoved();
}

void WindowPlacement::WindowMoved()
{
    // The frame's new extents are only known once the window manager has reframed the
    // window: the window is moved by what it measured then, as often as it reframes.
    if (m_panelAnchor && m_window.geometry().topLeft() != *m_panelAnchor) {
        const QPoint frameOffset = m_window.geometry().topLeft() - m_window.pos();
        m_window.move(*m_panelAnchor - frameOffset);
    }
}

void WindowPlacement::WindowShown()
{
    QWindow* handle = m_window.windowHandle();
    if (m_followsScreen || handle == nullptr) {
        return;
    }
    m_followsScreen = true;
    connect(handle, &QWindow::screenChanged, this, [this] {
        FollowScreen();
        emit ScreenChanged();
    });
    FollowScreen();
}

void WindowPlacement::FollowScreen()
{
    disconnect(m_screenDpiConnection);
    QWindow* handle = m_window.windowHandle();
    if (QScreen* shownOn = handle != nullptr ? handle->screen() : nullptr) {
        m_screenDpiConnection =
            connect(shownOn, &QScreen::logicalDotsPerInchChanged, this, &WindowPlacement::ScreenChanged);
    }
}

} // namespace sarvendo
