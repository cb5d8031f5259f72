// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/SystemCalls.h"
#include "platform/linux/TtyHolders.h"

#include <cstdint>
#include <string>

namespace sarvendo {

// One descriptor of a watched tty, opened at the first look and kept until the watched
// device changes, the holder goes, or the kernel takes the line away. Holding it is what
// keeps watching from disturbing the line: the open that raises DTR and RTS happens once,
// and as long as it is held no close of anyone else's can be the "last close" that drops
// DTR on a connected modem, nor can ours while another program still has the port. It
// never changes the tty's settings. A failed open is tried again at most every few
// seconds, so a port that pppd has locked (EBUSY) is picked up once it is free without
// hammering the kernel every tick.
//
// A descriptor the kernel has hung up (a carrier loss with CLOCAL clear: every later
// ioctl answers EIO, poll says POLLHUP) or whose device has gone (a USB unplug: ENODEV,
// ENXIO) is let go at once, so an unplugged modem's old device number is not kept busy.
// A few seconds later it is taken again as at start-up, whether another program still
// holds the port or it is free, as long as the device node is there: the next call's
// ring, and the lines of an idle modem, are seen again without waiting for a dialer.
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

    // Passes on what a call on the descriptor answered; an answer that means the line was
    // hung up or the device has gone lets the descriptor go.
    int Check(int result);

    // -errno of the last failed open or of the loss of the line, 0 while held or before
    // any attempt.
    int LastError() const { return m_lastError; }
    // True after the kernel took the line away, until the descriptor is taken again.
    bool Lost() const { return m_lost; }
    // True from the loss until the first attempt to take the descriptor back has been
    // made (at the latest twice the retry time later, should nobody ask for it).
    bool JustLost() const
    {
        return m_lost && m_lastAttempt == m_lostAt && m_system.MonotonicMs() - m_lostAt < 2 * kRetryMs;
    }
    const std::string& Path() const { return m_path; }
    void Release();

    // Who else holds the tty, kept cheap to ask again and again.
    HolderWatch& Holders() { return m_holders; }

    static constexpr std::uint64_t kRetryMs = 3000;
    // How often a held descriptor is asked whether the kernel has hung it up.
    static constexpr std::uint64_t kHangUpCheckMs = 500;

    // True for the answers that mean the line is gone for this descriptor.
    static bool MeansLineGone(int result);

private:
    void Lose(int error);
    bool WorthRetaking();

    SystemCalls& m_system;
    HolderWatch m_holders;
    std::string m_path;
    int m_fd = -1;
    int m_lastError = 0;
    bool m_attempted = false;
    std::uint64_t m_lastAttempt = 0;
    std::uint64_t m_lastHangUpCheck = 0;
    bool m_lost = false;
    std::uint64_t m_lostAt = 0;
};

} // namespace sarvendo
