#include "DialUpNotifyService.h"

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

void DialUpNotifyService::Notify(const QString& text)
{
    // The bus carries the text whole; the receiver bounds it.
    emit Received(1, text.toStdString());
}

} // namespace sarvendo
