// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/FileCalls.h"

#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace sarvendo::fakes {

// The real file calls over a test's own folder, with a played kernel on top: a file can be
// made to look like a tty or a FIFO, a link like someone else's, and the user like anyone.
// Every open of a file that plays a device, other than a look (O_PATH), is counted: the
// real file behind it is harmless, but on a real system that open would have touched the
// device.
class FakeFileCalls final : public FileCalls
{
public:
    // The file (or link) at path answers fstat with this kind and owner from now on.
    void PlayKind(const std::string& path, mode_t kind) { m_kinds[Identity(path)] = kind; }
    void PlayOwner(const std::string& path, uid_t owner) { m_owners[Identity(path)] = owner; }

    int OpenAt(int directory, const std::string& name, int flags, mode_t mode) const override
    {
        const int fd = m_real.OpenAt(directory, name, flags, mode);
        struct stat info
        {
        };
        if (fd >= 0 && (flags & O_PATH) == 0 && ::fstat(fd, &info) == 0 &&
            m_kinds.count({info.st_dev, info.st_ino}) != 0) {
            ++deviceOpens;
        }
        return fd;
    }
    int Status(int fd, struct stat& info) const override
    {
        const int result = m_real.Status(fd, info);
        if (result == 0) {
            if (const auto kind = m_kinds.find({info.st_dev, info.st_ino}); kind != m_kinds.end()) {
                info.st_mode = (info.st_mode & ~S_IFMT) | kind->second;
            }
            if (const auto owner = m_owners.find({info.st_dev, info.st_ino}); owner != m_owners.end()) {
                info.st_uid = owner->second;
            }
        }
        return result;
    }
    uid_t User() const override { return user; }

    uid_t user = ::geteuid();
    mutable int deviceOpens = 0;

private:
    static std::pair<dev_t, ino_t> Identity(const std::string& path)
    {
        struct stat info
        {
        };
        ::lstat(path.c_str(), &info);
        return {info.st_dev, info.st_ino};
    }

    RealFileCalls m_real;
    std::map<std::pair<dev_t, ino_t>, mode_t> m_kinds;
    std::map<std::pair<dev_t, ino_t>, uid_t> m_owners;
};

} // namespace sarvendo::fakes
