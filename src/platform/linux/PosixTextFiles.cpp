#include "PosixTextFiles.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

// More than any settings file a person writes; a link to an endless device or a huge
// file ends the read here rather than exhausting memory.
constexpr std::size_t kMaxTextFileSize = 1024 * 1024;

// The kernel's own limit for one path; a longer chain is a loop.
constexpr int kMaxLinkDepth = 40;

// A temporary of a save that is still running is seconds old at most; one older than this
// belongs to a save that was killed, even when its process number has been reused.
constexpr std::time_t kStaleTemporaryAgeSeconds = 3600;

constexpr const char* kTemporarySuffix = ".tmp";

bool WriteAll(int fd, std::string_view data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t written = write(fd, data.data() + done, data.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The file a path finally names, following every link of a chain, so a save replaces
// the last file and leaves each link in place. Nothing when the chain loops or a link
// cannot be read.
std::optional<std::filesystem::path> ResolveChain(const std::string& path)
{
    std::filesystem::path current(path);
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat info
        {
        };
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::error_code error;
        std::filesystem::path target = std::filesystem::read_symlink(current, error);
        if (error) {
            return std::nullopt;
        }
        if (target.is_relative()) {
            target = current.parent_path() / target;
        }
        current = target;
    }
    return std::nullopt;
}

std::string TemporaryPrefix(const std::filesystem::path& target)
{
    return "." + target.filename().string() + ".";
}

// The process number of a name of the form ".NAME.PID.COUNT.tmp", the form Replace gives
// its temporaries; nothing for any other name.
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

// Removes the temporaries a killed save left beside the target: files of our naming whose
// process is gone, or that are too old to belong to a save still running.
void RemoveStaleTemporaries(const std::filesystem::path& directory, const std::filesystem::path& target)
{
    DIR* listing = opendir(directory.c_str());
    if (listing == nullptr) {
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

} // namespace

TextFileContent PosixTextFiles::Read(const std::string& path) const
{
    // Looked at before it is opened: opening a tty in the file's place would raise its DTR.
    struct stat named
    {
    };
    if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
        return {TextFileContent::Status::Unreadable, {}};
    }
    // Non-blocking, so that a FIFO swapped in after the look cannot hold up the start; it
    // is then refused below as no regular file.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return {errno == ENOENT ? TextFileContent::Status::Missing : TextFileContent::Status::Unreadable, {}};
    }
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > kMaxTextFileSize) {
        close(fd);
        return {TextFileContent::Status::Unreadable, {}};
    }
    std::string content;
    char buffer[8192];
    bool failed = false;
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            failed = true;
            break;
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        // The file may grow while it is read.
        if (content.size() > kMaxTextFileSize) {
            failed = true;
            break;
        }
    }
    close(fd);
    if (failed) {
        return {TextFileContent::Status::Unreadable, {}};
    }
    return {TextFileContent::Status::Read, std::move(content)};
}

bool PosixTextFiles::Replace(const std::string& path, std::string_view text) const
{
    if (path.empty()) {
        return false;
    }
    const std::optional<std::filesystem::path> resolved = ResolveChain(path);
    if (!resolved) {
        return false;
    }
    const std::filesystem::path& target = *resolved;
    std::filesystem::path directory = target.parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    std::error_code error;
    std::filesystem::create_directories(directory, error);

    struct stat existing
    {
    };
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device, a FIFO or a directory in the file's place is not ours to replace.
        return false;
    }

    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = (directory / (TemporaryPrefix(target) + std::to_string(getpid()) + "." + std::to_string(counter++) +
                                  kTemporarySuffix))
                        .string();
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    if (exists) {
        fchmod(fd, existing.st_mode & 07777);
    }
    const bool written = WriteAll(fd, text) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!written || !closed || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk too, or a crash could bring back the old file.
    const int directoryFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        fsync(directoryFd);
        close(directoryFd);
    }
    RemoveStaleTemporaries(directory, target);
    return true;
}

} // namespace sarvendo
