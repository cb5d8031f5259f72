// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/SystemCalls.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sarvendo {

// More than any lock file holds (ten digits, a line end and a dialer's name): a longer
// one is no lock of this convention.
inline constexpr std::size_t kLockFileMax = 64;

// More than a small file of /proc or /sys holds (a command name, an index, a flag word).
inline constexpr std::size_t kSmallFile = 256;

// The last name of a path.
std::string BaseName(const std::string& path);

// The kernel's name of a tty ("ttyUSB0", "pts_3" for /dev/pts/3) behind a configured
// path, which may be a link such as /dev/serial/by-id/...: lock files carry that name.
std::string KernelTtyName(SystemCalls& system, const std::string& device);

// The process id a UUCP lock file holds: ten right-aligned digits and a line end
// (perhaps the dialer's name after a blank), or the four binary bytes of the oldest
// dialers. Empty for anything else.
std::optional<std::int64_t> ParseLockOwner(const std::string& content);

// The live process other than this one that a UUCP lock file (/run/lock or /var/lock,
// "LCK..ttyS0", under the kernel's name or the configured one) names for the tty. A root
// pppd run with its "lock" option shows itself this way, though an ordinary user cannot
// see its descriptors.
std::optional<std::int64_t> LockOwner(SystemCalls& system, const std::string& device);
bool LockedByAnotherProcess(SystemCalls& system, const std::string& device);

// Whether one process has a descriptor of the device: nullopt when its descriptors
// cannot be read (another user's process). Each descriptor's link is read first and only
// targets under /dev are stat'ed, so a descriptor on a dead network mount never blocks.
std::optional<bool> ProcessHolds(SystemCalls& system, std::int64_t pid, DeviceNumber wanted);

// The processes other than this one that have a descriptor of the tty, as far as this
// user may look in /proc; with firstOnly the scan stops at the first.
std::vector<std::int64_t> ProcessesHolding(SystemCalls& system, const std::string& device, bool firstOnly);

// How much of whoever holds a tty this user can see: the processes whose descriptors
// cannot be read (as an ordinary user, root's and other users'; any of them may hold the
// tty unseen), and the live process another program's UUCP lock names.
struct HolderSight
{
    std::size_t hiddenProcesses = 0;
    std::optional<std::int64_t> lockOwner;

    bool EveryHolderSeen() const { return hiddenProcesses == 0 && !lockOwner; }
};

// A look at every process: one listing of /proc and one of each process's descriptors.
HolderSight SeeHolders(SystemCalls& system, const std::string& device);

// A live lock of another process, or one of its descriptors, holds the tty.
bool HeldByAnotherProcess(SystemCalls& system, const std::string& device);

// HeldByAnotherProcess for a tty that is asked about again and again. The lock files are
// read at every question; /proc, the expensive part on a desktop with hundreds of
// processes, is scanned again only when the watch on the device node (inotify) heard
// someone open or close it, when the device changed, and at the latest every
// kFullScanMs (an open through another node of the same device is not heard). Where no
// watch can be had (the user's inotify limits are reached), /proc is scanned every
// kUnwatchedScanMs, and the answer is that much later.
class HolderWatch
{
public:
    explicit HolderWatch(SystemCalls& system);
    ~HolderWatch();
    HolderWatch(const HolderWatch&) = delete;
    HolderWatch& operator=(const HolderWatch&) = delete;

    bool HeldByAnother(const std::string& device);

    static constexpr std::uint64_t kFullScanMs = 60000;
    static constexpr std::uint64_t kUnwatchedScanMs = 5000;

private:
    void Unwatch();

    SystemCalls& m_system;
    std::string m_device;
    int m_watch = -1;
    DeviceNumber m_watchedNumber = 0;
    bool m_scanned = false;
    bool m_scanAnswer = false;
    std::uint64_t m_scannedAt = 0;
};

} // namespace sarvendo
