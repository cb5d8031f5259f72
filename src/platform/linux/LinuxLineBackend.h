// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LinePlatform.h"
#include "platform/linux/LinuxDialUpSource.h"
#include "platform/linux/LinuxModemLines.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/LinuxStatusDriver.h"
#include "platform/linux/QtEventPump.h"
#include "platform/linux/RealSystemCalls.h"

#include <functional>
#include <string>

namespace sarvendo {

// The line side on a real Linux machine: ttys from the device map, the monitored
// port's lines on a held descriptor, the status driver module and pppd.
class LinuxLineBackend final : public LineBackend
{
public:
    // system defaults to the real system calls; tests hand in a fake kernel. report
    // receives the reasons a port cannot be watched or opened, as they change; it defaults
    // to standard error.
    LinuxLineBackend(PortDeviceMap devices, std::function<int()> monitoredPort, std::string connectReportFile,
                     SystemCalls* system = nullptr, std::function<void(const std::string&)> report = {});

    LinePlatform View() override;
    std::string Description() const override;
    std::string DescribePort(int portNumber) override;

private:
    std::string MonitoredDevice() const;

    PortDeviceMap m_devices;
    std::function<int()> m_monitoredPort;
    RealSystemCalls m_realSystem;
    SystemCalls& m_system;
    std::function<void(const std::string&)> m_report;
    LinuxModemLines m_modemLines;
    LinuxSerialDevices m_serialDevices;
    LinuxStatusDriver m_statusDriver;
    LinuxDialUpSource m_dialUp;
    QtEventPump m_eventPump;
};

} // namespace sarvendo
