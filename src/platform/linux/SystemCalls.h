// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sarvendo {

// A tty's settings in the kernel's termios2 layout, which carries the speed as a number
// so that rates without a B-constant (28800, 56000) work.
struct TtySettings
{
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::uint8_t line = 0;
    std::array<std::uint8_t, 19> cc{};
    std::uint32_t ispeed = 0;
    std::uint32_t ospeed = 0;
};

// The byte counters a serial driver keeps (TIOCGICOUNT); tx and rx count both ways.
struct SerialCounters
{
    std::uint32_t rx = 0;
    std::uint32_t tx = 0;
};

// A device number (st_rdev), which identifies a tty whatever name it was opened by.
using DeviceNumber = std::uint64_t;

// What stat() tells of a path, following links.
enum class FileKind
{
    Regular,
    Directory,
    CharacterDevice,
    Fifo,
    Other,
};

struct FileStatus
{
    FileKind kind = FileKind::Other;
    std::uint64_t device = 0; // st_dev: with the inode, which file this is whatever its name
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0; // st_mtim in nanoseconds
};

// The thin seam over the system calls the line side makes on Linux. Every call returns
// 0 or a descriptor on success and minus errno on failure, so the code above it is
// tested with a fake that plays any kernel's answers (a pty's ENOTTY, a locked tty's
// EBUSY, a driver without counters).
class SystemCalls
{
public:
    virtual ~SystemCalls() = default;

    // open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC).
    virtual int OpenTty(const std::string& path) = 0;
    // open(path, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC), for looking only.
    virtual int OpenTtyReadOnly(const std::string& path) = 0;
    // access(path, R_OK | W_OK): whether this user may open the device at all.
    virtual int CheckAccess(const std::string& path) = 0;
    virtual int Close(int fd) = 0;
    virtual int GetModemBits(int fd, int& bits) = 0;                  // TIOCMGET
    virtual int SetModemBits(int fd, int bits) = 0;                   // TIOCMBIS
    virtual int ClearModemBits(int fd, int bits) = 0;                 // TIOCMBIC
    virtual int GetCounters(int fd, SerialCounters& counters) = 0;    // TIOCGICOUNT
    virtual int InputQueue(int fd, int& count) = 0;                   // FIONREAD
    virtual int GetSettings(int fd, TtySettings& settings) = 0;       // TCGETS2
    virtual int SetSettings(int fd, const TtySettings& settings) = 0; // TCSETS2
    virtual long Read(int fd, std::uint8_t* buffer, std::size_t size) = 0;
    virtual long Write(int fd, const char* data, std::size_t size) = 0;
    virtual int WaitReadable(int fd, int milliseconds) = 0;     // poll; 1 readable, 0 time-out
    virtual int WaitWritable(int fd, int milliseconds) = 0;     // poll; 1 writable, 0 time-out
    virtual int PollHangUp(int fd) = 0;                         // poll at once; 1 on POLLHUP or POLLERR
    virtual int GetLineDiscipline(int fd, int& discipline) = 0; // TIOCGETD

    // Files and the process table.
    virtual std::optional<DeviceNumber> DeviceOf(const std::string& path) = 0; // stat().st_rdev of a device
    virtual bool Exists(const std::string& path) = 0;
    virtual std::vector<std::string> ListDirectory(const std::string& path) = 0;
    // The names in a directory, or nullopt when it cannot be read (another user's
    // /proc/PID/fd), which an empty directory is not.
    virtual std::optional<std::vector<std::string>> ReadDirectory(const std::string& path) = 0;
    virtual std::optional<std::string> ReadLink(const std::string& path) = 0;
    // The first maxBytes of a regular file (a link is followed); nullopt for anything else,
    // which is never opened.
    virtual std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) = 0;
    // ReadFile for a file that must not be a link (O_NOFOLLOW): a lock file planted as a
    // link to another file is not read through it.
    virtual std::optional<std::string> ReadFileNoFollow(const std::string& path, std::size_t maxBytes) = 0;
    virtual std::optional<FileStatus> StatusOf(const std::string& path) = 0; // stat()
    // The last maxBytes of a regular file, read from the end; nullopt for anything else.
    virtual std::optional<std::string> ReadFileTail(const std::string& path, std::size_t maxBytes) = 0;
    // open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0644) with the content written
    // whole, as a lock file is made; -EEXIST when the file is there already. A file that
    // could not be written whole is removed again.
    virtual int CreateExclusive(const std::string& path, const std::string& content) = 0;
    virtual int RemoveFile(const std::string& path) = 0; // unlink()
    // link(): a second name for a file, -EEXIST when the new name is taken already; it
    // never replaces anything.
    virtual int LinkFile(const std::string& existing, const std::string& newPath) = 0;
    // rename(): the name moves at once, whatever another program does at the same moment.
    virtual int RenameFile(const std::string& from, const std::string& to) = 0;

    // inotify: a descriptor that hears every open and close of the file at path by any
    // process, or -errno (ENOSPC or EMFILE at the user's inotify limits). Closed with Close.
    virtual int WatchOpens(const std::string& path) = 0;
    // What the watch heard since the last call, without waiting: a mix of
    // kWatchOpenedOrClosed and kWatchGone, 0 for nothing, -errno when it cannot tell.
    virtual int TakeWatchEvents(int watch) = 0;

    virtual bool ProcessAlive(std::int64_t pid) = 0; // kill(pid, 0) is not ESRCH
    virtual std::int64_t OwnProcessId() = 0;
    virtual std::uint64_t MonotonicMs() = 0;
};

// What TakeWatchEvents heard.
inline constexpr int kWatchOpenedOrClosed = 0x1;
inline constexpr int kWatchGone = 0x2; // the file lost a name or went; the watch must be made again

// The line discipline of a tty on which pppd runs the link (N_PPP).
inline constexpr int kPppDiscipline = 3;

// The modem-line bits of TIOCMGET.
inline constexpr int kTiocmDtr = 0x002;
inline constexpr int kTiocmRts = 0x004;
inline constexpr int kTiocmCts = 0x020;
inline constexpr int kTiocmCar = 0x040;
inline constexpr int kTiocmRng = 0x080;
inline constexpr int kTiocmDsr = 0x100;
inline constexpr int kTiocmOut1 = 0x2000;
inline constexpr int kTiocmOut2 = 0x4000;
inline constexpr int kTiocmLoop = 0x8000;

// The termios flag bits used here (asm-generic/termbits.h).
inline constexpr std::uint32_t kCbaud = 0010017;
inline constexpr std::uint32_t kBother = 0010000;
inline constexpr std::uint32_t kCsize = 0000060;
inline constexpr std::uint32_t kCs5 = 0000000;
inline constexpr std::uint32_t kCs6 = 0000020;
inline constexpr std::uint32_t kCs7 = 0000040;
inline constexpr std::uint32_t kCs8 = 0000060;
inline constexpr std::uint32_t kCstopb = 0000100;
inline constexpr std::uint32_t kCread = 0000200;
inline constexpr std::uint32_t kParenb = 0000400;
inline constexpr std::uint32_t kParodd = 0001000;
inline constexpr std::uint32_t kHupcl = 0002000;
inline constexpr std::uint32_t kClocal = 0004000;
inline constexpr std::uint32_t kCmspar = 010000000000;
inline constexpr std::uint32_t kCrtscts = 020000000000;
inline constexpr std::uint32_t kIxon = 0002000;
inline constexpr std::uint32_t kIxoff = 0010000;

} // namespace sarvendo
