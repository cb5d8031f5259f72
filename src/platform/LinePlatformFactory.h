#pragma once

#include "platform/LinePlatform.h"

#include <functional>
#include <memory>
#include <string>

namespace sarvendo {

class Clock;

struct LinePlatformOptions
{
    std::string simulate;                         // SARVENDO_SIMULATE: empty or "0" Linux, "1" built-in, else a file
    PortDeviceMap devices = DefaultPortDevices(); // COM1..COM9
    std::function<int()> monitoredPort;           // the "Default Port" as it is now
    std::string connectReportFile;                // chat's report file, for the connection speed
    const Clock* clock = nullptr;                 // the simulated modem's time
};

struct LinePlatformChoice
{
    std::unique_ptr<LinePlatformOwner> owner;
    // Set when a scenario file could not be used; the built-in scenario runs instead.
    std::string warning;
};

// The line side the program runs on: Linux, or the simulated modem.
LinePlatformChoice MakeLinePlatform(const LinePlatformOptions& options);

} // namespace sarvendo
