// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sarvendo {
namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The socket pair shared with the handler: [0] is written by the handler, [1] read here.
std::array<int, 2> g_socketPair{-1, -1}; // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)

extern "C" void OnTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // A full socket means a notice is already pending; the lost byte does not matter.
    (void)!write(g_socketPair[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (g_socketPair[0] >= 0) {
        return;
    }
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_socketPair.data()) != 0) {
        g_socketPair = {-1, -1};
        return;
    }
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals) {
        sigaction(signalNumber, &action, nullptr);
    }
    m_notifier = new QSocketNotifier(g_socketPair[1], QSocketNotifier::Read, this);
    m_notifier->setEnabled(false);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::ReadPending);
}

void TerminationSignals::Listen()
{
    if (m_notifier != nullptr) {
        m_notifier->setEnabled(true);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (m_notifier == nullptr) {
        return;
    }
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals) {
        sigaction(signalNumber, &action, nullptr);
    }
    close(g_socketPair[0]);
    close(g_socketPair[1]);
    g_socketPair = {-1, -1};
}

void TerminationSignals::ReadPending()
{
    unsigned char byte = 0;
    while (read(g_socketPair[1], &byte, 1) == 1) {
        emit Received(byte);
    }
}

} // namespace sarvendo
