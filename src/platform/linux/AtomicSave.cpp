// SPDX-License-Identifier: GPL-3.0-or-later
#include "AtomicSave.h"

#include "platform/linux/GuardedPaths.h"
#include "platform/linux/Temporaries.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sarvendo {

WholeFileSaveResult ReplaceWholeFile(const FileCalls& calls, const std::string& path, std::string_view text,
                                     const WholeFileSave& how)
{
    const GuardedPlace place = FindGuarded(calls, path, MissingFolders::Create, how.folderMode);
    if (place.error != 0 && (!place.Missing() || place.folder.Get() < 0)) {
        return {place.problem};
    }
    if (!place.Missing() && !S_ISREG(place.status.st_mode)) {
        // A device, a FIFO or a directory in the file's place is not ours to replace.
        return {ProblemSubject(place.path, path) + " is " + DescribeKind(place.status.st_mode) +
                ", not a regular file"};
    }
    if (std::string reason = ReadOnlyReason(calls, place); !reason.empty()) {
        return {std::move(reason), true};
    }

    std::string temporary;
    FileDescriptor file(CreateTemporaryIn(place.folder.Get(), place.name, how.newFileMode, temporary));
    if (file.Get() < 0) {
        return {ProblemPrefix(place.path, path) + "no temporary file could be made beside it: " + std::strerror(errno)};
    }
    int error = 0;
    if (how.mode || !place.Missing()) {
        const mode_t mode = how.mode ? *how.mode : place.status.st_mode & 07777;
        error = ::fchmod(file.Get(), mode) == 0 ? 0 : errno;
    }
    if (error == 0) {
        std::size_t written = 0;
        error = WriteAll(file.Get(), text, written);
    }
    if (error == 0 && ::fsync(file.Get()) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = file.Close();
    }
    if (error == 0 && ::renameat(place.folder.Get(), temporary.c_str(), place.folder.Get(), place.name.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlinkat(place.folder.Get(), temporary.c_str(), 0);
        return {ProblemPrefix(place.path, path) + std::strerror(error)};
    }
    // The rename itself must reach the disk too, or a crash could bring back the old file.
    const FileDescriptor folder(calls.OpenAt(place.folder.Get(), ".", O_RDONLY | O_DIRECTORY, 0));
    if (folder.Get() >= 0) {
        ::fsync(folder.Get());
    }
    RemoveStaleTemporaries(place.folder.Get(), place.name);
    return {};
}

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

} // namespace sarvendo
