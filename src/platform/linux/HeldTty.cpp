// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeldTty.h"

#include <cerrno>

namespace sarvendo {

HeldTty::HeldTty(SystemCalls& system) : m_system(system), m_holders(system) {}

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
    m_lost = false;
}

bool HeldTty::MeansLineGone(int result)
{
    return result == -EIO || result == -ENODEV || result == -ENXIO;
}

void HeldTty::Lose(int error)
{
    if (m_fd >= 0) {
        m_system.Close(m_fd);
    }
    m_fd = -1;
    m_lost = true;
    m_lostAt = m_system.MonotonicMs();
    m_lastError = error;
    // The retry rule starts from the loss, so the next attempt is a few seconds away.
    m_attempted = true;
    m_lastAttempt = m_lostAt;
}

int HeldTty::Check(int result)
{
    if (m_fd >= 0 && MeansLineGone(result)) {
        Lose(result);
    }
    return result;
}

bool HeldTty::WorthRetaking()
{
    // Taken back as at start-up whenever the device is there: while another program holds
    // the port, to watch its call, and once the port is free again, so that the next call's
    // ring is heard. Only a device that has gone is waited for.
    return m_system.DeviceOf(m_path).has_value();
}

int HeldTty::Descriptor(const std::string& path)
{
    if (path != m_path) {
        Release();
        m_path = path;
    }
    if (m_path.empty()) {
        return -1;
    }
    const std::uint64_t now = m_system.MonotonicMs();
    if (m_fd >= 0) {
        if (now - m_lastHangUpCheck >= kHangUpCheckMs) {
            m_lastHangUpCheck = now;
            if (m_system.PollHangUp(m_fd) > 0) {
                Lose(-EIO);
                return -1;
            }
        }
        return m_fd;
    }
    if (m_attempted && now - m_lastAttempt < kRetryMs) {
        return -1;
    }
    if (m_lost) {
        m_lastAttempt = now;
        if (!WorthRetaking()) {
            return -1;
        }
    }
    m_attempted = true;
    m_lastAttempt = now;
    const int fd = m_system.OpenTty(m_path);
    if (fd < 0) {
        m_lastError = fd;
        return -1;
    }
    m_fd = fd;
    m_lost = false;
    m_lastError = 0;
    m_lastHangUpCheck = now;
    return m_fd;
}

} // namespace sarvendo
