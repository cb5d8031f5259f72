// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialUpNotifyService.h"

#include "app/DialUpNotification.h"

#include <QDBusConnection>

#include <string>

namespace sarvendo {

DialUpNotifyService::DialUpNotifyService(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DialUpNotifyService"));
}

bool DialUpNotifyService::Register()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    if (!bus.registerObject(QString::fromLatin1(kDialUpObjectPath), this, QDBusConnection::ExportScriptableSlots)) {
        return false;
    }
    return bus.registerService(QString::fromLatin1(kDialUpServiceName));
}

void DialUpNotifyService::Raise()
{
    emit RaiseRequested();
}

void DialUpNotifyService::Notify(const QString& text)
{
    // The bus carries the text whole, however long; only what can be kept is converted.
    // Each character gives at least one byte, so the first characters up to one past the
    // limit hold everything kept, and a character broken at that end is cut away again.
    emit Received(1, CutNotificationText(text.left(kNotificationTextLimit + 1).toStdString()));
}

} // namespace sarvendo
