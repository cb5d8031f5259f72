#include "LinuxLineBackend.h"

namespace sarvendo {

LinuxLineBackend::LinuxLineBackend(PortDeviceMap devices, std::function<int()> monitoredPort,
                                   std::string connectReportFile, SystemCalls* system)
    : m_devices(devices), m_monitoredPort(std::move(monitoredPort)),
      m_system(system != nullptr ? *system : static_cast<SystemCalls&>(m_realSystem)),
      m_modemLines(m_system, devices, m_monitoredPort),
      // Touching the watch before the program opens the monitored port itself means the
      // watch's descriptor is the first and stays the last: no DTR drop at the close.
      m_serialDevices(m_system, devices, [this](int port) { m_modemLines.ReadModemControl(port); }),
      m_statusDriver(m_system, [this] { return MonitoredDevice(); }), m_dialUp(m_system, std::move(connectReportFile))
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
