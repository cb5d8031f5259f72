// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxInstanceMarkers.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

std::string DefaultDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    if (std::string inTmp = LinuxInstanceMarkers::PrivateDirectory("/tmp"); !inTmp.empty()) {
        return inTmp;
    }
    // Someone else took /tmp's name first: the user's own cache directory is safe from them.
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        const std::string cache = std::string(home) + "/.cache";
        mkdir(cache.c_str(), 0700);
        return LinuxInstanceMarkers::PrivateDirectory(cache);
    }
    return {};
}

} // namespace

LinuxInstanceMarkers::LinuxInstanceMarkers(std::string directory)
    : m_directory(directory.empty() ? DefaultDirectory() : std::move(directory))
{
}

std::string LinuxInstanceMarkers::PrivateDirectory(const std::string& parent)
{
    const uid_t uid = getuid();
    const std::string path = parent + "/sarvendo-" + std::to_string(uid);
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    // Whatever is there must be a real directory of this user that only this user can
    // enter: another user who made it first could otherwise hold the lock and keep the
    // program from ever starting, or swap the lock file.
    struct stat info
    {
    };
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != uid) {
        return {};
    }
    if ((info.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) {
        return {};
    }
    return path;
}

LinuxInstanceMarkers::~LinuxInstanceMarkers()
{
    for (const auto& [name, descriptor] : m_held) {
        close(descriptor);
    }
}

std::string LinuxInstanceMarkers::LockFilePath(const std::string& name) const
{
    std::string escaped;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '_';
        if (plain) {
            escaped += c;
        } else {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", byte);
            escaped += code;
        }
    }
    return m_directory + "/" + escaped + ".lock";
}

std::string LinuxInstanceMarkers::SocketPath(const std::string& name) const
{
    if (m_directory.empty()) {
        return {};
    }
    std::string path = LockFilePath(name);
    path.replace(path.size() - std::string_view(".lock").size(), std::string_view::npos, ".socket");
    return path;
}

bool LinuxInstanceMarkers::Hold(const std::string& name)
{
    if (m_held.contains(name)) {
        return true;
    }
    if (m_directory.empty()) {
        return true;
    }
    const std::string path = LockFilePath(name);
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
        return true;
    }
    // A lock file of someone else's says nothing about this user's copies.
    struct stat info
    {
    };
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) {
        close(descriptor);
        return true;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(descriptor);
        return error != EWOULDBLOCK;
    }
    m_held.emplace(name, descriptor);
    return true;
}

void LinuxInstanceMarkers::Release(const std::string& name)
{
    const auto found = m_held.find(name);
    if (found == m_held.end()) {
        return;
    }
    close(found->second);
    m_held.erase(found);
}

} // namespace sarvendo
