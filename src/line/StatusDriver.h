// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line/BaudRate.h"
#include "line/ByteCounts.h"
#include "platform/LinePlatform.h"
#include "platform/SerialDevices.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sarvendo {

class Directories;
class MessageBoxes;
class SerialPort;
struct Dcb;
struct Settings;

// The status driver protocol, the port probe and the direct register access of the
// monitored port, all on the Settings record's line fields (DriverHandle, PortDCB,
// PortBase, PortAvailable). Everything runs on the GUI thread. A request's byte count is
// cleared before each call, so a request that fails reads as 0.

inline constexpr std::size_t kCommParametersBufferSize = 144;
inline constexpr const char* kDriverNotFoundText =
    "SARVEN95.VXD not found in the Sarvendo directory. You will have problems with the detection.";
inline constexpr const char* kDriverHookFailedText =
    "SARVEN95.VXD could not hook 32 bit comm functions. You will have problems with the detection.";

// The I/O base of COM1..COM4, copied into PortBase at start-up.
inline constexpr std::uint16_t kPortBaseTable[4] = {0x3F8, 0x2F8, 0x3E8, 0x2E8};

// Offsets of the two registers from a port's base.
inline constexpr std::uint16_t kModemControlOffset = 4;
inline constexpr std::uint16_t kModemStatusOffset = 6;

// The path the driver is looked for at, made from the program file by a purely textual
// rule: the last five characters of the file name are cut, what is left of the name is
// upper-cased (the driver's file name is in capitals) and "VEN95.VXD" appended. So only a
// program file named "sarvendo" (any case) finds "SARVEN95.VXD" beside it; a renamed
// program finds no driver.
std::string StatusDriverPath(const std::string& programFile);

// Opens the driver and hooks the communication functions; shows at most one warning and
// never stops the program.
void OpenStatusDriver(Settings& settings, LinePlatform line, const Directories& directories, MessageBoxes& boxes);

// Unhooks and closes the driver; does nothing when none is open, so twice is safe.
void ReleaseStatusDriver(Settings& settings, LinePlatform line);

// Request 6: true when the driver tracks an open port (3 bytes or more answered).
bool QueryPortOpen(const Settings& settings, LinePlatform line);

// Request 8: the modem status bits in the low byte of the count.
std::uint8_t ReadLineStatus(const Settings& settings, LinePlatform line);

// The driver's increments (request 4, then 5 or 11) added to the caller's bases; zeros
// without a driver, with a dial-up notification's second number set, or when no port is
// open. A total that would be negative reads as 0.
ByteCounts ReadDriverByteCounts(const Settings& settings, LinePlatform line, std::int32_t sentBase,
                                std::int32_t receivedBase);

// Fills BaudRate, ByteSize, Parity and StopBits of record from the driver (requests 9 and
// 10), or, without a driver, from the open port when one is given.
void ReadLineParameters(const Settings& settings, LinePlatform line, SerialPort* port, Dcb& record);

// Appends the line-parameter text ("8N1 57600", or the speed text) to buffer, which never
// grows beyond 144 characters. Appends nothing while no open port is tracked.
void FormatCommParameters(Settings& settings, LinePlatform line, std::string& buffer);

// Probes COMn (1..9): sets its PortAvailable flag (ports 1..4 only have one) and on
// success refreshes PortDCB. Returns why the port could not be opened.
PortOpenError ProbePort(Settings& settings, LinePlatform line, std::int32_t portNumber);

// One-byte reads and writes of the registers at PortBase + 4 and + 6 of a port 1..4.
// Any other address reaches nothing: reads give 0xFF, as an empty bus does, and writes
// are dropped. A register whose lines the platform cannot see reads as 0 (all off).
std::uint8_t PortIn(const Settings& settings, LinePlatform line, std::uint16_t address);
// PortIn that says when the register could not be read at all (no such address, or lines
// the platform cannot see), so a caller never writes back a value it did not read.
std::optional<std::uint8_t> TryPortIn(const Settings& settings, LinePlatform line, std::uint16_t address);
// True when the write reached the lines; the status register and unknown addresses take
// nothing.
bool PortOut(const Settings& settings, LinePlatform line, std::uint16_t address, std::uint32_t value);

// The monitored port's ("Default Port") registers through PortIn; empty for a port
// outside 1..4, which has no table entry.
std::optional<std::uint8_t> ReadModemControlRegister(const Settings& settings, LinePlatform line);
std::optional<std::uint8_t> ReadModemStatusRegister(const Settings& settings, LinePlatform line);

} // namespace sarvendo
