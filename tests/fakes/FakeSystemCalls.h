// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace sarvendo::fakes {

// A small kernel for the Linux line code: ttys with their modem bits, counters and
// settings, files, directories, links and device numbers, live processes and a clock.
// Each tty answers the way the test says a driver does (a pty's ENOTTY for TIOCMGET, a
// USB driver without counters, pppd's EBUSY). Every descriptor is tracked, so a test can
// check how often a tty was opened and that nothing leaks.
class FakeSystemCalls final : public SystemCalls
{
public:
    struct Tty
    {
        int openError = 0;      // -errno for OpenTty, 0 opens
        int accessError = 0;    // -errno for CheckAccess: -EACCES outside the dialout group
        int modemBitsError = 0; // -ENOTTY: a pty
        int countersError = 0;  // -EINVAL: a driver without counters
        int settingsError = 0;  // -ENOTTY: not a tty at all
        int discipline = 0;     // TIOCGETD: N_TTY, or kPppDiscipline while pppd runs the link
        int bits = 0;
        SerialCounters counters;
        TtySettings settings;
        std::string input;
        std::string written;
        int opens = 0;
        int closes = 0;
        int lastCloses = 0; // closes that left no descriptor open: the kernel drops DTR (HUPCL)
        std::vector<std::pair<char, int>> lineChanges; // ('+', bits) set, ('-', bits) cleared
    };

    int OpenTty(const std::string& path) override
    {
        const auto found = ttys.find(path);
        if (found == ttys.end()) {
            return -ENOENT;
        }
        if (found->second.openError != 0) {
            return found->second.openError;
        }
        ++found->second.opens;
        const int fd = nextFd++;
        openFds[fd] = path;
        Heard(path, kWatchOpenedOrClosed);
        return fd;
    }
    int OpenTtyReadOnly(const std::string& path) override
    {
        const int fd = OpenTty(path);
        if (fd >= 0) {
            readOnlyFds.insert(fd);
        }
        return fd;
    }
    int CheckAccess(const std::string& path) override
    {
        const auto found = ttys.find(path);
        return found == ttys.end() ? -ENOENT : found->second.accessError;
    }
    int Close(int fd) override
    {
        if (watches.erase(fd) != 0) {
            return 0;
        }
        const auto found = openFds.find(fd);
        if (found == openFds.end()) {
            return -EBADF;
        }
        const std::string path = found->second;
        ++ttys[path].closes;
        openFds.erase(found);
        hungFds.erase(fd);
        bool stillOpen = false;
        for (const auto& [fdNumber, openPath] : openFds) {
            stillOpen = stillOpen || openPath == path;
        }
        if (!stillOpen) {
            ++ttys[path].lastCloses;
        }
        Heard(path, kWatchOpenedOrClosed);
        return 0;
    }
    int GetModemBits(int fd, int& bits) override
    {
        if (hungFds.count(fd) != 0) {
            return -EIO;
        }
        Tty* tty = Of(fd);
        if (tty == nullptr) {
            return -EBADF;
        }
        if (tty->modemBitsError != 0) {
            return tty->modemBitsError;
        }
        bits = tty->bits;
        return 0;
    }
    int SetModemBits(int fd, int bits) override
    {
        if (hungFds.count(fd) != 0) {
            return -EIO;
        }
        Tty* tty = Of(fd);
        if (tty == nullptr || tty->modemBitsError != 0) {
            return -ENOTTY;
        }
        tty->bits |= bits;
        tty->lineChanges.push_back({'+', bits});
        return 0;
    }
    int ClearModemBits(int fd, int bits) override
    {
        if (hungFds.count(fd) != 0) {
            return -EIO;
        }
        Tty* tty = Of(fd);
        if (tty == nullptr || tty->modemBitsError != 0) {
            return -ENOTTY;
        }
        tty->bits &= ~bits;
        tty->lineChanges.push_back({'-', bits});
        return 0;
    }
    int GetCounters(int fd, SerialCounters& counters) override
    {
        if (hungFds.count(fd) != 0) {
            return -EIO;
        }
        Tty* tty = Of(fd);
        if (tty == nullptr || tty->countersError != 0) {
            return tty == nullptr ? -EBADF : tty->countersError;
        }
        counters = tty->counters;
        return 0;
    }
    int InputQueue(int fd, int& count) override
    {
        Tty* tty = Of(fd);
        if (tty == nullptr) {
            return -EBADF;
        }
        count = static_cast<int>(tty->input.size());
        return 0;
    }
    int GetSettings(int fd, TtySettings& settings) override
    {
        if (hungFds.count(fd) != 0) {
            return -EIO;
        }
        Tty* tty = Of(fd);
        if (tty == nullptr || tty->settingsError != 0) {
            return tty == nullptr ? -EBADF : tty->settingsError;
        }
        settings = tty->settings;
        return 0;
    }
    int SetSettings(int fd, const TtySettings& settings) override
    {
        Tty* tty = Of(fd);
        if (tty == nullptr || tty->settingsError != 0) {
            return -ENOTTY;
        }
        tty->settings = settings;
        return 0;
    }
    long Read(int fd, std::uint8_t* buffer, std::size_t size) override
    {
        Tty* tty = Of(fd);
        if (tty == nullptr) {
            return -EBADF;
        }
        if (tty->input.empty()) {
            return -EAGAIN;
        }
        const std::size_t n = std::min(size, tty->input.size());
        std::copy_n(tty->input.begin(), n, buffer);
        tty->input.erase(0, n);
        return static_cast<long>(n);
    }
    long Write(int fd, const char* data, std::size_t size) override
    {
        Tty* tty = Of(fd);
        if (tty == nullptr) {
            return -EBADF;
        }
        if (!writeAnswers.empty()) {
            // A scripted answer: a short count, or -EAGAIN for a full output queue.
            const long answer = writeAnswers.front();
            writeAnswers.erase(writeAnswers.begin());
            if (answer <= 0) {
                return answer;
            }
            size = std::min<std::size_t>(size, static_cast<std::size_t>(answer));
        }
        const std::size_t n = std::min<std::size_t>(size, writeChunk);
        tty->written.append(data, n);
        return static_cast<long>(n);
    }
    int WaitReadable(int fd, int milliseconds) override
    {
        now += static_cast<std::uint64_t>(milliseconds);
        Tty* tty = Of(fd);
        return tty != nullptr && !tty->input.empty() ? 1 : 0;
    }
    int WaitWritable(int fd, int milliseconds) override
    {
        ++writableWaits;
        now += static_cast<std::uint64_t>(std::min(milliseconds, writableAfterMs));
        return Of(fd) != nullptr && milliseconds >= writableAfterMs ? 1 : 0;
    }
    int PollHangUp(int fd) override
    {
        if (openFds.count(fd) == 0) {
            return -EBADF;
        }
        return hungFds.count(fd) != 0 ? 1 : 0;
    }

    int GetLineDiscipline(int fd, int& discipline) override
    {
        if (hungFds.count(fd) != 0) {
            return -EIO;
        }
        Tty* tty = Of(fd);
        if (tty == nullptr) {
            return -EBADF;
        }
        discipline = tty->discipline;
        return 0;
    }

    std::optional<DeviceNumber> DeviceOf(const std::string& path) override
    {
        ++deviceLookups[path];
        const auto found = devices.find(path);
        if (found == devices.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    bool Exists(const std::string& path) override
    {
        return files.count(path) != 0 || ttys.count(path) != 0 || directories.count(path) != 0 ||
               existing.count(path) != 0;
    }
    std::vector<std::string> ListDirectory(const std::string& path) override
    {
        ++listings[path];
        const auto found = directories.find(path);
        return found == directories.end() ? std::vector<std::string>{} : found->second;
    }
    std::optional<std::vector<std::string>> ReadDirectory(const std::string& path) override
    {
        ++listings[path];
        const auto found = directories.find(path);
        return found == directories.end() ? std::nullopt : std::optional(found->second);
    }
    std::optional<std::string> ReadLink(const std::string& path) override
    {
        const auto found = links.find(path);
        if (found == links.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) override
    {
        ++fileReads[path];
        const auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        std::string content = found->second.substr(0, maxBytes);
        if (afterRead) {
            afterRead(path); // another program acts between this read and the next call
        }
        return content;
    }
    std::optional<std::string> ReadFileNoFollow(const std::string& path, std::size_t maxBytes) override
    {
        if (links.count(path) != 0) {
            return std::nullopt; // ELOOP
        }
        return ReadFile(path, maxBytes);
    }
    std::optional<FileStatus> StatusOf(const std::string& path) override
    {
        if (const auto found = statuses.find(path); found != statuses.end()) {
            return found->second;
        }
        FileStatus status;
        status.inode = InodeOf(path);
        if (const auto found = files.find(path); found != files.end()) {
            status.kind = FileKind::Regular;
            status.size = found->second.size();
            status.modifiedNs = modified.count(path) != 0 ? modified.at(path) : 0;
        } else if (const auto tty = devices.find(path); tty != devices.end()) {
            status.kind = FileKind::CharacterDevice;
        } else if (directories.count(path) != 0) {
            status.kind = FileKind::Directory;
        } else {
            return std::nullopt;
        }
        return status;
    }
    std::optional<std::string> ReadFileTail(const std::string& path, std::size_t maxBytes) override
    {
        ++tailReads[path];
        const auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        const std::string& content = found->second;
        return content.substr(content.size() > maxBytes ? content.size() - maxBytes : 0);
    }
    int CreateExclusive(const std::string& path, const std::string& content) override
    {
        const auto slash = path.rfind('/');
        if (slash == std::string::npos || directories.count(path.substr(0, slash)) == 0) {
            return -ENOENT;
        }
        if (readOnlyDirectories.count(path.substr(0, slash)) != 0) {
            return -EACCES;
        }
        if (files.count(path) != 0) {
            return -EEXIST;
        }
        files[path] = content;
        inodes[path] = nextInode++;
        created.push_back(path);
        return 0;
    }
    int RemoveFile(const std::string& path) override
    {
        if (unremovable.count(path) != 0) {
            return -EPERM;
        }
        if (files.erase(path) == 0) {
            return -ENOENT;
        }
        removed.push_back(path);
        inodes.erase(path);
        return 0;
    }
    int LinkFile(const std::string& from, const std::string& newPath) override
    {
        if (files.count(from) == 0) {
            return -ENOENT;
        }
        if (files.count(newPath) != 0) {
            return -EEXIST;
        }
        files[newPath] = files[from];
        inodes[newPath] = InodeOf(from);
        return 0;
    }
    int RenameFile(const std::string& from, const std::string& to) override
    {
        if (unremovable.count(from) != 0) {
            return -EPERM;
        }
        if (files.count(from) == 0) {
            return -ENOENT;
        }
        if (beforeRename) {
            beforeRename(from); // another program acts between our look and the rename
        }
        if (files.count(from) == 0) {
            return -ENOENT;
        }
        files[to] = files[from];
        inodes[to] = InodeOf(from);
        files.erase(from);
        inodes.erase(from);
        return 0;
    }
    int WatchOpens(const std::string& path) override
    {
        if (watchError != 0) {
            return watchError;
        }
        if (devices.count(path) == 0 && files.count(path) == 0) {
            return -ENOENT;
        }
        const int fd = nextFd++;
        watches[fd] = Watch{path, 0};
        return fd;
    }
    int TakeWatchEvents(int watch) override
    {
        const auto found = watches.find(watch);
        if (found == watches.end()) {
            return -EBADF;
        }
        return std::exchange(found->second.heard, 0);
    }

    bool ProcessAlive(std::int64_t pid) override { return alive.count(pid) != 0; }
    std::int64_t OwnProcessId() override { return ownPid; }
    std::uint64_t MonotonicMs() override { return now; }

    Tty& AddTty(const std::string& path, DeviceNumber number)
    {
        devices[path] = number;
        return ttys[path];
    }

    // The kernel hangs up every open file of the tty (a carrier loss with CLOCAL clear):
    // from now on their ioctls answer EIO and poll reports POLLHUP; new opens work.
    void HangUpTty(const std::string& path)
    {
        for (const auto& [fd, openPath] : openFds) {
            if (openPath == path) {
                hungFds.insert(fd);
            }
        }
    }

    // A USB modem pulled out: its open files are hung up and the device node goes.
    void Unplug(const std::string& path)
    {
        HangUpTty(path);
        devices.erase(path);
        ttys[path].openError = -ENOENT;
        Heard(path, kWatchGone | kWatchOpenedOrClosed);
    }

    // The same modem plugged in again, under a new device number.
    void Replug(const std::string& path, DeviceNumber number)
    {
        devices[path] = number;
        ttys[path].openError = 0;
    }

    // Another program opens the tty as descriptor fd; the kernel's name of the tty is
    // what /proc shows for it, whatever name the program opened.
    void AddHolder(std::int64_t pid, int fd, const std::string& tty, const std::string& kernelName = {})
    {
        const std::string id = std::to_string(pid);
        auto& processes = directories["/proc"];
        if (std::find(processes.begin(), processes.end(), id) == processes.end()) {
            processes.push_back(id);
        }
        const std::string fdDirectory = "/proc/" + id + "/fd";
        directories[fdDirectory].push_back(std::to_string(fd));
        const std::string entry = fdDirectory + "/" + std::to_string(fd);
        links[entry] = kernelName.empty() ? tty : kernelName;
        devices[entry] = devices[tty];
        Heard(tty, kWatchOpenedOrClosed);
    }

    // A process whose descriptors this user may not read (root's, another user's).
    void AddHiddenProcess(std::int64_t pid)
    {
        const std::string id = std::to_string(pid);
        directories["/proc"].push_back(id);
        existing.insert("/proc/" + id);
        files["/proc/" + id + "/cmdline"] = std::string("/sbin/agetty\0ttyS0\0", 19);
        directories.erase("/proc/" + id + "/fd");
    }

    // The program lets go of every tty it held, as its exit does.
    void DropHolder(std::int64_t pid)
    {
        const std::string fdDirectory = "/proc/" + std::to_string(pid) + "/fd";
        for (const std::string& fd : directories[fdDirectory]) {
            const auto held = devices.find(fdDirectory + "/" + fd);
            for (const auto& [path, number] : devices) {
                if (held != devices.end() && number == held->second && path.rfind("/proc/", 0) != 0) {
                    Heard(path, kWatchOpenedOrClosed);
                }
            }
        }
        directories[fdDirectory].clear(); // still running, its descriptors readable
    }

    // What every watch of the path hears next.
    void Heard(const std::string& path, int what)
    {
        for (auto& [fd, watch] : watches) {
            if (watch.path == path) {
                watch.heard |= what;
            }
        }
    }

    // How many descriptors of the tty are open now.
    int OpenCount(const std::string& path) const
    {
        return static_cast<int>(
            std::count_if(openFds.begin(), openFds.end(), [&](const auto& entry) { return entry.second == path; }));
    }

    std::map<std::string, Tty> ttys;
    std::map<int, std::string> openFds;
    std::map<std::string, DeviceNumber> devices;
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> links;
    std::map<std::string, std::vector<std::string>> directories;
    std::set<std::string> existing;
    std::map<std::string, FileStatus> statuses;   // stat() answers that override the ones made up from the maps
    std::map<std::string, std::int64_t> modified; // a file's modification time, 0 unless set
    std::map<std::string, int> tailReads;
    std::map<std::string, int> listings;
    std::map<std::string, int> deviceLookups; // stat() calls by path
    std::map<std::string, int> fileReads;
    std::set<std::int64_t> alive;
    std::int64_t ownPid = 100;
    std::uint64_t now = 50000;
    std::size_t writeChunk = 1 << 20;
    std::vector<long> writeAnswers; // scripted answers of the next writes, in order
    int writableAfterMs = 0;        // how long a full output queue takes to drain
    int writableWaits = 0;
    std::set<int> hungFds;
    std::set<int> readOnlyFds; // opened only to look
    int nextFd = 10;

    struct Watch
    {
        std::string path;
        int heard = 0;
    };
    std::map<int, Watch> watches;
    int watchError = 0;                        // -ENOSPC: the user's inotify watches are used up
    std::set<std::string> readOnlyDirectories; // lock directories this user may not write
    std::vector<std::string> created;          // files made by CreateExclusive, in order
    std::vector<std::string> removed;
    std::set<std::string> unremovable; // another user's files in a sticky directory
    std::function<void(const std::string&)> afterRead;
    std::function<void(const std::string&)> beforeRename;
    std::map<std::string, std::uint64_t> inodes; // files made here keep theirs through links and renames
    std::uint64_t nextInode = 1000;

private:
    std::uint64_t InodeOf(const std::string& path) const
    {
        const auto found = inodes.find(path);
        return found != inodes.end() ? found->second : std::hash<std::string>{}(path);
    }

    Tty* Of(int fd)
    {
        const auto found = openFds.find(fd);
        return found == openFds.end() ? nullptr : &ttys[found->second];
    }
};

} // namespace sarvendo::fakes
