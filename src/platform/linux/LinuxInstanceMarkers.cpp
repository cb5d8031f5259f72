#include "LinuxInstanceMarkers.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace sarvendo {
namespace {

std::string DefaultDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return runtime;
    }
    return "/tmp";
}

} // namespace

LinuxInstanceMarkers::LinuxInstanceMarkers(std::string directory)
    : m_directory(directory.empty() ? DefaultDirectory() : std::move(directory))
{
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
    // /tmp is shared by all users, so the name there carries the user's id.
    const std::string prefix = m_directory == "/tmp" ? "sarvendo-" + std::to_string(getuid()) + "-" : std::string();
    return m_directory + "/" + prefix + escaped + ".lock";
}

bool LinuxInstanceMarkers::Hold(const std::string& name)
{
    if (m_held.contains(name)) {
        return true;
    }
    const std::string path = LockFilePath(name);
    const int descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (descriptor < 0) {
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
