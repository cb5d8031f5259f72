// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/StatusDriverDevice.h"
#include "platform/linux/HeldTty.h"
#include "platform/linux/SystemCalls.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sarvendo {

// The inside of the status driver module on Linux: it answers the nine requests for the
// watched tty as far as Linux lets an unprivileged program see it.
//
// - "Hook" takes a descriptor of the device (HeldTty) and fails only when the user may
//   not open serial devices (EACCES, EPERM); a busy or missing device is tried again later.
// - "Port open" means another process holds the device: one of its descriptors points at
//   the same device number (/proc/PID/fd, where readable), or a UUCP lock file names a
//   live process other than this one (pppd's "lock" option writes one, and pppd runs as
//   root, whose descriptors an ordinary user cannot see). The answer is cached for a
//   second, since a scan of /proc on every tick would cost more than the lamps are worth.
// - The modem status comes from TIOCMGET, the byte counts from TIOCGICOUNT increments,
//   the line parameters from TCGETS2. A driver that counts no bytes (cdc-acm answers
//   zeros, others refuse) or a tty without modem lines (a pty) answers 0: nothing is
//   made up.
// - When the last other program holding a tty with HUPCL set lets go, DTR and RTS are
//   dropped as the kernel would have dropped them at that program's close, had our own
//   descriptor not kept the tty open; but only when every holder can be seen (every
//   process's descriptors readable, no live lock of another process). Otherwise a holder
//   out of sight may still have the call, and the line is left alone.
class TtyWatcher
{
public:
    explicit TtyWatcher(SystemCalls& system);

    StatusDriverDevice::Reply Request(const std::string& device, std::uint32_t code);

    static constexpr std::uint64_t kHolderCacheMs = 1000;

private:
    bool Hook(const std::string& device);
    bool HeldByAnother(const std::string& device);
    void CloseAsTheLastHolderWould(const std::string& device);
    std::optional<SerialCounters> Counters(const std::string& device);
    std::uint32_t Take(std::uint32_t now, std::uint32_t& taken, bool& known);

    SystemCalls& m_system;
    HeldTty m_tty;
    bool m_hooked = false;
    std::string m_heldDevice;
    bool m_heldAnswer = false;
    std::uint64_t m_heldCheckedAt = 0;
    bool m_heldChecked = false;
    std::uint32_t m_takenTx = 0;
    std::uint32_t m_takenRx = 0;
    std::uint32_t m_takenRxAlt = 0;
    bool m_knownTx = false;
    bool m_knownRx = false;
    bool m_knownRxAlt = false;
};

} // namespace sarvendo
