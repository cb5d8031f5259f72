// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LinePlatform.h"

#include <functional>
#include <memory>
#include <string>

namespace sarvendo {

class Clock;

struct LineBackendOptions
{
    std::string simulate;                         // SARVENDO_SIMULATE: empty or "0" Linux, "1" built-in, else a file
    PortDeviceMap devices = DefaultPortDevices(); // COM1..COM9
    std::function<int()> monitoredPort;           // the "Default Port" as it is now
    std::string connectReportFile;                // chat's report file, for the connection speed
    const Clock* clock = nullptr;                 // the simulated modem's time
};

struct LineBackendChoice
{
    std::unique_ptr<LineBackend> owner;
    // Set when a scenario file could not be used; the built-in scenario runs instead.
    std::string warning;
};

// The line side the program runs on: Linux, or the simulated modem.
LineBackendChoice MakeLineBackend(const LineBackendOptions& options);

} // namespace sarvendo
