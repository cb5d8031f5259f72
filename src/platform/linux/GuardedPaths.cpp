// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuardedPaths.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace sarvendo {
namespace {

// The kernel's own limit of links in one path; a longer chain is a loop.
constexpr int kMaxLinks = 40;

constexpr int kLookOnly = O_PATH | O_NOFOLLOW;

std::deque<std::string> Split(const std::string& path)
{
    std::deque<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string part = path.substr(start, end - start);
        if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    return parts;
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

void Fail(GuardedPlace& place, int error, const std::string& where, const std::string& asked)
{
    place.error = error;
    place.problem = ProblemPrefix(where, asked) + std::strerror(error);
    place.folder.Reset(-1);
    place.file.Reset(-1);
}

// The target of a link opened for a look only.
bool ReadLinkOf(int link, std::string& target)
{
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlinkat(link, "", buffer.data(), buffer.size());
    if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        return false;
    }
    target.assign(buffer.data(), static_cast<std::size_t>(length));
    return true;
}

std::string Octal(mode_t mode)
{
    std::string text;
    for (int shift = 9; shift >= 0; shift -= 3) {
        text += static_cast<char>('0' + ((mode >> shift) & 7));
    }
    return text;
}

} // namespace

int RealFileCalls::OpenAt(int directory, const std::string& name, int flags, mode_t mode) const
{
    const int fd = ::openat(directory, name.c_str(), flags | O_CLOEXEC, mode);
    return fd >= 0 ? fd : -errno;
}

int RealFileCalls::Status(int fd, struct stat& info) const
{
    return ::fstat(fd, &info) == 0 ? 0 : -errno;
}

uid_t RealFileCalls::User() const
{
    return ::geteuid();
}

void FileDescriptor::Reset(int fd)
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
}

int FileDescriptor::Close()
{
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0 ? 0 : errno;
}

std::string ProblemPrefix(const std::string& where, const std::string& asked)
{
    return where == asked ? std::string() : where + ": ";
}

std::string ProblemSubject(const std::string& where, const std::string& asked)
{
    return where == asked ? std::string("it") : where;
}

std::string DescribeKind(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG:
        return "a regular file";
    case S_IFDIR:
        return "a directory";
    case S_IFIFO:
        return "a FIFO";
    case S_IFCHR:
        return "a character device";
    case S_IFBLK:
        return "a block device";
    case S_IFSOCK:
        return "a socket";
    case S_IFLNK:
        return "a symbolic link";
    default:
        return "no regular file";
    }
}

GuardedPlace FindGuarded(const FileCalls& calls, const std::string& path, MissingFolders missing, mode_t folderMode)
{
    GuardedPlace place;
    std::deque<std::string> rest = Split(path);
    if (rest.empty()) {
        Fail(place, path.empty() ? ENOENT : EISDIR, path.empty() ? std::string("(no file name)") : path, path);
        return place;
    }
    const bool absolute = path.front() == '/';
    std::string walked = absolute ? "/" : "";
    place.folder.Reset(calls.OpenAt(AT_FDCWD, absolute ? "/" : ".", O_PATH | O_DIRECTORY, 0));
    if (place.folder.Get() < 0) {
        Fail(place, -place.folder.Get(), absolute ? "/" : ".", path);
        return place;
    }
    int links = 0;
    while (!rest.empty()) {
        const std::string name = rest.front();
        rest.pop_front();
        const bool last = rest.empty();
        const std::string here = Join(walked, name);
        FileDescriptor entry(calls.OpenAt(place.folder.Get(), name, kLookOnly, 0));
        if (entry.Get() == -ENOENT && !last && missing == MissingFolders::Create) {
            if (::mkdirat(place.folder.Get(), name.c_str(), folderMode) != 0 && errno != EEXIST) {
                Fail(place, errno, here, path);
                return place;
            }
            entry.Reset(calls.OpenAt(place.folder.Get(), name, kLookOnly, 0));
        }
        if (entry.Get() == -ENOENT && last) {
            place.name = name;
            place.path = here;
            place.error = ENOENT;
            place.problem = ProblemPrefix(here, path) + std::strerror(ENOENT);
            return place;
        }
        if (entry.Get() < 0) {
            Fail(place, -entry.Get(), here, path);
            return place;
        }
        struct stat info
        {
        };
        if (const int result = calls.Status(entry.Get(), info); result < 0) {
            Fail(place, -result, here, path);
            return place;
        }
        if (S_ISLNK(info.st_mode)) {
            if (info.st_uid != calls.User() && info.st_uid != 0) {
                Fail(place, EPERM, here, path);
                place.problem = "the link " + here + " belongs to user " + std::to_string(info.st_uid) +
                                ", neither to you nor to root, so it is not followed";
                return place;
            }
            std::string target;
            if (++links > kMaxLinks) {
                Fail(place, ELOOP, path, path);
                return place;
            }
            if (!ReadLinkOf(entry.Get(), target) || target.empty()) {
                Fail(place, errno == 0 ? EINVAL : errno, here, path);
                return place;
            }
            std::deque<std::string> parts = Split(target);
            rest.insert(rest.begin(), parts.begin(), parts.end());
            if (target.front() == '/') {
                place.folder.Reset(calls.OpenAt(AT_FDCWD, "/", O_PATH | O_DIRECTORY, 0));
                walked = "/";
                if (place.folder.Get() < 0) {
                    Fail(place, -place.folder.Get(), "/", path);
                    return place;
                }
            }
            if (rest.empty()) {
                Fail(place, EISDIR, target, path);
                return place;
            }
            continue;
        }
        if (last) {
            place.name = name;
            place.path = here;
            place.file = std::move(entry);
            place.status = info;
            return place;
        }
        if (!S_ISDIR(info.st_mode)) {
            Fail(place, ENOTDIR, here, path);
            return place;
        }
        place.folder = std::move(entry);
        walked = here;
    }
    return place;
}

GuardedFile OpenGuarded(const FileCalls& calls, const std::string& path, FileAccess access, mode_t fileMode,
                        mode_t folderMode)
{
    const int flags = (access == FileAccess::Read ? O_RDONLY : O_WRONLY | O_APPEND) | O_NONBLOCK | O_NOCTTY;
    GuardedFile opened;
    // A file made or swapped in between the look and the open is looked at again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        opened.place = FindGuarded(
            calls, path, access == FileAccess::Append ? MissingFolders::Create : MissingFolders::Leave, folderMode);
        GuardedPlace& place = opened.place;
        if (place.Missing() && place.folder.Get() >= 0 && access == FileAccess::Append) {
            const int fd =
                calls.OpenAt(place.folder.Get(), place.name, flags | O_CREAT | O_EXCL | O_NOFOLLOW, fileMode);
            if (fd == -EEXIST) {
                continue;
            }
            if (fd < 0) {
                Fail(place, -fd, place.path, path);
                return opened;
            }
            opened.fd.Reset(fd);
        } else if (place.error != 0) {
            return opened;
        } else if (!S_ISREG(place.status.st_mode)) {
            Fail(place, EINVAL, place.path, path);
            place.problem =
                ProblemSubject(place.path, path) + " is " + DescribeKind(place.status.st_mode) + ", not a regular file";
            return opened;
        } else {
            // Opened again through the descriptor that was looked at, so a device swapped in
            // after the look is never opened.
            int fd = calls.OpenAt(AT_FDCWD, "/proc/self/fd/" + std::to_string(place.file.Get()), flags, 0);
            if (fd == -ENOENT) {
                // No /proc: the name is opened, not following a link.
                fd = calls.OpenAt(place.folder.Get(), place.name, flags | O_NOFOLLOW, 0);
            }
            if (fd < 0) {
                Fail(place, -fd, place.path, path);
                return opened;
            }
            opened.fd.Reset(fd);
        }
        // The kind is checked once more before the first byte moves.
        struct stat now
        {
        };
        if (const int result = calls.Status(opened.fd.Get(), now); result < 0) {
            opened.fd.Reset(-1);
            Fail(place, -result, place.path, path);
            return opened;
        }
        if (!S_ISREG(now.st_mode)) {
            opened.fd.Reset(-1);
            Fail(place, EINVAL, place.path, path);
            place.problem =
                ProblemSubject(place.path, path) + " is " + DescribeKind(now.st_mode) + ", not a regular file";
            return opened;
        }
        place.status = now;
        return opened;
    }
    Fail(opened.place, EAGAIN, path, path);
    return opened;
}

std::string ReadOnlyReason(const FileCalls& calls, const GuardedPlace& place)
{
    if (place.file.Get() >= 0) {
        const mode_t mode = place.status.st_mode;
        if ((mode & S_IWUSR) == 0) {
            return place.path + " is read-only (mode " + Octal(mode & 07777) + ")";
        }
        if (::faccessat(place.folder.Get(), place.name.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0) {
            return place.path + " may not be written by this user";
        }
    }
    struct stat folder
    {
    };
    if (place.folder.Get() >= 0 && calls.Status(place.folder.Get(), folder) == 0) {
        const std::size_t slash = place.path.rfind('/');
        const std::string folderPath =
            slash == std::string::npos ? std::string(".") : place.path.substr(0, slash == 0 ? 1 : slash);
        // Root may write any folder; one whose owner took away its own write permission
        // is still honoured.
        if ((folder.st_uid == calls.User() && (folder.st_mode & S_IWUSR) == 0) ||
            ::faccessat(place.folder.Get(), ".", W_OK | X_OK, AT_EACCESS) != 0) {
            return "its folder " + folderPath + " may not be written";
        }
    }
    return {};
}

} // namespace sarvendo
