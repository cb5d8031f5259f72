// SPDX-License-Identifier: GPL-3.0-or-later
#include "BusRaisedWindows.h"

#include "app/DialUpNotifyService.h"
#include "app/RaiseSocket.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace sarvendo {
namespace {

constexpr int kRaiseTimeoutMs = 2000;

bool AskTheRunningCopy()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kDialUpServiceName), QString::fromLatin1(kDialUpObjectPath),
                                       QString::fromLatin1(kDialUpInterface), QStringLiteral("Raise"));
    return bus.call(call, QDBus::Block, kRaiseTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

} // namespace

std::optional<WindowId> BusRaisedWindows::FindByTitle(const std::string& title)
{
    if (RaiseSocket::AskToShow(m_socketPath) || AskTheRunningCopy()) {
        return kShownOverTheBus;
    }
    return m_desktop.FindByTitle(title);
}

bool BusRaisedWindows::IsMinimised(WindowId window)
{
    return window != kShownOverTheBus && m_desktop.IsMinimised(window);
}

void BusRaisedWindows::Restore(WindowId window)
{
    if (window != kShownOverTheBus) {
        m_desktop.Restore(window);
    }
}

void BusRaisedWindows::BringToTop(WindowId window)
{
    if (window != kShownOverTheBus) {
        m_desktop.BringToTop(window);
    }
}

} // namespace sarvendo
