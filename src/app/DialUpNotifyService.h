// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace sarvendo {

// Where the dial-up notification is received: the method Notify of the interface
// kDialUpInterface on the object kDialUpObjectPath of the session-bus service
// kDialUpServiceName. sarvendo-notify calls it from pppd's ip-up and ip-down scripts.
inline constexpr const char* kDialUpServiceName = "org.sarvendo.Sarvendo";
inline constexpr const char* kDialUpObjectPath = "/Sarvendo";
inline constexpr const char* kDialUpInterface = "org.sarvendo.Sarvendo.DialUp";

class DialUpNotifyService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.sarvendo.Sarvendo.DialUp")

public:
    explicit DialUpNotifyService(QObject* parent = nullptr);

    // Registers the object and the service name on the session bus; false when there is
    // no session bus or another program owns the name.
    bool Register();

public slots:
    Q_SCRIPTABLE void Notify(const QString& text);
    // A second copy asks the running one to show itself: on any desktop, and also when
    // the window is hidden in the tray, where no window manager could find it.
    Q_SCRIPTABLE void Raise();

signals:
    void Received(unsigned tag, const std::string& text);
    void RaiseRequested();
};

} // namespace sarvendo
