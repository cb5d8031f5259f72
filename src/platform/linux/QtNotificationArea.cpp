// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtNotificationArea.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QtGlobal>

#include <exception>

namespace sarvendo {

namespace {

// Often enough that the last reported position is fresh when the component's exit poll
// compares it with the cursor; rare enough to cost nothing noticeable.
constexpr int kHoverPollMs = 35;
constexpr int kEmptyIconSize = 16;
// A host that starts or ends is noticed within this; the look costs one round trip.
constexpr int kHostPollMs = 1000;

QIcon IconOf(const QImage& picture)
{
    if (picture.isNull()) {
        // QSystemTrayIcon refuses to show without an icon; an empty picture must still
        // hold the icon's place.
        QPixmap transparent(kEmptyIconSize, kEmptyIconSize);
        transparent.fill(Qt::transparent);
        return QIcon(transparent);
    }
    return QIcon(QPixmap::fromImage(picture));
}

} // namespace

QtNotificationArea::QtNotificationArea(QObject* parent) : QObject(parent)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, &QtNotificationArea::Activated);
    m_hoverPoll.setInterval(kHoverPollMs);
    connect(&m_hoverPoll, &QTimer::timeout, this, &QtNotificationArea::PollHover);
    m_hostPoll.setInterval(kHostPollMs);
    connect(&m_hostPoll, &QTimer::timeout, this, &QtNotificationArea::CheckHost);
}

QtNotificationArea::~QtNotificationArea()
{
    m_handler = nullptr;
    m_icon.hide();
}

void QtNotificationArea::SetMessageHandler(MessageHandler handler)
{
    m_handler = std::move(handler);
}

void QtNotificationArea::Add(const QImage& picture, const QString& toolTip)
{
    Apply(picture, toolTip);
    m_shown = true;
    m_icon.show();
    UpdateHoverPoll();
    m_hostPresent = HostPresent();
    m_hostPoll.start();
}

void QtNotificationArea::Modify(const QImage& picture, const QString& toolTip)
{
    if (m_shown) {
        Apply(picture, toolTip);
    }
}

void QtNotificationArea::Delete()
{
    m_shown = false;
    m_icon.hide();
    UpdateHoverPoll();
    m_hostPoll.stop();
}

QPoint QtNotificationArea::CursorPos() const
{
    return QCursor::pos();
}

QRect QtNotificationArea::IconGeometry() const
{
    return m_shown ? m_icon.geometry() : QRect();
}

ShiftState QtNotificationArea::CurrentShiftState() const
{
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    return ShiftState{keys.testFlag(Qt::ShiftModifier),   keys.testFlag(Qt::AltModifier),
                      keys.testFlag(Qt::ControlModifier), buttons.testFlag(Qt::LeftButton),
                      buttons.testFlag(Qt::RightButton),  buttons.testFlag(Qt::MiddleButton)};
}

void QtNotificationArea::SetHoverTracking(bool on)
{
    m_hoverTracking = on;
    UpdateHoverPoll();
}

bool QtNotificationArea::HostPresent() const
{
    // A StatusNotifierWatcher on the bus answers in one round trip; Qt's own look opens a
    // bus connection of its own each time, which only the other cases need.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface() != nullptr &&
        bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value()) {
        return true;
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtNotificationArea::SetHostHandler(std::function<void(bool present)> handler)
{
    m_hostHandler = std::move(handler);
}

void QtNotificationArea::CheckHost()
{
    const bool present = HostPresent();
    if (present == m_hostPresent) {
        return;
    }
    m_hostPresent = present;
    if (present && m_shown) {
        // A host that started after the icon was added learns of it only when it is shown.
        m_icon.hide();
        m_icon.show();
        UpdateHoverPoll();
    }
    if (m_hostHandler) {
        const std::function<void(bool)> handler = m_hostHandler;
        handler(present);
    }
}

void QtNotificationArea::Apply(const QImage& picture, const QString& toolTip)
{
    // The picture is handed over at every repaint of the program's lamps; only a change
    // is worth a round trip to the tray host.
    if (picture != m_picture || m_icon.icon().isNull()) {
        m_picture = picture;
        m_icon.setIcon(IconOf(picture));
    }
    if (toolTip != m_toolTip) {
        m_toolTip = toolTip;
        m_icon.setToolTip(toolTip);
    }
}

void QtNotificationArea::Activated(QSystemTrayIcon::ActivationReason reason)
{
    Report(TrayMouseMessage::MouseMove);
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        Report(TrayMouseMessage::LeftButtonDown);
        if (IconGeometry().isEmpty()) {
            // A StatusNotifierItem host: its primary activation stands for the double
            // click it never sends (see the class comment).
            QMetaObject::invokeMethod(
                this, [this] { Report(TrayMouseMessage::LeftButtonDoubleClick); }, Qt::QueuedConnection);
        }
        break;
    case QSystemTrayIcon::DoubleClick:
        Report(TrayMouseMessage::LeftButtonDoubleClick);
        break;
    case QSystemTrayIcon::Context:
        Report(TrayMouseMessage::RightButtonDown);
        break;
    case QSystemTrayIcon::MiddleClick:
        Report(TrayMouseMessage::MiddleButtonDown);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void QtNotificationArea::Report(TrayMouseMessage message)
{
    if (m_handler) {
        const MessageHandler handler = m_handler;
        try {
            handler(message);
        } catch (const std::exception& error) {
            // An exception must not unwind through Qt's event loop; the icon stays usable.
            qWarning("Tray icon message handler failed: %s", error.what());
        }
    }
}

void QtNotificationArea::PollHover()
{
    const QRect geometry = IconGeometry();
    if (geometry.isEmpty()) {
        // A host that does not say where the icon is (StatusNotifierItem, or none yet)
        // shows its own tip: there is nothing to track until a host embeds the icon.
        m_hoverPoll.stop();
        return;
    }
    const QPoint cursor = QCursor::pos();
    const bool inside = geometry.contains(cursor);
    if (inside && (!m_hoverInside || cursor != m_lastHover)) {
        m_lastHover = cursor;
        m_hoverInside = true;
        Report(TrayMouseMessage::MouseMove);
        return;
    }
    m_hoverInside = inside;
}

void QtNotificationArea::UpdateHoverPoll()
{
    if (m_shown && m_hoverTracking) {
        if (!m_hoverPoll.isActive()) {
            m_hoverInside = false;
            m_hoverPoll.start();
        }
    } else {
        m_hoverPoll.stop();
    }
}

} // namespace sarvendo
