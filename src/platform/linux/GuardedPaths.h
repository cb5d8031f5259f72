// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/FileCalls.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace sarvendo {

// A descriptor closed on every way out.
class FileDescriptor
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Reset(-1); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) {
            Reset(other.m_fd);
            other.m_fd = -1;
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    void Reset(int fd);
    // Closes now and returns the close's own error (0 when none), which is where some file
    // systems report a failed write.
    int Close();

private:
    int m_fd = -1;
};

// Where a path leads once every link on the way has been checked. A link is followed only
// when it belongs to the user running the program or to root: a link someone else planted
// in a shared folder must not lead a program run as root into a file of root's. Nothing
// found on the way is opened for more than a look (O_PATH), so a device is never touched.
struct GuardedPlace
{
    FileDescriptor folder; // the folder the file is or would be in (O_PATH); -1 when unreached
    std::string name;      // the file's name in that folder
    std::string path;      // the file's path with the links resolved, for messages
    FileDescriptor file;   // the file itself (O_PATH); -1 when there is none
    struct stat status
    {
    };                   // the file's status when there is one
    int error = 0;       // 0, or the errno that stopped the way (ENOENT: no such file)
    std::string problem; // why, for the user, when error is set

    // No such file, or no such folder on the way to it.
    bool Missing() const { return error == ENOENT; }
};

enum class MissingFolders
{
    Leave,
    Create,
};

GuardedPlace FindGuarded(const FileCalls& calls, const std::string& path, MissingFolders missing, mode_t folderMode);

enum class FileAccess
{
    Read,   // an existing file, read only
    Append, // written at its end; created with its folders when missing
};

// A regular file opened after its kind was checked: a FIFO, a device or a directory in its
// place is refused before anything is opened that could block or raise a line.
struct GuardedFile
{
    GuardedPlace place;
    FileDescriptor fd; // -1 when nothing could be opened; place.error and place.problem say why
};

// Opens a regular file, always without blocking and without becoming its controlling tty.
GuardedFile OpenGuarded(const FileCalls& calls, const std::string& path, FileAccess access, mode_t fileMode,
                        mode_t folderMode);

// Why the file of place must not be replaced, or nothing: its owner made it read-only, this
// user may not write it, or its folder may not be written.
std::string ReadOnlyReason(const FileCalls& calls, const GuardedPlace& place);

// A problem names the file only where it is not the one asked for (a link led elsewhere, a
// folder on the way failed): the caller names that one already. "where: " or nothing, and
// where or "it".
std::string ProblemPrefix(const std::string& where, const std::string& asked);
std::string ProblemSubject(const std::string& where, const std::string& asked);

// "a FIFO", "a directory" and the like, for messages about a file of the wrong kind.
std::string DescribeKind(mode_t mode);

} // namespace sarvendo
