// SPDX-License-Identifier: GPL-3.0-or-later
#include "TtyWatcher.h"

#include "platform/TickPath.h"
#include "platform/linux/TtyConversions.h"

#include <cerrno>

namespace sarvendo {
namespace {

constexpr std::uint32_t kPortOpenAnswer = 4;

} // namespace

TtyWatcher::TtyWatcher(SystemCalls& system) : m_system(system), m_tty(system) {}

SARVENDO_TICK_PATH StatusDriverDevice::Reply TtyWatcher::Request(const std::string& device, std::uint32_t code)
{
    using Reply = StatusDriverDevice::Reply;
    if (device != m_tty.Path()) {
        // Another port is watched now: its counts start afresh.
        m_knownTx = m_knownRx = m_knownRxAlt = false;
        m_heldChecked = false;
    }
    switch (code) {
    case kHookComm:
        return Reply{Hook(device), 0, 0};
    case kUnhookComm:
        m_hooked = false;
        m_tty.Release();
        return Reply{true, 0, 0};
    case kQueryPortOpen:
        return Reply{true, HeldByAnother(device) ? kPortOpenAnswer : 0U, 0};
    case kReadLineStatus: {
        const int fd = m_tty.Descriptor(device);
        int bits = 0;
        if (fd < 0 || m_tty.Check(m_system.GetModemBits(fd, bits)) != 0) {
            return Reply{false, 0, 0};
        }
        return Reply{true, ModemStatusFromBits(bits), 0};
    }
    case kTakeSentCount:
    case kTakeReceivedCount:
    case kTakeReceivedCountAlt: {
        const auto counters = Counters(device);
        if (!counters) {
            return Reply{false, 0, 0};
        }
        if (code == kTakeSentCount) {
            return Reply{true, Take(counters->tx, m_takenTx, m_knownTx), 0};
        }
        if (code == kTakeReceivedCount) {
            return Reply{true, Take(counters->rx, m_takenRx, m_knownRx), 0};
        }
        return Reply{true, Take(counters->rx, m_takenRxAlt, m_knownRxAlt), 0};
    }
    case kReadBaudParity:
    case kReadFrameFormat: {
        const int fd = m_tty.Descriptor(device);
        TtySettings settings;
        if (fd < 0 || m_tty.Check(m_system.GetSettings(fd, settings)) != 0) {
            return Reply{false, 0, 0};
        }
        const Dcb dcb = DcbFromSettings(settings);
        if (code == kReadBaudParity) {
            return Reply{true, dcb.BaudRate, dcb.Parity};
        }
        return Reply{true, dcb.ByteSize, dcb.StopBits};
    }
    default:
        return Reply{false, 0, 0};
    }
}

bool TtyWatcher::Hook(const std::string& device)
{
    m_hooked = true;
    if (device.empty()) {
        return true;
    }
    m_tty.Descriptor(device);
    const int error = m_tty.LastError();
    return error != -EACCES && error != -EPERM;
}

SARVENDO_TICK_PATH std::optional<SerialCounters> TtyWatcher::Counters(const std::string& device)
{
    const int fd = m_tty.Descriptor(device);
    SerialCounters counters;
    if (fd < 0 || m_tty.Check(m_system.GetCounters(fd, counters)) != 0) {
        return std::nullopt;
    }
    return counters;
}

SARVENDO_TICK_PATH std::uint32_t TtyWatcher::Take(std::uint32_t now, std::uint32_t& taken, bool& known)
{
    // The first look only sets the base: what flowed before the watch began is not news.
    const std::uint32_t step = known ? now - taken : 0;
    taken = now;
    known = true;
    return step > 0x7FFFFFFFU ? 0 : step;
}

bool TtyWatcher::HeldByAnother(const std::string& device)
{
    if (device.empty()) {
        return false;
    }
    const std::uint64_t now = m_system.MonotonicMs();
    if (m_heldChecked && m_heldDevice == device && now - m_heldCheckedAt < kHolderCacheMs) {
        return m_heldAnswer;
    }
    const bool wasHeld = m_heldChecked && m_heldDevice == device && m_heldAnswer;
    m_heldChecked = true;
    m_heldDevice = device;
    m_heldCheckedAt = now;
    m_heldAnswer = false;

    // Our own descriptor keeps counting and reading going even while nobody else has it.
    m_tty.Descriptor(device);
    if (m_tty.LastError() == -EBUSY) {
        // Locked exclusively (TIOCEXCL): someone else certainly holds it.
        m_heldAnswer = true;
        return true;
    }
    m_heldAnswer = m_tty.Holders().HeldByAnother(device);
    if (wasHeld && !m_heldAnswer) {
        CloseAsTheLastHolderWould(device);
    }
    return m_heldAnswer;
}

void TtyWatcher::CloseAsTheLastHolderWould(const std::string& device)
{
    // Our descriptor keeps the tty open, so the close of the program that just let go was
    // not the last one, and the kernel did not drop DTR for it. A dialer that relies on
    // HUPCL to end the call when it exits (a terminal program, pppd with "local") would
    // leave the call up; what its close would have done is done here instead.
    // Only when every holder can be seen, though: a holder this user cannot see (a root
    // getty, a root pppd still in its chat phase) may have the line still, and dropping DTR
    // would end its call. Then the line is left alone, and "sarvendo --ports" says so.
    const int fd = m_tty.HeldDescriptor(device);
    TtySettings settings;
    if (fd < 0 || m_tty.Check(m_system.GetSettings(fd, settings)) != 0 || (settings.cflag & kHupcl) == 0 ||
        !SeeHolders(m_system, device).EveryHolderSeen()) {
        return;
    }
    m_tty.Check(m_system.ClearModemBits(fd, kTiocmDtr | kTiocmRts));
}

} // namespace sarvendo
