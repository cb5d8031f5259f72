#include "PosixTextFiles.h"

#include "platform/linux/Temporaries.h"

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

    std::string temporary;
    const int fd = CreateTemporaryBeside(target, 0666, temporary);
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
