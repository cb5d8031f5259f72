#include "PosixTextFiles.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

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

std::string ResolveTarget(const std::string& path)
{
    struct stat info
    {
    };
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        std::error_code error;
        const std::filesystem::path link(path);
        std::filesystem::path target = std::filesystem::read_symlink(link, error);
        if (!error) {
            if (target.is_relative()) {
                target = link.parent_path() / target;
            }
            return target.string();
        }
    }
    return path;
}

} // namespace

TextFileContent PosixTextFiles::Read(const std::string& path) const
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {errno == ENOENT ? TextFileContent::Status::Missing : TextFileContent::Status::Unreadable, {}};
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
    const std::filesystem::path target(ResolveTarget(path));
    std::filesystem::path directory = target.parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    std::error_code error;
    std::filesystem::create_directories(directory, error);

    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = (directory / ("." + target.filename().string() + "." + std::to_string(getpid()) + "." +
                                  std::to_string(counter++) + ".tmp"))
                        .string();
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    struct stat existing
    {
    };
    if (stat(target.c_str(), &existing) == 0) {
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
    return true;
}

} // namespace sarvendo
