// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>

#include <optional>

class QTimer;
class QWidget;

namespace sarvendo {

// Where the main window is: the panel held still on the screen while the window manager
// puts a frame on or takes it off, and the screen (and its scale) the window is shown on.
class WindowPlacement : public QObject
{
    Q_OBJECT

public:
    explicit WindowPlacement(QWidget& window);

    // Keeps the panel's top left corner at this point of the screen for a moment, as
    // often as the window manager reframes the window.
    void KeepPanelAt(QPoint panel);
    // The window moved: put the panel back while it is being kept in place.
    void WindowMoved();
    // The user moves the window: wherever it goes is where it belongs.
    void LetGo() { m_panelAnchor.reset(); }
    // The window is on the screen: from now on it follows the screen it is shown on.
    void WindowShown();

signals:
    // The window went to another screen, or its screen's scale changed.
    void ScreenChanged();

private:
    void FollowScreen();

    QWidget& m_window;
    std::optional<QPoint> m_panelAnchor;
    QTimer* m_panelAnchorTimer;
    QMetaObject::Connection m_screenDpiConnection;
    bool m_followsScreen = false;
};

} // namespace sarvendo
