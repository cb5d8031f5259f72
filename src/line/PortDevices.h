#pragma once

#include "platform/LinePlatform.h"

namespace sarvendo {

class IniFile;

inline constexpr const char* kDevicesSection = "Sarvendo: Devices";

// The devices behind COM1..COM9 from the "Sarvendo: Devices" section ("COM1=/dev/ttyUSB0");
// a missing key keeps the default, an empty value unmaps the port. Only absolute paths
// are taken: anything else is ignored and keeps the default.
PortDeviceMap ReadPortDevices(const IniFile& ini);

} // namespace sarvendo
