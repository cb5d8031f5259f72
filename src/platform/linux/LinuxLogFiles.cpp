#include "LinuxLogFiles.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

constexpr mode_t kLogFileMode = 0644;
// The logs tell when the user was called and connected: only the user may look.
constexpr mode_t kLogDirectoryMode = 0700;

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

std::string LinuxLogFiles::Append(const std::string& path, std::string_view text)
{
    FileDescriptor file(OpenForAppend(path));
    if (file.Get() < 0) {
        return Describe(errno);
    }
    struct stat before
    {
    };
    if (::fstat(file.Get(), &before) != 0) {
        return Describe(errno);
    }
    if (!S_ISREG(before.st_mode)) {
        return Describe(EINVAL);
    }
    std::size_t written = 0;
    int error = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(file.Get(), text.data() + written, text.size() - written);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        written += static_cast<std::size_t>(count);
    }
    if (error == 0 && ::fsync(file.Get()) != 0 && errno != EINVAL) {
        error = errno;
    }
    if (error != 0) {
        // Take back the part that made it, so the retry writes the record once and whole.
        if (::ftruncate(file.Get(), before.st_size) != 0) {
            // Nothing more can be done; the error below still tells the user.
        }
        return Describe(error);
    }
    if (const int closeError = file.Close(); closeError != 0) {
        return Describe(closeError);
    }
    return {};
}

} // namespace sarvendo
