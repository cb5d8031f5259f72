// SPDX-License-Identifier: GPL-3.0-or-later
#include "RealSystemCalls.h"

// The kernel's termios2 and ioctl numbers; <termios.h> is deliberately not included, as
// its struct termios clashes with these definitions.
#include <algorithm>
#include <asm/termbits.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace sarvendo {
namespace {

// Opens path for reading when it is a regular file, and gives its status; -1 for anything
// else. O_NONBLOCK keeps a FIFO in its place from blocking the open.
int OpenRegularFile(const std::string& path, int extraFlags, struct stat& info)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | extraFlags);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int Result(int value)
{
    return value < 0 ? -errno : value;
}

// The first maxBytes of an open file; the descriptor is closed.
std::string ReadAndClose(int fd, std::size_t maxBytes)
{
    std::string content;
    char buffer[4096];
    while (content.size() < maxBytes) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, maxBytes - content.size()));
        if (n <= 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

} // namespace

int RealSystemCalls::OpenTty(const std::string& path)
{
    // O_NONBLOCK: an open must never wait for a carrier; O_NOCTTY: the modem never becomes
    // this program's controlling terminal.
    return Result(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
}

int RealSystemCalls::OpenTtyReadOnly(const std::string& path)
{
    return Result(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
}

int RealSystemCalls::CheckAccess(const std::string& path)
{
    return Result(::access(path.c_str(), R_OK | W_OK));
}

int RealSystemCalls::Close(int fd)
{
    return Result(::close(fd));
}

int RealSystemCalls::GetModemBits(int fd, int& bits)
{
    return Result(::ioctl(fd, TIOCMGET, &bits));
}

int RealSystemCalls::SetModemBits(int fd, int bits)
{
    return Result(::ioctl(fd, TIOCMBIS, &bits));
}

int RealSystemCalls::ClearModemBits(int fd, int bits)
{
    return Result(::ioctl(fd, TIOCMBIC, &bits));
}

int RealSystemCalls::GetCounters(int fd, SerialCounters& counters)
{
    serial_icounter_struct icount{};
    const int result = Result(::ioctl(fd, TIOCGICOUNT, &icount));
    if (result == 0) {
        counters.rx = static_cast<std::uint32_t>(icount.rx);
        counters.tx = static_cast<std::uint32_t>(icount.tx);
    }
    return result;
}

int RealSystemCalls::InputQueue(int fd, int& count)
{
    return Result(::ioctl(fd, FIONREAD, &count));
}

int RealSystemCalls::GetSettings(int fd, TtySettings& settings)
{
    termios2 t{};
    const int result = Result(::ioctl(fd, TCGETS2, &t));
    if (result == 0) {
        settings.iflag = t.c_iflag;
        settings.oflag = t.c_oflag;
        settings.cflag = t.c_cflag;
        settings.lflag = t.c_lflag;
        settings.line = t.c_line;
        std::copy_n(t.c_cc, std::min<std::size_t>(sizeof t.c_cc, settings.cc.size()), settings.cc.begin());
        settings.ispeed = t.c_ispeed;
        settings.ospeed = t.c_ospeed;
    }
    return result;
}

int RealSystemCalls::SetSettings(int fd, const TtySettings& settings)
{
    termios2 t{};
    t.c_iflag = settings.iflag;
    t.c_oflag = settings.oflag;
    t.c_cflag = settings.cflag;
    t.c_lflag = settings.lflag;
    t.c_line = settings.line;
    std::copy_n(settings.cc.begin(), std::min<std::size_t>(sizeof t.c_cc, settings.cc.size()), t.c_cc);
    t.c_ispeed = settings.ispeed;
    t.c_ospeed = settings.ospeed;
    return Result(::ioctl(fd, TCSETS2, &t));
}

long RealSystemCalls::Read(int fd, std::uint8_t* buffer, std::size_t size)
{
    const ssize_t n = ::read(fd, buffer, size);
    return n < 0 ? -errno : static_cast<long>(n);
}

long RealSystemCalls::Write(int fd, const char* data, std::size_t size)
{
    const ssize_t n = ::write(fd, data, size);
    return n < 0 ? -errno : static_cast<long>(n);
}

int RealSystemCalls::WaitReadable(int fd, int milliseconds)
{
    pollfd entry{fd, POLLIN, 0};
    return Result(::poll(&entry, 1, milliseconds));
}

int RealSystemCalls::WaitWritable(int fd, int milliseconds)
{
    pollfd entry{fd, POLLOUT, 0};
    return Result(::poll(&entry, 1, milliseconds));
}

int RealSystemCalls::PollHangUp(int fd)
{
    pollfd entry{fd, 0, 0};
    const int result = Result(::poll(&entry, 1, 0));
    if (result < 0) {
        return result;
    }
    return (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 ? 1 : 0;
}

int RealSystemCalls::GetLineDiscipline(int fd, int& discipline)
{
    return Result(::ioctl(fd, TIOCGETD, &discipline));
}

std::optional<DeviceNumber> RealSystemCalls::DeviceOf(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<DeviceNumber>(info.st_rdev);
}

bool RealSystemCalls::Exists(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0;
}

std::vector<std::string> RealSystemCalls::ListDirectory(const std::string& path)
{
    return ReadDirectory(path).value_or(std::vector<std::string>{});
}

std::optional<std::vector<std::string>> RealSystemCalls::ReadDirectory(const std::string& path)
{
    std::vector<std::string> names;
    DIR* directory = ::opendir(path.c_str());
    if (directory == nullptr) {
        return std::nullopt;
    }
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> RealSystemCalls::ReadLink(const std::string& path)
{
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) {
        return std::nullopt;
    }
    target.resize(static_cast<std::size_t>(n));
    return target;
}

std::optional<std::string> RealSystemCalls::ReadFile(const std::string& path, std::size_t maxBytes)
{
    // Looked at before it is opened: a lock file planted as a link to a tty must not get
    // that tty's DTR raised by the open.
    struct stat named
    {
    };
    if (::stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) {
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info
    {
    };
    // Only regular files and the kernel's pseudo-files: never a device, which could block
    // or disturb a line.
    if (::fstat(fd, &info) != 0 || S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    return ReadAndClose(fd, maxBytes);
}

std::optional<std::string> RealSystemCalls::ReadFileNoFollow(const std::string& path, std::size_t maxBytes)
{
    // O_NOFOLLOW refuses a link (ELOOP).
    struct stat info
    {
    };
    const int fd = OpenRegularFile(path, O_NOFOLLOW, info);
    if (fd < 0) {
        return std::nullopt;
    }
    return ReadAndClose(fd, maxBytes);
}

std::optional<FileStatus> RealSystemCalls::StatusOf(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    FileStatus status;
    status.kind = S_ISREG(info.st_mode)    ? FileKind::Regular
                  : S_ISDIR(info.st_mode)  ? FileKind::Directory
                  : S_ISCHR(info.st_mode)  ? FileKind::CharacterDevice
                  : S_ISFIFO(info.st_mode) ? FileKind::Fifo
                                           : FileKind::Other;
    status.device = static_cast<std::uint64_t>(info.st_dev);
    status.inode = static_cast<std::uint64_t>(info.st_ino);
    status.size = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    status.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return status;
}

std::optional<std::string> RealSystemCalls::ReadFileTail(const std::string& path, std::size_t maxBytes)
{
    struct stat info
    {
    };
    const int fd = OpenRegularFile(path, 0, info);
    if (fd < 0) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0));
    auto offset = static_cast<off_t>(size > maxBytes ? size - maxBytes : 0);
    std::string content;
    char buffer[4096];
    while (content.size() < maxBytes) {
        const ssize_t n = ::pread(fd, buffer, std::min(sizeof buffer, maxBytes - content.size()), offset);
        if (n <= 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
    ::close(fd);
    return content;
}

int RealSystemCalls::CreateExclusive(const std::string& path, const std::string& content)
{
    constexpr mode_t kLockMode = 0644; // others read the owner's process id from it
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kLockMode);
    if (fd < 0) {
        return -errno;
    }
    // Whatever the umask: other users' dialers must be able to read who holds the port.
    ::fchmod(fd, kLockMode);
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(path.c_str());
            return -error;
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        return -error;
    }
    return 0;
}

int RealSystemCalls::RemoveFile(const std::string& path)
{
    return Result(::unlink(path.c_str()));
}

int RealSystemCalls::LinkFile(const std::string& existing, const std::string& newPath)
{
    return Result(::link(existing.c_str(), newPath.c_str()));
}

int RealSystemCalls::RenameFile(const std::string& from, const std::string& to)
{
    return Result(::rename(from.c_str(), to.c_str()));
}

int RealSystemCalls::WatchOpens(const std::string& path)
{
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        return -errno;
    }
    if (::inotify_add_watch(fd, path.c_str(), IN_OPEN | IN_CLOSE | IN_ATTRIB | IN_DELETE_SELF) < 0) {
        const int error = errno;
        ::close(fd);
        return -error;
    }
    return fd;
}

int RealSystemCalls::TakeWatchEvents(int watch)
{
    int heard = 0;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(watch, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            return heard;
        }
        if (n <= 0) {
            return n < 0 ? -errno : -EIO;
        }
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            if ((event.mask & (IN_OPEN | IN_CLOSE)) != 0) {
                heard |= kWatchOpenedOrClosed;
            }
            if ((event.mask & (IN_ATTRIB | IN_DELETE_SELF | IN_IGNORED | IN_Q_OVERFLOW)) != 0) {
                heard |= kWatchGone | kWatchOpenedOrClosed;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
        }
    }
}

bool RealSystemCalls::ProcessAlive(std::int64_t pid)
{
    if (pid <= 0) {
        return false;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

std::int64_t RealSystemCalls::OwnProcessId()
{
    return ::getpid();
}

std::uint64_t RealSystemCalls::MonotonicMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000U + static_cast<std::uint64_t>(now.tv_nsec) / 1000000U;
}

} // namespace sarvendo
