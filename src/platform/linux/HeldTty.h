#pragma once

#include "platform/linux/SystemCalls.h"

#include <cstdint>
#include <string>

namespace sarvendo {

// One descriptor of a watched tty, opened at the first look and kept until the watched
// device changes or the holder goes. Holding it is what keeps watching from disturbing
// the line: the open that raises DTR and RTS happens once, and as long as it is held no
// close of anyone else's can be the "last close" that drops DTR on a connected modem, nor
// can ours while another program still has the port. It never changes the tty's settings.
// A failed open is tried again at most every few seconds, so a port that pppd has locked
// (EBUSY) is picked up once it is free without hammering the kernel every tick.
class HeldTty
{
public:
    explicit HeldTty(SystemCalls& system);
    ~HeldTty();
    HeldTty(const HeldTty&) = delete;
    HeldTty& operator=(const HeldTty&) = delete;

    // The descriptor of path, or -1 when it cannot be had (now). An empty path releases.
    int Descriptor(const std::string& path);

    // The descriptor of path if it is already held; never opens.
    int HeldDescriptor(const std::string& path) const { return path == m_path ? m_fd : -1; }

    // -errno of the last failed open, 0 while held or before any attempt.
    int LastError() const { return m_lastError; }
    const std::string& Path() const { return m_path; }
    void Release();

    static constexpr std::uint64_t kRetryMs = 3000;

private:
    SystemCalls& m_system;
    std::string m_path;
    int m_fd = -1;
    int m_lastError = 0;
    bool m_attempted = false;
    std::uint64_t m_lastAttempt = 0;
};

} // namespace sarvendo
