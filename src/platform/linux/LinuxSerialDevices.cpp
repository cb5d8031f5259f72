// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxSerialDevices.h"

#include "platform/linux/PortDiagnosis.h"
#include "platform/linux/TtyConversions.h"
#include "platform/linux/TtyHolders.h"

#include <cerrno>

namespace sarvendo {

LinuxSerialDevices::LinuxSerialDevices(SystemCalls& system, PortDeviceMap devices, std::function<void(int)> touchWatch,
                                       std::function<void(const std::string&)> report)
    : m_system(system), m_devices(std::move(devices)), m_touchWatch(std::move(touchWatch)), m_report(std::move(report))
{
}

SerialDevices::OpenResult LinuxSerialDevices::Refuse(int portNumber, PortOpenError error, const std::string& why) const
{
    if (m_report) {
        std::string text = "Sarvendo: COM" + std::to_string(portNumber) + " (" + DeviceName(portNumber) +
                           ") cannot be opened: " + std::string(DescribePortOpenError(error));
        if (!why.empty()) {
            text += " (" + why + ")";
        } else if (error == PortOpenError::Busy || error == PortOpenError::InUse) {
            const auto holders = DescribeHolders(m_system, DeviceName(portNumber));
            for (std::size_t i = 0; i < holders.size(); ++i) {
                text += (i == 0 ? " (held by " : ", ") + holders[i];
            }
            text += holders.empty() ? "" : ")";
        }
        m_report(text + ".");
    }
    return {nullptr, error};
}

PortOpenError LinuxSerialDevices::ErrorOf(int negativeErrno)
{
    switch (-negativeErrno) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case EIO: // an 8250 port without a UART behind it
        return PortOpenError::Missing;
    case EBUSY:
        return PortOpenError::Busy;
    case EACCES:
    case EPERM:
        return PortOpenError::NoPermission;
    case ENOTTY:
        return PortOpenError::NotASerialPort;
    default:
        return PortOpenError::Failed;
    }
}

SerialDevices::OpenResult LinuxSerialDevices::Open(int portNumber, Purpose purpose)
{
    if (portNumber < 1 || portNumber > static_cast<int>(m_devices.size()) ||
        m_devices[static_cast<std::size_t>(portNumber - 1)].empty()) {
        return {nullptr, PortOpenError::NotMapped};
    }
    if (m_touchWatch) {
        m_touchWatch(portNumber);
    }
    const std::string& path = m_devices[static_cast<std::size_t>(portNumber - 1)];
    if (purpose == Purpose::ReadWrite) {
        // Talking to the modem would change the line settings under the other program
        // and mix our bytes into its data: the port counts as busy, as it would have on
        // a system that enforced exclusive opens. The user hears which kind of busy.
        if (const auto owner = LockOwner(m_system, path)) {
            return Refuse(portNumber, PortOpenError::Locked,
                          "a UUCP lock file names process " + std::to_string(*owner));
        }
        if (!ProcessesHolding(m_system, path, true).empty()) {
            return Refuse(portNumber, PortOpenError::InUse);
        }
    }
    std::unique_ptr<UucpLock> lock;
    if (purpose == Purpose::ReadWrite) {
        // Holders this user cannot see in /proc (a root getty, another user's dialer) are
        // kept off by the lock, and keep us off by theirs.
        lock = std::make_unique<UucpLock>(m_system);
        const auto taken = lock->Take(path);
        if (taken == UucpLock::Result::Busy) {
            return Refuse(portNumber, PortOpenError::Locked, lock->Why());
        }
        if (taken == UucpLock::Result::Unavailable) {
            if (m_report) {
                m_report("Sarvendo: COM" + std::to_string(portNumber) + " (" + path + ") is used without a lock: " +
                         lock->Why() + "; other programs are not told that the port is in use.");
            }
            lock.reset();
        }
    }
    const int fd = m_system.OpenTty(path);
    if (fd < 0) {
        return Refuse(portNumber, ErrorOf(fd));
    }
    auto port = std::make_unique<LinuxSerialPort>(m_system, fd, std::move(lock));
    TtySettings settings;
    const int query = m_system.GetSettings(fd, settings);
    if (query == -ENOTTY) {
        // A file or a pipe at the configured path is no serial port.
        return Refuse(portNumber, PortOpenError::NotASerialPort);
    }
    return {std::move(port), PortOpenError::None};
}

std::string LinuxSerialDevices::DeviceName(int portNumber) const
{
    if (portNumber < 1 || portNumber > static_cast<int>(m_devices.size())) {
        return {};
    }
    return m_devices[static_cast<std::size_t>(portNumber - 1)];
}

LinuxSerialPort::LinuxSerialPort(SystemCalls& system, int fd, std::unique_ptr<UucpLock> lock)
    : m_system(system), m_lock(std::move(lock)), m_fd(fd)
{
}

LinuxSerialPort::~LinuxSerialPort()
{
    m_system.Close(m_fd);
}

bool LinuxSerialPort::GetCommState(Dcb& dcb)
{
    TtySettings settings;
    if (m_system.GetSettings(m_fd, settings) != 0) {
        return false;
    }
    dcb = DcbFromSettings(settings);
    return true;
}

bool LinuxSerialPort::SetCommState(const Dcb& dcb)
{
    TtySettings settings;
    if (m_system.GetSettings(m_fd, settings) != 0) {
        return false;
    }
    // The old system refused these combinations; so does this one rather than send
    // something the modem cannot frame.
    if ((dcb.StopBits == kOneAndHalfStopBits && dcb.ByteSize != 5) ||
        (dcb.StopBits == kTwoStopBits && dcb.ByteSize == 5) || dcb.BaudRate == 0) {
        return false;
    }
    return m_system.SetSettings(m_fd, SettingsFromDcb(dcb, settings)) == 0;
}

std::optional<std::size_t> LinuxSerialPort::InputQueue()
{
    int count = 0;
    if (m_system.InputQueue(m_fd, count) != 0 || count < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(count);
}

std::size_t LinuxSerialPort::Read(std::span<std::uint8_t> buffer)
{
    const long n = m_system.Read(m_fd, buffer.data(), buffer.size());
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

std::size_t LinuxSerialPort::Write(std::string_view bytes, int milliseconds)
{
    std::size_t written = 0;
    const std::uint64_t start = m_system.MonotonicMs();
    const auto limit = static_cast<std::uint64_t>(std::max(milliseconds, 0));
    // A non-blocking tty takes a long string in parts, and nothing while its output queue
    // is full: the rest goes out as the queue drains, never the part already sent again.
    while (written < bytes.size()) {
        const long n = m_system.Write(m_fd, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n != 0 && n != -EAGAIN && n != -EINTR) {
            break;
        }
        const std::uint64_t elapsed = m_system.MonotonicMs() - start;
        if (elapsed >= limit || m_system.WaitWritable(m_fd, static_cast<int>(limit - elapsed)) <= 0) {
            break;
        }
    }
    return written;
}

void LinuxSerialPort::WaitReadable(int milliseconds)
{
    m_system.WaitReadable(m_fd, milliseconds);
}

} // namespace sarvendo
