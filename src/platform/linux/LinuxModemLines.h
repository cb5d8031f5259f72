// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LinePlatform.h"
#include "platform/ModemLines.h"
#include "platform/linux/HeldTty.h"
#include "platform/linux/SystemCalls.h"

#include <functional>

namespace sarvendo {

// The monitored port's modem-control lines through TIOCMGET, TIOCMBIS and TIOCMBIC on a
// descriptor held from the first look to the end (see HeldTty). Only the monitored port
// is watched: other ports read as empty, so looking at them never opens them. A write
// changes only DTR and RTS; the other bits of the control register stay as the driver
// keeps them.
class LinuxModemLines final : public ModemLines
{
public:
    // report, when given, hears why the monitored port cannot be watched each time the
    // reason changes, and when it can be watched again.
    LinuxModemLines(SystemCalls& system, PortDeviceMap devices, std::function<int()> monitoredPort,
                    std::function<void(const std::string&)> report = {});

    std::optional<std::uint8_t> ReadModemControl(int portNumber) override;
    std::optional<std::uint8_t> ReadModemStatus(int portNumber) override;
    bool WriteModemControl(int portNumber, std::uint8_t value) override;
    std::string WhyUnreachable(int portNumber) const override;

    // -errno of the last failed open of the monitored port (-EBUSY: pppd has it locked).
    int LastOpenError() const { return m_tty.LastError(); }

    // The line discipline of the monitored port (TIOCGETD) while its descriptor is held;
    // N_TTY for a few seconds after the kernel hung the line up, since a hung-up tty
    // carries no link; else nullopt. Never opens the port.
    std::optional<int> MonitoredDiscipline();

private:
    int Descriptor(int portNumber);
    std::optional<int> Bits(int portNumber);

    SystemCalls& m_system;
    PortDeviceMap m_devices;
    std::function<int()> m_monitoredPort;
    HeldTty m_tty;
    std::function<void(const std::string&)> m_report;
    int m_reportedError = 0;
    bool m_reportedLost = false;
};

} // namespace sarvendo
