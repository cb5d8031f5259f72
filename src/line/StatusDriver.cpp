// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusDriver.h"

#include "core/Characters.h"
#include "core/Rounding.h"
#include "core/Settings.h"

#include "platform/Directories.h"
#include "platform/MessageBoxes.h"
#include "platform/ModemLines.h"
#include "platform/StatusDriverDevice.h"
#include "platform/TickPath.h"

#include <limits>

namespace sarvendo {
namespace {

constexpr std::uint32_t kQueryPortOpenBufferSize = 4;
constexpr std::uint32_t kLineParameterBufferSize = 1;
constexpr std::uint32_t kPortOpenMinimum = 3;

SARVENDO_TICK_PATH StatusDriverDevice::Reply Ask(const Settings& settings, LinePlatform line, std::uint32_t code,
                                                 std::uint32_t outBufferSize = 0)
{
    StatusDriverDevice::Reply reply = line.statusDriver.Request(settings.DriverHandle, code, outBufferSize);
    if (!reply.succeeded) {
        // The caller clears the count before each request, so a failed one reads as 0.
        reply.bytesReturned = 0;
    }
    return reply;
}

SARVENDO_TICK_PATH std::int32_t AddCount(std::int32_t base, std::uint32_t count)
{
    const std::int64_t total = static_cast<std::int64_t>(base) + static_cast<std::int32_t>(count);
    if (total < 0) {
        return 0;
    }
    // The counters are signed 32-bit; past the top they wrap, as the poll cycle's totals do.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(total));
}

bool PortInTable(std::int32_t portNumber)
{
    return portNumber >= 1 && portNumber <= 4;
}

} // namespace

std::string StatusDriverPath(const std::string& programFile)
{
    constexpr std::size_t kCut = 5;
    std::string path = programFile.size() > kCut ? programFile.substr(0, programFile.size() - kCut) : std::string();
    const std::size_t nameStart = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
    for (std::size_t i = nameStart; i < path.size(); ++i) {
        path[i] = UpperAscii(path[i]);
    }
    return path + "VEN95.VXD";
}

void OpenStatusDriver(Settings& settings, LinePlatform line, const Directories& directories, MessageBoxes& boxes)
{
    settings.DriverHandle = 0;
    settings.DriverHandle = line.statusDriver.Open(StatusDriverPath(directories.ProgramFile()));
    if (settings.DriverHandle < 0) {
        settings.DialogShowing = 1;
        boxes.Show(kDriverNotFoundText, MessageButtons::Ok, MessageIcon::Warning);
        settings.DialogShowing = 0;
        return;
    }
    if (settings.DriverHandle == 0) {
        return;
    }
    if (!line.statusDriver.Request(settings.DriverHandle, kHookComm, 0).succeeded) {
        // The handle stays open: every other request is still made and simply reports less.
        boxes.Show(kDriverHookFailedText, MessageButtons::Ok, MessageIcon::Warning);
    }
}

void ReleaseStatusDriver(Settings& settings, LinePlatform line)
{
    if (settings.DriverHandle <= 0) {
        return;
    }
    line.statusDriver.Request(settings.DriverHandle, kUnhookComm, 0);
    line.statusDriver.Close(settings.DriverHandle);
    settings.DriverHandle = 0;
}

SARVENDO_TICK_PATH bool QueryPortOpen(const Settings& settings, LinePlatform line)
{
    return Ask(settings, line, kQueryPortOpen, kQueryPortOpenBufferSize).bytesReturned >= kPortOpenMinimum;
}

SARVENDO_TICK_PATH std::uint8_t ReadLineStatus(const Settings& settings, LinePlatform line)
{
    return static_cast<std::uint8_t>(Ask(settings, line, kReadLineStatus).bytesReturned & 0xFFU);
}

SARVENDO_TICK_PATH ByteCounts ReadDriverByteCounts(const Settings& settings, LinePlatform line, std::int32_t sentBase,
                                                   std::int32_t receivedBase)
{
    ByteCounts reading;
    if (settings.DriverHandle <= 0 || settings.NotifyValue2 != 0) {
        return reading;
    }
    if (!QueryPortOpen(settings, line)) {
        return reading;
    }
    reading.sent = AddCount(sentBase, Ask(settings, line, kTakeSentCount).bytesReturned);
    const std::uint32_t receivedCode =
        settings.AlternativeMethodForRD != 0 ? kTakeReceivedCountAlt : kTakeReceivedCount;
    reading.received = AddCount(receivedBase, Ask(settings, line, receivedCode).bytesReturned);
    return reading;
}

void ReadLineParameters(const Settings& settings, LinePlatform line, SerialPort* port, Dcb& record)
{
    record.BaudRate = 0;
    record.ByteSize = 0;
    if (settings.DriverHandle > 0) {
        const auto baudParity = Ask(settings, line, kReadBaudParity, kLineParameterBufferSize);
        record.BaudRate = baudParity.bytesReturned;
        record.Parity = static_cast<std::uint8_t>(baudParity.completionStatus & 0x0FU);
        const auto frame = Ask(settings, line, kReadFrameFormat, kLineParameterBufferSize);
        record.ByteSize = static_cast<std::uint8_t>(frame.bytesReturned & 0x0FU);
        record.StopBits = static_cast<std::uint8_t>(frame.completionStatus & 0x0FU);
        return;
    }
    if (port != nullptr) {
        Dcb queried = record;
        if (port->GetCommState(queried)) {
            record = queried;
        }
    }
}

void FormatCommParameters(Settings& settings, LinePlatform line, std::string& buffer)
{
    if (!QueryPortOpen(settings, line)) {
        return;
    }
    std::string text;
    if (!settings.SpeedText.empty()) {
        if (settings.SpeedText.size() > kCommParametersBufferSize) {
            return;
        }
        text = settings.SpeedText;
    } else {
        if (!buffer.empty()) {
            text += ' ';
        }
        ReadLineParameters(settings, line, nullptr, settings.PortDCB);
        const Dcb& dcb = settings.PortDCB;
        text += std::to_string(dcb.ByteSize);
        constexpr const char* kParityLetters[] = {"N", "O", "E", "M", "S"};
        if (dcb.Parity <= kSpaceParity) {
            text += kParityLetters[dcb.Parity];
        }
        constexpr const char* kStopBitsText[] = {"1", "1.5", "2"};
        if (dcb.StopBits <= kTwoStopBits) {
            text += kStopBitsText[dcb.StopBits];
        }
        text += ' ';
        if (dcb.BaudRate != 0) {
            text += std::to_string(ShownBaudRate(dcb.BaudRate));
        }
    }
    // The caller's buffer holds 144 characters; the text is cut rather than overflowing it.
    buffer += text;
    if (buffer.size() > kCommParametersBufferSize) {
        buffer.resize(kCommParametersBufferSize);
    }
}

PortOpenError ProbePort(Settings& settings, LinePlatform line, std::int32_t portNumber)
{
    if (PortInTable(portNumber)) {
        settings.PortAvailable[static_cast<std::size_t>(portNumber - 1)] = 0;
    }
    auto opened = line.serialDevices.Open(portNumber, SerialDevices::Purpose::Probe);
    if (!opened.port) {
        return opened.error == PortOpenError::None ? PortOpenError::Failed : opened.error;
    }
    if (PortInTable(portNumber)) {
        settings.PortAvailable[static_cast<std::size_t>(portNumber - 1)] = 1;
    }
    ReadLineParameters(settings, line, opened.port.get(), settings.PortDCB);
    return PortOpenError::None;
}

namespace {

struct RegisterAddress
{
    std::int32_t port = 0;
    std::uint16_t offset = 0;
};

std::optional<RegisterAddress> DecodeAddress(const Settings& settings, std::uint16_t address)
{
    for (std::size_t i = 0; i < settings.PortBase.size(); ++i) {
        const std::uint16_t base = settings.PortBase[i];
        if (base != 0 && address >= base && address - base <= kModemStatusOffset) {
            const auto offset = static_cast<std::uint16_t>(address - base);
            if (offset == kModemControlOffset || offset == kModemStatusOffset) {
                return RegisterAddress{static_cast<std::int32_t>(i + 1), offset};
            }
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> MonitoredRegister(const Settings& settings, std::uint16_t offset)
{
    if (!PortInTable(settings.DefaultPort)) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(settings.PortBase[static_cast<std::size_t>(settings.DefaultPort - 1)] + offset);
}

} // namespace

std::optional<std::uint8_t> TryPortIn(const Settings& settings, LinePlatform line, std::uint16_t address)
{
    const auto decoded = DecodeAddress(settings, address);
    if (!decoded) {
        return std::nullopt;
    }
    return decoded->offset == kModemControlOffset ? line.modemLines.ReadModemControl(decoded->port)
                                                  : line.modemLines.ReadModemStatus(decoded->port);
}

std::uint8_t PortIn(const Settings& settings, LinePlatform line, std::uint16_t address)
{
    if (!DecodeAddress(settings, address)) {
        return 0xFF;
    }
    return TryPortIn(settings, line, address).value_or(0);
}

bool PortOut(const Settings& settings, LinePlatform line, std::uint16_t address, std::uint32_t value)
{
    const auto decoded = DecodeAddress(settings, address);
    // The status register is read-only on the controller; only the control register takes writes.
    if (!decoded || decoded->offset != kModemControlOffset) {
        return false;
    }
    return line.modemLines.WriteModemControl(decoded->port, static_cast<std::uint8_t>(value & 0xFFU));
}

std::optional<std::uint8_t> ReadModemControlRegister(const Settings& settings, LinePlatform line)
{
    const auto address = MonitoredRegister(settings, kModemControlOffset);
    if (!address) {
        return std::nullopt;
    }
    return PortIn(settings, line, *address);
}

std::optional<std::uint8_t> ReadModemStatusRegister(const Settings& settings, LinePlatform line)
{
    const auto address = MonitoredRegister(settings, kModemStatusOffset);
    if (!address) {
        return std::nullopt;
    }
    return PortIn(settings, line, *address);
}

} // namespace sarvendo
