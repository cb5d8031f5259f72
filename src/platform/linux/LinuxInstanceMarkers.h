// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/InstanceMarkers.h"

#include <map>
#include <string>

namespace sarvendo {

// A marker is an exclusive flock on a lock file "<name>.lock" in the runtime directory
// ($XDG_RUNTIME_DIR, else a private directory of the user's, /tmp/sarvendo-UID, or
// ~/.cache/sarvendo-UID when another user has taken that name). Only a lock file of the
// user's own counts. The kernel drops the lock when the
// holding process ends in any way, so the file left on disk means nothing by itself.
// The descriptor is close-on-exec, so programs this one starts do not inherit the lock.
// When no lock file can be made at all, Hold succeeds: a guard that cannot work must not
// keep the program from starting.
class LinuxInstanceMarkers final : public InstanceMarkers
{
public:
    // An empty directory means the default one described above.
    explicit LinuxInstanceMarkers(std::string directory = {});
    ~LinuxInstanceMarkers() override;
    LinuxInstanceMarkers(const LinuxInstanceMarkers&) = delete;
    LinuxInstanceMarkers& operator=(const LinuxInstanceMarkers&) = delete;

    bool Hold(const std::string& name) override;
    void Release(const std::string& name) override;

    // The lock file of a name; names are escaped so that any text gives one plain file.
    std::string LockFilePath(const std::string& name) const;
    // A socket's path beside the lock file of a name, in the same private directory;
    // empty where no directory could be had.
    std::string SocketPath(const std::string& name) const;

    // parent/sarvendo-UID, made when missing, as a directory only this user may enter;
    // empty when that name is taken by anything else (a link, a file, another user's).
    static std::string PrivateDirectory(const std::string& parent);

private:
    std::string m_directory;
    std::map<std::string, int> m_held; // name -> locked descriptor
};

} // namespace sarvendo
