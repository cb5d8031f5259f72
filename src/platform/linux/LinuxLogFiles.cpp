// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxLogFiles.h"

#include "platform/linux/AtomicSave.h"
#include "platform/linux/GuardedPaths.h"
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

// Reads go through a block on the stack: small, since every page of the stack a record's
// write touches once stays with the program for the rest of its run.
constexpr std::size_t kReadBlock = 4096;

constexpr mode_t kLogFileMode = 0644;
// The logs tell when the user was called and connected: only the user may look.
constexpr mode_t kLogDirectoryMode = 0700;
// The same goes for records waiting in a side file, whatever the umask says.
constexpr mode_t kSideFileMode = 0600;
// Far more than the records of years of calls; a huge file in a side file's place is not
// read into memory.
constexpr std::size_t kMaxSideFileSize = 16 * 1024 * 1024;

std::string Describe(int error)
{
    return std::strerror(error);
}

// Writes all of text, counting in written what reached the file. Returns 0 or the error.
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

// A missing file, or a missing directory on the way to it.
bool NoSuchFile(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

} // namespace

// Reading goes backwards from the end, so the cost is that of the last line, not of the
// years of records before it: the tick that writes a record stays quick.
std::optional<std::size_t> LinuxLogFiles::LastLineLength(const std::string& path)
{
    const GuardedFile file = OpenGuarded(m_calls, path, FileAccess::Read, 0, 0);
    if (file.fd.Get() < 0) {
        // A log that exists but cannot be read has no last line to measure: the next
        // record starts on a line of its own.
        return file.place.Missing() ? std::nullopt : std::optional<std::size_t>(0);
    }
    std::array<char, kReadBlock> buffer{};
    off_t end = file.place.status.st_size;
    std::size_t length = 0;
    bool endSkipped = false;    // the line end that closes the last line has been passed
    bool afterLineFeed = false; // the byte after the one read next was a LF of that line end
    while (end > 0) {
        const std::size_t size = static_cast<std::size_t>(std::min<off_t>(end, buffer.size()));
        const off_t start = end - static_cast<off_t>(size);
        const ssize_t count = ::pread(file.fd.Get(), buffer.data(), size, start);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count != static_cast<ssize_t>(size)) {
            break;
        }
        for (std::size_t i = size; i-- > 0;) {
            const char c = buffer[i];
            if (!endSkipped) {
                endSkipped = true;
                if (c == '\n') {
                    afterLineFeed = true;
                    continue;
                }
                if (c == '\r') {
                    continue;
                }
            }
            if (afterLineFeed) {
                afterLineFeed = false;
                // The CR of a CR LF belongs to the line end already passed.
                if (c == '\r') {
                    continue;
                }
            }
            if (c == '\r' || c == '\n') {
                return length;
            }
            ++length;
        }
        end = start;
    }
    return length;
}

AppendResult LinuxLogFiles::Append(const std::string& path, std::string_view text)
{
    GuardedFile file = OpenGuarded(m_calls, path, FileAccess::Append, kLogFileMode, kLogDirectoryMode);
    if (file.fd.Get() < 0) {
        return {file.place.problem, 0};
    }
    const off_t before = file.place.status.st_size;
    std::size_t written = 0;
    // No fsync: it runs on the tick, where a busy disk or a network home would freeze the
    // window for each record. The kernel writes the record out soon; records held back
    // keep their side file, which is saved durably.
    if (const int error = WriteAll(file.fd.Get(), text, written); error != 0) {
        return {Describe(error), RollBack(file.fd.Get(), before, written)};
    }
    if (const int closeError = file.fd.Close(); closeError != 0) {
        // Too late to cut the file back; whatever it grew by is in it.
        struct stat after
        {
        };
        const std::size_t kept =
            ::fstatat(file.place.folder.Get(), file.place.name.c_str(), &after, AT_SYMLINK_NOFOLLOW) == 0
                ? GrowthBeyond(before, after.st_size, written)
                : written;
        return {Describe(closeError), kept};
    }
    return {{}, text.size()};
}

std::optional<std::uint64_t> LinuxLogFiles::SizeOf(const std::string& path)
{
    const GuardedPlace place = FindGuarded(m_calls, path, MissingFolders::Leave, 0);
    if (place.error != 0 || !S_ISREG(place.status.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(std::max<off_t>(place.status.st_size, 0));
}

bool LinuxLogFiles::HoldsAt(const std::string& path, std::uint64_t offset, std::string_view text)
{
    const GuardedFile file = OpenGuarded(m_calls, path, FileAccess::Read, 0, 0);
    const off_t size = file.place.status.st_size;
    if (file.fd.Get() < 0 || static_cast<std::uint64_t>(std::max<off_t>(size, 0)) < offset ||
        static_cast<std::uint64_t>(size) - offset < text.size()) {
        return false;
    }
    std::string found(text.size(), '\0');
    std::size_t done = 0;
    while (done < found.size()) {
        const ssize_t count =
            ::pread(file.fd.Get(), found.data() + done, found.size() - done, static_cast<off_t>(offset + done));
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
    const GuardedFile file = OpenGuarded(m_calls, path, FileAccess::Read, 0, 0);
    if (file.fd.Get() < 0) {
        if (file.place.Missing() || NoSuchFile(file.place.error)) {
            return {};
        }
        return {Status::Unreadable, {}, file.place.problem};
    }
    constexpr std::string_view kTooLarge = "too large";
    if (static_cast<std::size_t>(file.place.status.st_size) > kMaxSideFileSize) {
        return {Status::Unreadable, {}, std::string(kTooLarge)};
    }
    std::string text;
    std::array<char, kReadBlock> buffer{};
    for (;;) {
        const ssize_t count = ::read(file.fd.Get(), buffer.data(), buffer.size());
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
    WholeFileSave how;
    how.newFileMode = kSideFileMode;
    how.mode = kSideFileMode;
    how.folderMode = kLogDirectoryMode;
    return ReplaceWholeFile(m_calls, path, text, how).problem;
}

std::string LinuxLogFiles::RemoveSideFile(const std::string& path)
{
    const GuardedPlace place = FindGuarded(m_calls, path, MissingFolders::Leave, 0);
    if (place.folder.Get() >= 0) {
        RemoveStaleTemporaries(place.folder.Get(), place.name);
    }
    if (place.Missing() || NoSuchFile(place.error)) {
        return {};
    }
    if (place.error != 0) {
        return place.problem;
    }
    if (::unlinkat(place.folder.Get(), place.name.c_str(), 0) != 0) {
        return NoSuchFile(errno) ? std::string() : Describe(errno);
    }
    // A removal reaches the disk only with its folder.
    const FileDescriptor folder(m_calls.OpenAt(place.folder.Get(), ".", O_RDONLY | O_DIRECTORY, 0));
    if (folder.Get() >= 0) {
        ::fsync(folder.Get());
    }
    return {};
}

} // namespace sarvendo
