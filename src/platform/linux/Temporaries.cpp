// SPDX-License-Identifier: GPL-3.0-or-later
#include "Temporaries.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

// A temporary of a save that is still running is seconds old at most; one older than this
// belongs to a save that was killed, even when its process number has been reused.
constexpr std::time_t kStaleTemporaryAgeSeconds = 3600;

constexpr const char* kTemporarySuffix = ".tmp";

std::string TemporaryPrefix(const std::string& target)
{
    return "." + target + ".";
}

// The process number of a name of the form ".NAME.PID.COUNT.tmp"; nothing for any other
// name.
std::optional<pid_t> TemporaryOwner(std::string_view name, std::string_view prefix)
{
    const std::string_view suffix(kTemporarySuffix);
    if (name.size() <= prefix.size() + suffix.size() || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - suffix.size()) != suffix) {
        return std::nullopt;
    }
    const std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const std::size_t dot = middle.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot + 1 == middle.size()) {
        return std::nullopt;
    }
    long long pid = 0;
    for (std::size_t i = 0; i < middle.size(); ++i) {
        const char c = middle[i];
        if (i == dot) {
            continue;
        }
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        if (i < dot && pid < 100'000'000'000LL) {
            pid = pid * 10 + (c - '0');
        }
    }
    return pid > 0 && pid <= 0x7fffffff ? std::optional<pid_t>(static_cast<pid_t>(pid)) : std::nullopt;
}

bool ProcessAlive(pid_t pid)
{
    return kill(pid, 0) == 0 || errno == EPERM;
}

} // namespace

void RemoveStaleTemporaries(int folder, const std::string& target)
{
    const int readable = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0) {
        return;
    }
    DIR* listing = fdopendir(readable);
    if (listing == nullptr) {
        close(readable);
        return;
    }
    const std::string prefix = TemporaryPrefix(target);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(listing)) {
        const std::optional<pid_t> owner = TemporaryOwner(entry->d_name, prefix);
        if (!owner) {
            continue;
        }
        struct stat info
        {
        };
        if (fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        if (!ProcessAlive(*owner) || now - info.st_mtime > kStaleTemporaryAgeSeconds) {
            unlinkat(dirfd(listing), entry->d_name, 0);
        }
    }
    closedir(listing);
}

int CreateTemporaryIn(int folder, const std::string& target, mode_t mode, std::string& name)
{
    static std::atomic<unsigned> counter{0};
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        name = TemporaryPrefix(target) + std::to_string(getpid()) + "." + std::to_string(counter++) + kTemporarySuffix;
        fd = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd < 0 && errno != EEXIST) {
            return -1;
        }
    }
    return fd;
}

} // namespace sarvendo
