#include "HeldTty.h"

namespace sarvendo {

HeldTty::HeldTty(SystemCalls& system) : m_system(system) {}

HeldTty::~HeldTty()
{
    Release();
}

void HeldTty::Release()
{
    if (m_fd >= 0) {
        m_system.Close(m_fd);
    }
    m_fd = -1;
    m_attempted = false;
    m_lastError = 0;
}

int HeldTty::Descriptor(const std::string& path)
{
    if (path != m_path) {
        Release();
        m_path = path;
    }
    if (m_fd >= 0 || m_path.empty()) {
        return m_fd;
    }
    const std::uint64_t now = m_system.MonotonicMs();
    if (m_attempted && now - m_lastAttempt < kRetryMs) {
        return -1;
    }
    m_attempted = true;
    m_lastAttempt = now;
    const int fd = m_system.OpenTty(m_path);
    if (fd < 0) {
        m_lastError = fd;
        return -1;
    }
    m_fd = fd;
    m_lastError = 0;
    return m_fd;
}

} // namespace sarvendo
