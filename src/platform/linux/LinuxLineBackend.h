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
    // system defaults to the real system calls; tests hand in a fake kernel.
    LinuxLineBackend(PortDeviceMap devices, std::function<int()> monitoredPort, std::string connectReportFile,
                     SystemCalls* system = nullptr);

    LinePlatform View() override;
    std::string Description() const override;

private:
    std::string MonitoredDevice() const;

    PortDeviceMap m_devices;
    std::function<int()> m_monitoredPort;
    RealSystemCalls m_realSystem;
    SystemCalls& m_system;
    LinuxModemLines m_modemLines;
    LinuxSerialDevices m_serialDevices;
    LinuxStatusDriver m_statusDriver;
    LinuxDialUpSource m_dialUp;
    QtEventPump m_eventPump;
};

} // namespace sarvendo
