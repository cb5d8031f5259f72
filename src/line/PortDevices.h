// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LinePlatform.h"

#include <string>

namespace sarvendo {

class IniFile;

inline constexpr const char* kDevicesSection = "Sarvendo: Devices";

// The devices behind COM1..COM9 from the "Sarvendo: Devices" section ("COM1=/dev/ttyUSB0");
// a missing key keeps the default, an empty value unmaps the port. Only absolute paths
// are taken: anything else is ignored and keeps the default.
PortDeviceMap ReadPortDevices(const IniFile& ini);

// The file chat writes its "CONNECT <speed>" report to ("ConnectReport" in the same
// section), where pppd's connection speed is read; empty when not set or not absolute.
std::string ReadConnectReportFile(const IniFile& ini);

} // namespace sarvendo
