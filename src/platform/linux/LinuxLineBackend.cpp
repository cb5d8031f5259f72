// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxLineBackend.h"

#include "platform/linux/PortDiagnosis.h"

#include <cstdio>

namespace sarvendo {

LinuxLineBackend::LinuxLineBackend(PortDeviceMap devices, std::function<int()> monitoredPort,
                                   std::string connectReportFile, SystemCalls* system,
                                   std::function<void(const std::string&)> report)
    : m_devices(devices), m_monitoredPort(std::move(monitoredPort)),
      m_system(system != nullptr ? *system : static_cast<SystemCalls&>(m_realSystem)),
      m_report(report ? std::move(report) : [](const std::string& text) {
          // C stdio: the C++ streams would load the library's locale machinery for this line.
          std::fprintf(stderr, "%s\n", text.c_str());
      }),
      m_modemLines(m_system, devices, m_monitoredPort, m_report),
      // Touching the watch before the program opens the monitored port itself means the
      // watch's descriptor is the first and stays the last: no DTR drop at the close.
      m_serialDevices(
          m_system, devices, [this](int port) { m_modemLines.ReadModemControl(port); }, m_report),
      m_statusDriver(m_system, [this] { return MonitoredDevice(); }),
      m_dialUp(
          m_system, std::move(connectReportFile), [this] { return MonitoredDevice(); },
          [this] { return m_modemLines.MonitoredDiscipline(); })
{
}

std::string LinuxLineBackend::MonitoredDevice() const
{
    const int port = m_monitoredPort ? m_monitoredPort() : 0;
    if (port < 1 || port > static_cast<int>(m_devices.size())) {
        return {};
    }
    return m_devices[static_cast<std::size_t>(port - 1)];
}

LinePlatform LinuxLineBackend::View()
{
    return LinePlatform{m_serialDevices, m_modemLines, m_statusDriver, m_dialUp, m_eventPump};
}

std::string LinuxLineBackend::Description() const
{
    const std::string device = MonitoredDevice();
    if (device.empty()) {
        return "Linux";
    }
    const int error = m_modemLines.LastOpenError();
    if (error == 0) {
        return "Linux, " + device;
    }
    // Why the lines of the watched port cannot be seen, in words the user can act on.
    return "Linux, " + device + " (" + std::string(DescribePortOpenError(LinuxSerialDevices::ErrorOf(error))) + ")";
}

} // namespace sarvendo

namespace sarvendo {

std::string LinuxLineBackend::DescribePort(int portNumber)
{
    const std::string name = "COM" + std::to_string(portNumber);
    if (portNumber < 1 || portNumber > static_cast<int>(m_devices.size())) {
        return {};
    }
    const std::string& device = m_devices[static_cast<std::size_t>(portNumber - 1)];
    if (device.empty()) {
        return name + "  (no device configured)\n";
    }
    return name + "  " + device + "\n" + FormatPortDiagnosis(DiagnosePort(m_system, device));
}

} // namespace sarvendo
