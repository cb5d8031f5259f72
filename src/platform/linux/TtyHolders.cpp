// SPDX-License-Identifier: GPL-3.0-or-later
#include "TtyHolders.h"

#include <algorithm>
#include <cstring>

namespace sarvendo {
namespace {

constexpr std::int64_t kLargestPid = 0x7FFFFFFF;
// The kernel's own limit for a chain of links.
constexpr int kMaxLinkDepth = 40;

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::optional<std::int64_t> LiveOwnerOf(SystemCalls& system, const std::string& name)
{
    for (const char* directory : {"/run/lock/", "/var/lock/"}) {
        // A lock file is never read through a link, which could lead anywhere.
        const auto content = system.ReadFileNoFollow(directory + name, kLockFileMax);
        const auto pid = content ? ParseLockOwner(*content) : std::nullopt;
        // A lock of a process that has gone is stale and means nothing.
        if (pid && *pid != system.OwnProcessId() && system.ProcessAlive(*pid)) {
            return pid;
        }
    }
    return std::nullopt;
}

} // namespace

std::string BaseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string KernelTtyName(SystemCalls& system, const std::string& device)
{
    // The path made plain at every step ("/dev/serial/by-id/../../ttyUSB0" is
    // "/dev/ttyUSB0"), following a chain of links (/dev/modem to a by-id link to the tty)
    // as far as the kernel would.
    const auto plain = [](const std::string& path) {
        std::vector<std::string> parts;
        for (std::size_t at = 0; at <= path.size();) {
            const std::size_t end = std::min(path.find('/', at), path.size());
            const std::string part = path.substr(at, end - at);
            if (part == "..") {
                if (!parts.empty()) {
                    parts.pop_back();
                }
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            at = end + 1;
        }
        return parts;
    };
    std::vector<std::string> parts = plain(device);
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        std::string path;
        for (const std::string& part : parts) {
            path += "/" + part;
        }
        const auto target = system.ReadLink(depth == 0 ? device : path);
        if (!target || target->empty()) {
            break;
        }
        std::string next = *target;
        if (next.front() != '/') {
            next = path.substr(0, path.rfind('/') + 1) + next;
        }
        parts = plain(next);
    }
    if (parts.size() > 2 && parts[0] == "dev") {
        // A tty in a directory of its own, as /dev/pts/3, is locked as "pts_3".
        std::string name = parts[1];
        for (std::size_t i = 2; i < parts.size(); ++i) {
            name += "_" + parts[i];
        }
        return name;
    }
    return parts.empty() ? std::string() : parts.back();
}

std::optional<std::int64_t> ParseLockOwner(const std::string& content)
{
    // Four bytes that are not all text are the binary form, whatever their first byte.
    const bool text = content.find_first_not_of("0123456789 \n") == std::string::npos;
    if (content.size() == 4 && !text) {
        std::int32_t binary = 0;
        std::memcpy(&binary, content.data(), sizeof binary);
        return binary > 0 ? std::optional<std::int64_t>(binary) : std::nullopt;
    }
    std::size_t at = content.find_first_not_of(' ');
    std::int64_t pid = 0;
    std::size_t digits = 0;
    for (; at != std::string::npos && at < content.size() && content[at] >= '0' && content[at] <= '9'; ++at) {
        pid = pid * 10 + (content[at] - '0');
        if (++digits > 10 || pid > kLargestPid) {
            return std::nullopt;
        }
    }
    // Some dialers follow the number with their own name and the user's.
    if (digits > 0 && (at >= content.size() || content[at] == '\n' || content[at] == ' ')) {
        return pid > 0 ? std::optional<std::int64_t>(pid) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::int64_t> LockOwner(SystemCalls& system, const std::string& device)
{
    if (device.empty()) {
        return std::nullopt;
    }
    const std::string kernelName = KernelTtyName(system, device);
    if (auto owner = LiveOwnerOf(system, "LCK.." + kernelName)) {
        return owner;
    }
    if (BaseName(device) != kernelName) {
        return LiveOwnerOf(system, "LCK.." + BaseName(device));
    }
    return std::nullopt;
}

bool LockedByAnotherProcess(SystemCalls& system, const std::string& device)
{
    return LockOwner(system, device).has_value();
}

std::optional<bool> ProcessHolds(SystemCalls& system, std::int64_t pid, DeviceNumber wanted)
{
    const std::string fdDirectory = "/proc/" + std::to_string(pid) + "/fd";
    const auto descriptors = system.ReadDirectory(fdDirectory);
    if (!descriptors) {
        return std::nullopt;
    }
    for (const std::string& fd : *descriptors) {
        const std::string entry = fdDirectory + "/" + fd;
        const auto target = system.ReadLink(entry);
        if (!target || target->rfind("/dev/", 0) != 0) {
            continue;
        }
        const auto number = system.DeviceOf(entry);
        if (number && *number == wanted) {
            return true;
        }
    }
    return false;
}

std::vector<std::int64_t> ProcessesHolding(SystemCalls& system, const std::string& device, bool firstOnly)
{
    std::vector<std::int64_t> holders;
    const auto wanted = device.empty() ? std::nullopt : system.DeviceOf(device);
    if (!wanted) {
        return holders;
    }
    const std::int64_t self = system.OwnProcessId();
    for (const std::string& entry : system.ListDirectory("/proc")) {
        if (!AllDigits(entry) || entry.size() > 10) {
            continue;
        }
        const std::int64_t pid = std::stoll(entry);
        if (pid != self && ProcessHolds(system, pid, *wanted).value_or(false)) {
            holders.push_back(pid);
            if (firstOnly) {
                break;
            }
        }
    }
    return holders;
}

HolderSight SeeHolders(SystemCalls& system, const std::string& device)
{
    HolderSight sight;
    sight.lockOwner = LockOwner(system, device);
    const std::int64_t self = system.OwnProcessId();
    for (const std::string& entry : system.ListDirectory("/proc")) {
        if (!AllDigits(entry) || entry.size() > 10 || std::stoll(entry) == self) {
            continue;
        }
        const std::string base = "/proc/" + entry;
        if (system.ReadDirectory(base + "/fd")) {
            continue;
        }
        // A kernel thread, or a process that has ended, has no command line and holds no
        // file; one that ended during the look has gone.
        const auto command = system.ReadFile(base + "/cmdline", 1);
        if (command ? !command->empty() : system.Exists(base)) {
            ++sight.hiddenProcesses;
        }
    }
    return sight;
}

bool HeldByAnotherProcess(SystemCalls& system, const std::string& device)
{
    return LockedByAnotherProcess(system, device) || !ProcessesHolding(system, device, true).empty();
}

HolderWatch::HolderWatch(SystemCalls& system) : m_system(system) {}

HolderWatch::~HolderWatch()
{
    Unwatch();
}

void HolderWatch::Unwatch()
{
    if (m_watch >= 0) {
        m_system.Close(m_watch);
    }
    m_watch = -1;
}

bool HolderWatch::HeldByAnother(const std::string& device)
{
    if (device != m_device) {
        Unwatch();
        m_device = device;
        m_scanned = false;
    }
    if (device.empty()) {
        return false;
    }
    if (LockedByAnotherProcess(m_system, device)) {
        return true;
    }
    const auto number = m_system.DeviceOf(device);
    if (!number) {
        // No device, no descriptor of it; the node that comes back is another file.
        Unwatch();
        m_scanned = false;
        return false;
    }
    const std::uint64_t now = m_system.MonotonicMs();
    bool rescan = !m_scanned || now - m_scannedAt >= kFullScanMs;
    bool remake = false; // the watch was on a node that has gone: the new one is watched at once
    if (m_watch >= 0 && *number != m_watchedNumber) {
        Unwatch();
        remake = true;
    }
    if (m_watch >= 0) {
        // Taken before the scan: whatever happens during it is heard at the next question.
        const int heard = m_system.TakeWatchEvents(m_watch);
        if (heard < 0 || (heard & kWatchGone) != 0) {
            Unwatch();
            remake = true;
        }
        rescan = rescan || heard != 0;
    }
    if (m_watch < 0 && (remake || !m_scanned || now - m_scannedAt >= kUnwatchedScanMs)) {
        m_watch = m_system.WatchOpens(device);
        m_watchedNumber = *number;
        rescan = true;
    }
    if (rescan) {
        m_scanAnswer = !ProcessesHolding(m_system, device, true).empty();
        m_scanned = true;
        m_scannedAt = now;
    }
    return m_scanAnswer;
}

} // namespace sarvendo
