// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinePlatform.h"

#include "platform/SerialDevices.h"

namespace sarvendo {

PortDeviceMap DefaultPortDevices()
{
    return {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3", "", "", "", "", ""};
}

std::string DescribePorts(LineBackend& backend)
{
    std::string text;
    for (int port = 1; port <= 9; ++port) {
        text += backend.DescribePort(port);
    }
    return text;
}

std::string_view DescribePortOpenError(PortOpenError error)
{
    switch (error) {
    case PortOpenError::None:
        return "available";
    case PortOpenError::NotMapped:
        return "no device configured";
    case PortOpenError::Missing:
        return "no such device";
    case PortOpenError::Busy:
        return "busy: another program holds it exclusively";
    case PortOpenError::InUse:
        return "busy: another program has it open";
    case PortOpenError::Locked:
        return "busy: another program has locked it";
    case PortOpenError::NoPermission:
        return "no permission (is the user in the dialout group?)";
    case PortOpenError::NotASerialPort:
        return "not a serial port";
    case PortOpenError::Failed:
        break;
    }
    return "cannot be opened";
}

} // namespace sarvendo
