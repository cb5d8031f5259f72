#include "LinuxLogFiles.h"

#include "platform/linux/Temporaries.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

constexpr mode_t kLogFileMode = 0644;
// The logs tell when the user was called and connected: only the user may look.
constexpr mode_t kLogDirectoryMode = 0700;
// The same goes for records waiting in a side file, whatever the umask says.
constexpr mode_t kSideFileMode = 0600;
// Far more than the records of years of calls; a huge file in a side file's place is not
// read into memory.
constexpr std::size_t kMaxSideFileSize = 16 * 1024 * 1024;

// Closes a descriptor on every way out.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }

    // Closes now and reports the close's own error, which is where some file systems
    // report a failed write.
    int Close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

std::string Describe(int error)
{
    return std::strerror(error);
}

// Writes all of text, counting in written what reached the file. Returns 0 or the error.
int WriteAll(int fd, std::string_view text, std::size_t& written)
{
    written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        written += static_cast<std::size_t>(count);
    }
    return 0;
}

// How many bytes of an append the file holds beyond its old size, at most those written.
std::size_t GrowthBeyond(off_t oldSize, off_t newSize, std::size_t written)
{
    if (newSize <= oldSize) {
        return 0;
    }
    return std::min(static_cast<std::size_t>(newSize - oldSize), written);
}

// Takes back the part of a failed append that made it, so the retry writes the record
// once and whole. When the file cannot be cut back, says how much of it stayed, so the
// retry leaves that part out.
std::size_t RollBack(int fd, off_t oldSize, std::size_t written)
{
    if (::ftruncate(fd, oldSize) == 0) {
        return 0;
    }
    struct stat after
    {
    };
    if (::fstat(fd, &after) != 0) {
        // Nothing tells otherwise: what was written is there.
        return written;
    }
    return GrowthBeyond(oldSize, after.st_size, written);
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// A rename or removal reaches the disk only with its directory.
void SyncDirectory(const std::string& directory)
{
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A missing file, or a missing directory on the way to it.
bool NoSuchFile(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

// Creates the directory of path and every missing directory above it. A default install
// has no log directory until the first record needs one.
void CreateParentDirectories(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return;
    }
    const std::string directory = path.substr(0, slash);
    if (::mkdir(directory.c_str(), kLogDirectoryMode) == 0 || errno != ENOENT) {
        return;
    }
    CreateParentDirectories(directory);
    ::mkdir(directory.c_str(), kLogDirectoryMode);
}

int OpenForAppend(const std::string& path)
{
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const int fd = ::open(path.c_str(), kFlags, kLogFileMode);
    if (fd >= 0 || errno != ENOENT) {
        return fd;
    }
    CreateParentDirectories(path);
    return ::open(path.c_str(), kFlags, kLogFileMode);
}

} // namespace

std::optional<std::size_t> LinuxLogFiles::LastLineLength(const std::string& path)
{
    // Looked at before it is opened: opening a tty named by mistake would raise its DTR.
    struct stat named
    {
    };
    if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
        return 0;
    }
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        // A log that exists but cannot be read has no last line to measure: the next
        // record starts on a line of its own.
        return 0;
    }
    struct stat status
    {
    };
    if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return 0;
    }
    // Only the lengths are kept, so a log of any size, or one long line, costs nothing.
    std::size_t current = 0;  // the line being read
    std::size_t previous = 0; // the last completed line
    bool lineOpen = false;    // current holds text after the last line end
    bool afterCarriageReturn = false;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        for (ssize_t i = 0; i < count; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            if (c == '\n' && afterCarriageReturn) {
                afterCarriageReturn = false;
                continue;
            }
            afterCarriageReturn = c == '\r';
            if (c == '\r' || c == '\n') {
                previous = current;
                current = 0;
                lineOpen = false;
            } else {
                ++current;
                lineOpen = true;
            }
        }
    }
    return lineOpen ? current : previous;
}

AppendResult LinuxLogFiles::Append(const std::string& path, std::string_view text)
{
    FileDescriptor file(OpenForAppend(path));
    if (file.Get() < 0) {
        return {Describe(errno), 0};
    }
    struct stat before
    {
    };
    if (::fstat(file.Get(), &before) != 0) {
        return {Describe(errno), 0};
    }
    if (!S_ISREG(before.st_mode)) {
        return {Describe(EINVAL), 0};
    }
    std::size_t written = 0;
    int error = WriteAll(file.Get(), text, written);
    if (error == 0 && ::fsync(file.Get()) != 0 && errno != EINVAL) {
        error = errno;
    }
    if (error != 0) {
        return {Describe(error), RollBack(file.Get(), before.st_size, written)};
    }
    if (const int closeError = file.Close(); closeError != 0) {
        // Too late to cut the file back; whatever it grew by is in it.
        struct stat after
        {
        };
        const std::size_t kept =
            ::stat(path.c_str(), &after) == 0 ? GrowthBeyond(before.st_size, after.st_size, written) : written;
        return {Describe(closeError), kept};
    }
    return {{}, text.size()};
}

std::optional<std::uint64_t> LinuxLogFiles::SizeOf(const std::string& path)
{
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(std::max<off_t>(status.st_size, 0));
}

bool LinuxLogFiles::HoldsAt(const std::string& path, std::uint64_t offset, std::string_view text)
{
    struct stat named
    {
    };
    if (::stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) {
        return false;
    }
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status
    {
    };
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::uint64_t>(std::max<off_t>(status.st_size, 0)) < offset ||
        static_cast<std::uint64_t>(status.st_size) - offset < text.size()) {
        return false;
    }
    std::string found(text.size(), '\0');
    std::size_t done = 0;
    while (done < found.size()) {
        const ssize_t count =
            ::pread(file.Get(), found.data() + done, found.size() - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return found == text;
}

SideFileContent LinuxLogFiles::ReadSideFile(const std::string& path)
{
    using Status = SideFileContent::Status;
    // Looked at before it is opened, for the same reason as a log.
    struct stat named
    {
    };
    if (::stat(path.c_str(), &named) != 0) {
        return NoSuchFile(errno) ? SideFileContent{} : SideFileContent{Status::Unreadable, {}, Describe(errno)};
    }
    if (!S_ISREG(named.st_mode)) {
        return {Status::Unreadable, {}, "not a regular file"};
    }
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0) {
        return NoSuchFile(errno) ? SideFileContent{} : SideFileContent{Status::Unreadable, {}, Describe(errno)};
    }
    struct stat status
    {
    };
    if (::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {Status::Unreadable, {}, "not a regular file"};
    }
    constexpr std::string_view kTooLarge = "too large";
    if (static_cast<std::size_t>(status.st_size) > kMaxSideFileSize) {
        return {Status::Unreadable, {}, std::string(kTooLarge)};
    }
    std::string text;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return {Status::Unreadable, {}, Describe(errno)};
        }
        if (count == 0) {
            break;
        }
        text.append(buffer.data(), static_cast<std::size_t>(count));
        // The file may grow while it is read.
        if (text.size() > kMaxSideFileSize) {
            return {Status::Unreadable, {}, std::string(kTooLarge)};
        }
    }
    return {Status::Read, std::move(text), {}};
}

std::string LinuxLogFiles::ReplaceSideFile(const std::string& path, std::string_view text)
{
    // The new content goes to a fresh file beside the old one and takes its place by a
    // rename, once it is on the disk.
    std::string temporary;
    int fd = CreateTemporaryBeside(path, kSideFileMode, temporary);
    if (fd < 0 && errno == ENOENT) {
        CreateParentDirectories(path);
        fd = CreateTemporaryBeside(path, kSideFileMode, temporary);
    }
    if (fd < 0) {
        return Describe(errno);
    }
    FileDescriptor file(fd);
    int error = ::fchmod(file.Get(), kSideFileMode) == 0 ? 0 : errno;
    std::size_t written = 0;
    if (error == 0) {
        error = WriteAll(file.Get(), text, written);
    }
    if (error == 0 && ::fsync(file.Get()) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = file.Close();
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Describe(error);
    }
    SyncDirectory(DirectoryOf(path));
    // What a run killed in the middle of this left behind.
    RemoveStaleTemporaries(DirectoryOf(path), path);
    return {};
}

std::string LinuxLogFiles::RemoveSideFile(const std::string& path)
{
    RemoveStaleTemporaries(DirectoryOf(path), path);
    if (::unlink(path.c_str()) != 0) {
        return NoSuchFile(errno) ? std::string() : Describe(errno);
    }
    SyncDirectory(DirectoryOf(path));
    return {};
}

} // namespace sarvendo
