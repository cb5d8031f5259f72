// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NotificationArea.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

namespace sarvendo {

// The notification area through QSystemTrayIcon: an XEmbed icon where no
// StatusNotifierWatcher runs, a StatusNotifierItem where one does. Activations become
// mouse messages (Trigger a left button-down, DoubleClick a left double click, Context a
// right button-down, MiddleClick a middle button-down), each after a MouseMove at the
// cursor. Only an XEmbed icon has a geometry; while the receiver asks for hover
// tracking, the cursor is watched over that rectangle and its moves are reported. Where
// the host reports no geometry, hover tracking is off and the tip comes from the host.
//
// While the icon is added, the host's presence is looked at every second
// (QSystemTrayIcon::isSystemTrayAvailable, either kind of host): the host handler hears of
// each change, and an icon whose host came back is shown to it anew.
//
// A StatusNotifierItem host sends no double clicks, and its primary activation is by the
// desktop's convention the gesture that opens the program's window. There, a left click
// is therefore reported as a button-down followed by a double click. The double click is
// queued behind the button-down's own posted work, so a receiver that waits for double
// clicks sees one at once and a receiver that only handles clicks sees its click first.
class QtNotificationArea final : public QObject, public NotificationArea
{
    Q_OBJECT

public:
    explicit QtNotificationArea(QObject* parent = nullptr);
    ~QtNotificationArea() override;

    void SetMessageHandler(MessageHandler handler) override;
    void Add(const QImage& picture, const QString& toolTip) override;
    void Modify(const QImage& picture, const QString& toolTip) override;
    void Delete() override;
    QPoint CursorPos() const override;
    QRect IconGeometry() const override;
    ShiftState CurrentShiftState() const override;
    void SetHoverTracking(bool on) override;
    bool HostPresent() const override;
    void SetHostHandler(std::function<void(bool present)> handler) override;

private:
    void Apply(const QImage& picture, const QString& toolTip);
    void Activated(QSystemTrayIcon::ActivationReason reason);
    void Report(TrayMouseMessage message);
    void PollHover();
    void UpdateHoverPoll();
    void CheckHost();

    QSystemTrayIcon m_icon{this}; // a child, so that tests can find it and play the tray host
    QTimer m_hoverPoll;
    QTimer m_hostPoll;
    MessageHandler m_handler;
    std::function<void(bool)> m_hostHandler;
    bool m_hostPresent = false;
    QImage m_picture;
    QString m_toolTip;
    bool m_shown = false;
    bool m_hoverTracking = false;
    bool m_hoverInside = false;
    QPoint m_lastHover;
};

} // namespace sarvendo
