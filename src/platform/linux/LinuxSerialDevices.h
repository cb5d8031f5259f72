// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LinePlatform.h"
#include "platform/SerialDevices.h"
#include "platform/linux/SystemCalls.h"
#include "platform/linux/UucpLock.h"

#include <functional>
#include <memory>

namespace sarvendo {

class ModemLines;

// Serial ports by their device paths (the "Sarvendo: Devices" map). An open is
// open(O_RDWR | O_NOCTTY | O_NONBLOCK); EBUSY (pppd's exclusive lock) and EACCES count as
// "cannot be opened" and say why. An open to talk to the modem is refused as busy while
// another process holds the port, even when the kernel would allow it. Before the monitored port is opened for a probe
// or the modem exchange, the line watch takes its own descriptor first (through touchWatch), so the later close of this
// short-lived one is never the last close that would drop DTR. For the modem exchange
// the port is locked the UUCP way (LCK..ttyS0) from before the open until the close, and
// a live lock of anyone else's means busy; where no lock can be made at all, the exchange
// goes ahead without one and the report says so.
class LinuxSerialDevices final : public SerialDevices
{
public:
    // report, when given, hears every refused open with its reason.
    LinuxSerialDevices(SystemCalls& system, PortDeviceMap devices, std::function<void(int)> touchWatch,
                       std::function<void(const std::string&)> report = {});

    OpenResult Open(int portNumber, Purpose purpose) override;
    std::string DeviceName(int portNumber) const override;

    static PortOpenError ErrorOf(int negativeErrno);

private:
    SystemCalls& m_system;
    PortDeviceMap m_devices;
    OpenResult Refuse(int portNumber, PortOpenError error, const std::string& why = {}) const;

    std::function<void(int)> m_touchWatch;
    std::function<void(const std::string&)> m_report;
};

// One open tty; the descriptor closes with it.
class LinuxSerialPort final : public SerialPort
{
public:
    // lock, when given, is given back after the descriptor is closed.
    LinuxSerialPort(SystemCalls& system, int fd, std::unique_ptr<UucpLock> lock = nullptr);
    ~LinuxSerialPort() override;
    LinuxSerialPort(const LinuxSerialPort&) = delete;
    LinuxSerialPort& operator=(const LinuxSerialPort&) = delete;

    bool GetCommState(Dcb& dcb) override;
    bool SetCommState(const Dcb& dcb) override;
    std::optional<std::size_t> InputQueue() override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    std::size_t Write(std::string_view bytes, int milliseconds) override;
    void WaitReadable(int milliseconds) override;

private:
    SystemCalls& m_system;
    std::unique_ptr<UucpLock> m_lock; // declared first: destroyed after the close
    int m_fd;
};

} // namespace sarvendo
