// sarvendo-notify TEXT...: hands a dial-up notification to the running Sarvendo over the
// session bus. Meant for pppd's ip-up and ip-down scripts, for example
//     sarvendo-notify "$PPPD_PID 1 $IFNAME"
// Several arguments are joined with blanks. Exits 0 when Sarvendo took the text, 1 when
// no Sarvendo is running or the bus cannot be reached, 2 on wrong use.
#include "app/DialUpNotifyService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("usage: sarvendo-notify TEXT...\n"
                   "Hands TEXT (a number, a blank, a number, a blank and more) to the running Sarvendo.\n",
                   stderr);
        return 2;
    }
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        words << QString::fromLocal8Bit(argv[i]);
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fputs("sarvendo-notify: no session bus\n", stderr);
        return 1;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(sarvendo::kDialUpServiceName), QString::fromLatin1(sarvendo::kDialUpObjectPath),
        QString::fromLatin1(sarvendo::kDialUpInterface), QStringLiteral("Notify"));
    call << words.join(QLatin1Char(' '));
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        std::fprintf(stderr, "sarvendo-notify: %s\n", reply.errorMessage().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
