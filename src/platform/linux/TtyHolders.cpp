#include "TtyHolders.h"

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

} // namespace

bool LockedByAnotherProcess(SystemCalls& system, const std::string& device)
{
    const std::string name = "LCK.." + BaseName(device);
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
