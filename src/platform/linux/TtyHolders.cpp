#include "TtyHolders.h"

#include <vector>

namespace sarvendo {
namespace {

constexpr std::size_t kLockFileMax = 64;

std::string BaseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

bool LockNamesALiveProcess(SystemCalls& system, const std::string& name)
{
    for (const char* directory : {"/run/lock/", "/var/lock/"}) {
        const auto content = system.ReadFile(directory + name, kLockFileMax);
        if (!content) {
            continue;
        }
        // The owner's process id as ten right-aligned digits; a lock of a process that
        // has gone is stale and means nothing.
        std::int64_t pid = 0;
        bool digits = false;
        for (char c : *content) {
            if (c >= '0' && c <= '9') {
                pid = pid * 10 + (c - '0');
                digits = true;
                if (pid > 0x7FFFFFFF) {
                    pid = 0;
                    break;
                }
            } else if (digits) {
                break;
            }
        }
        if (pid > 0 && pid != system.OwnProcessId() && system.ProcessAlive(pid)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool LockedByAnotherProcess(SystemCalls& system, const std::string& device)
{
    // Lock files carry the kernel's name of the tty ("ttyUSB0"), while the configured path
    // may be a stable link such as /dev/serial/by-id/...; both names are tried.
    std::vector<std::string> names{"LCK.." + BaseName(device)};
    if (const auto target = system.ReadLink(device)) {
        names.push_back("LCK.." + BaseName(*target));
    }
    for (const std::string& name : names) {
        if (LockNamesALiveProcess(system, name)) {
            return true;
        }
    }
    return false;
}

bool HeldByAnotherProcess(SystemCalls& system, const std::string& device)
{
    if (device.empty()) {
        return false;
    }
    if (LockedByAnotherProcess(system, device)) {
        return true;
    }
    const auto wanted = system.DeviceOf(device);
    if (!wanted) {
        return false;
    }
    const std::string self = std::to_string(system.OwnProcessId());
    for (const std::string& pid : system.ListDirectory("/proc")) {
        if (!AllDigits(pid) || pid == self) {
            continue;
        }
        const std::string fdDirectory = "/proc/" + pid + "/fd";
        for (const std::string& fd : system.ListDirectory(fdDirectory)) {
            const auto number = system.DeviceOf(fdDirectory + "/" + fd);
            if (number && *number == *wanted) {
                return true;
            }
        }
    }
    return false;
}

} // namespace sarvendo
