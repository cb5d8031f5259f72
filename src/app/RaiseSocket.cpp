// SPDX-License-Identifier: GPL-3.0-or-later
#include "RaiseSocket.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace sarvendo {
namespace {

// The running copy answers at once from its event loop; one that is stuck in a box
// answers when the box closes, which a second start does not wait for.
constexpr int kAnswerTimeoutMs = 2000;
constexpr char kShown = '1';

bool AddressOf(const std::string& path, sockaddr_un& address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Closes a descriptor when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

RaiseSocket::RaiseSocket(std::string path, QObject* parent) : QObject(parent), m_path(std::move(path)) {}

RaiseSocket::~RaiseSocket()
{
    m_notifier.reset();
    if (m_listening >= 0) {
        close(m_listening);
        unlink(m_path.c_str());
    }
}

bool RaiseSocket::Listen()
{
    sockaddr_un address{};
    if (m_listening >= 0 || !AddressOf(m_path, address)) {
        return m_listening >= 0;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    // Only the holder of the lock listens, so a socket already there is an ended copy's.
    unlink(m_path.c_str());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) {
        close(fd);
        return false;
    }
    m_listening = fd;
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &RaiseSocket::Accept);
    return true;
}

void RaiseSocket::Accept()
{
    for (;;) {
        const Descriptor caller(accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (caller.Get() < 0) {
            return;
        }
        // The answer says the window is being shown; a caller that has gone loses nothing.
        [[maybe_unused]] const ssize_t sent = send(caller.Get(), &kShown, 1, MSG_NOSIGNAL);
        emit ShowRequested();
    }
}

bool RaiseSocket::AskToShow(const std::string& path)
{
    sockaddr_un address{};
    if (!AddressOf(path, address)) {
        return false;
    }
    const Descriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.Get() < 0 || ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return false;
    }
    pollfd waiting{fd.Get(), POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&waiting, 1, kAnswerTimeoutMs);
    } while (ready < 0 && errno == EINTR);
    char answer = 0;
    return ready > 0 && recv(fd.Get(), &answer, 1, 0) == 1 && answer == kShown;
}

} // namespace sarvendo
