// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortDevices.h"

#include "core/IniFile.h"

namespace sarvendo {

PortDeviceMap ReadPortDevices(const IniFile& ini)
{
    PortDeviceMap devices = DefaultPortDevices();
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const std::string key = "COM" + std::to_string(i + 1);
        const auto value = ini.RawValue(kDevicesSection, key);
        if (!value) {
            continue;
        }
        const std::string path = ini.ReadString(kDevicesSection, key, "", 260);
        if (path.empty()) {
            devices[i].clear();
        } else if (path.front() == '/') {
            devices[i] = path;
        }
    }
    return devices;
}

std::string ReadConnectReportFile(const IniFile& ini)
{
    const std::string path = ini.ReadString(kDevicesSection, "ConnectReport", "", 260);
    return !path.empty() && path.front() == '/' ? path : std::string();
}

} // namespace sarvendo
