// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace sarvendo {

// The calls through which every file the user can name (the settings file, the logs and
// their side files) is opened and looked at. Each returns a descriptor or 0 on success and
// minus errno on failure. A test plays a kernel in which a file is a device or a link
// belongs to someone else, and counts what was opened, without any device being touched.
class FileCalls
{
public:
    virtual ~FileCalls() = default;

    // openat(directory, name, flags | O_CLOEXEC, mode).
    virtual int OpenAt(int directory, const std::string& name, int flags, mode_t mode) const = 0;
    // fstat(fd, &info).
    virtual int Status(int fd, struct stat& info) const = 0;
    // The effective user, whose own links and root's are followed.
    virtual uid_t User() const = 0;
};

// The calls as the kernel answers them.
class RealFileCalls final : public FileCalls
{
public:
    int OpenAt(int directory, const std::string& name, int flags, mode_t mode) const override;
    int Status(int fd, struct stat& info) const override;
    uid_t User() const override;
};

} // namespace sarvendo
