// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>
#include <string>

namespace sarvendo {

class DialUpSource;
class EventPump;
class ModemLines;
class SerialDevices;
class StatusDriverDevice;

// The line side of the platform in one bundle: the serial devices the program opens
// itself, the modem-control lines of the watched port, the status driver, the dial-up
// source and the event pump for waiting loops. The references stay valid as long as
// whatever made the bundle lives.
struct LinePlatform
{
    SerialDevices& serialDevices;
    ModemLines& modemLines;
    StatusDriverDevice& statusDriver;
    DialUpSource& dialUp;
    EventPump& eventPump;
};

// Owns one implementation of the whole line side and hands out its bundle.
class LineBackend
{
public:
    virtual ~LineBackend() = default;
    virtual LinePlatform View() = 0;
    // "Linux, /dev/ttyS0", "Linux, /dev/ttyS0 (busy: another program holds it
    // exclusively)" or "simulated modem (built-in scenario)", for the about box and logs.
    virtual std::string Description() const = 0;
    // What can be learnt about COMn without disturbing it: the device, whether it can be
    // opened, who holds it, its driver, and which lines and counters it really reports.
    // For "sarvendo --ports" and the setup dialog's port list.
    virtual std::string DescribePort(int portNumber) = 0;
};

// DescribePort for COM1..COM9, one block each.
std::string DescribePorts(LineBackend& backend);

// The device behind each of COM1..COM9 (index 0 is COM1); an empty path means unmapped.
using PortDeviceMap = std::array<std::string, 9>;
PortDeviceMap DefaultPortDevices();

} // namespace sarvendo
