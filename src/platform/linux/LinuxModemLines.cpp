// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxModemLines.h"

#include "platform/TickPath.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/TtyConversions.h"

namespace sarvendo {

LinuxModemLines::LinuxModemLines(SystemCalls& system, PortDeviceMap devices, std::function<int()> monitoredPort,
                                 std::function<void(const std::string&)> report)
    : m_system(system), m_devices(std::move(devices)), m_monitoredPort(std::move(monitoredPort)), m_tty(system),
      m_report(std::move(report))
{
}

int LinuxModemLines::Descriptor(int portNumber)
{
    const int monitored = m_monitoredPort ? m_monitoredPort() : 0;
    if (portNumber != monitored || portNumber < 1 || portNumber > static_cast<int>(m_devices.size())) {
        return -1;
    }
    const std::string& device = m_devices[static_cast<std::size_t>(portNumber - 1)];
    const int fd = m_tty.Descriptor(device);
    // The user hears why the lines cannot be seen once per change of reason, not per tick.
    if (m_report && (m_tty.LastError() != m_reportedError || m_tty.Lost() != m_reportedLost)) {
        const std::string port = "Sarvendo: COM" + std::to_string(portNumber) + " (" + device + ")";
        if (m_tty.LastError() == 0) {
            m_report(port + " is watched again.");
        } else {
            m_report(port + " cannot be watched: " + WhyUnreachable(portNumber) + ".");
        }
        m_reportedError = m_tty.LastError();
        m_reportedLost = m_tty.Lost();
    }
    return fd;
}

std::optional<int> LinuxModemLines::Bits(int portNumber)
{
    const int fd = Descriptor(portNumber);
    int bits = 0;
    if (fd < 0 || m_tty.Check(m_system.GetModemBits(fd, bits)) != 0) {
        return std::nullopt;
    }
    return bits;
}

SARVENDO_TICK_PATH std::optional<std::uint8_t> LinuxModemLines::ReadModemControl(int portNumber)
{
    const auto bits = Bits(portNumber);
    if (!bits) {
        return std::nullopt;
    }
    return ModemControlFromBits(*bits);
}

SARVENDO_TICK_PATH std::optional<std::uint8_t> LinuxModemLines::ReadModemStatus(int portNumber)
{
    const auto bits = Bits(portNumber);
    if (!bits) {
        return std::nullopt;
    }
    return ModemStatusFromBits(*bits);
}

bool LinuxModemLines::WriteModemControl(int portNumber, std::uint8_t value)
{
    const int monitored = m_monitoredPort ? m_monitoredPort() : 0;
    if (portNumber != monitored || portNumber < 1 || portNumber > static_cast<int>(m_devices.size())) {
        return false;
    }
    // A write never opens the port: a value read while the lines could not be seen
    // (all zeros) must not reach a port that has just become free.
    const int fd = m_tty.HeldDescriptor(m_devices[static_cast<std::size_t>(portNumber - 1)]);
    int bits = 0;
    if (fd < 0 || m_tty.Check(m_system.GetModemBits(fd, bits)) != 0) {
        return false;
    }
    int raise = 0;
    int lower = 0;
    const bool dtr = (value & kMcrDtr) != 0;
    const bool rts = (value & kMcrRts) != 0;
    if (dtr != ((bits & kTiocmDtr) != 0)) {
        (dtr ? raise : lower) |= kTiocmDtr;
    }
    if (rts != ((bits & kTiocmRts) != 0)) {
        (rts ? raise : lower) |= kTiocmRts;
    }
    if (lower != 0 && m_tty.Check(m_system.ClearModemBits(fd, lower)) != 0) {
        return false;
    }
    return raise == 0 || m_tty.Check(m_system.SetModemBits(fd, raise)) == 0;
}

std::optional<int> LinuxModemLines::MonitoredDiscipline()
{
    const int monitored = m_monitoredPort ? m_monitoredPort() : 0;
    if (monitored < 1 || monitored > static_cast<int>(m_devices.size())) {
        return std::nullopt;
    }
    const std::string& device = m_devices[static_cast<std::size_t>(monitored - 1)];
    const int fd = m_tty.HeldDescriptor(device);
    int discipline = 0;
    if (fd >= 0 && m_tty.Check(m_system.GetLineDiscipline(fd, discipline)) == 0) {
        return discipline;
    }
    // Until the port is taken back, the link that ran on it ended with the hang-up; a pppd
    // on another line must not count meanwhile.
    if (m_tty.Path() == device && m_tty.JustLost()) {
        return 0;
    }
    return std::nullopt;
}

std::string LinuxModemLines::WhyUnreachable(int portNumber) const
{
    const int monitored = m_monitoredPort ? m_monitoredPort() : 0;
    if (portNumber != monitored) {
        return "only the monitored port is watched";
    }
    if (m_tty.Lost()) {
        return "the kernel hung up the line or the device went away; watching resumes within a few seconds "
               "while the device is there";
    }
    if (m_tty.LastError() != 0) {
        return std::string(DescribePortOpenError(LinuxSerialDevices::ErrorOf(m_tty.LastError())));
    }
    return {};
}

} // namespace sarvendo
