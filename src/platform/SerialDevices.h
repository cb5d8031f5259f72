// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Dcb.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sarvendo {

// Why a serial port could not be opened, so that the user can be told more than "no".
enum class PortOpenError
{
    None,
    NotMapped,    // the port number has no device (COM5..COM9 unless configured)
    Missing,      // no such device file
    Busy,         // another program holds it exclusively (pppd sets TIOCEXCL)
    InUse,        // another program has it open, not exclusively: refused for talking to the modem
    Locked,       // a live UUCP lock file of another program names the port
    NoPermission, // the user may not open serial devices (not in the dialout group)
    NotASerialPort,
    Failed,
};

// One open serial port. Closing happens on destruction. All calls are non-blocking:
// Read returns what is waiting, WaitReadable waits at most the given time.
class SerialPort
{
public:
    virtual ~SerialPort() = default;

    // The port's line parameters; false when the device does not answer the query.
    virtual bool GetCommState(Dcb& dcb) = 0;
    virtual bool SetCommState(const Dcb& dcb) = 0;

    // Bytes waiting in the input queue; empty when the device cannot tell.
    virtual std::optional<std::size_t> InputQueue() = 0;

    // Reads at most buffer.size() bytes; returns the count read (0 on failure).
    virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;

    // Writes the bytes, waiting up to milliseconds in all while the output queue is full;
    // returns the count written, which is less than asked when the time ran out.
    virtual std::size_t Write(std::string_view bytes, int milliseconds) = 0;

    // Waits until input is waiting or the time is up, without processing any events.
    virtual void WaitReadable(int milliseconds) = 0;
};

// The machine's serial ports by their numbers 1..9 (COM1..COM9). Opening a port for the
// program's own use (the probe, the modem-initialisation exchange) goes through here;
// watching the line another program uses does not (see ModemLines and StatusDriverDevice).
class SerialDevices
{
public:
    enum class Purpose
    {
        Probe,     // only to see whether the port exists and read its parameters
        ReadWrite, // exclusive use for talking to the modem
    };

    struct OpenResult
    {
        std::unique_ptr<SerialPort> port; // null on failure
        PortOpenError error = PortOpenError::None;
    };

    virtual ~SerialDevices() = default;
    virtual OpenResult Open(int portNumber, Purpose purpose) = 0;

    // The device behind a port number ("/dev/ttyS0", "simulated modem"), empty when none.
    virtual std::string DeviceName(int portNumber) const = 0;
};

// A short user-facing explanation of an open failure ("busy: another program holds it").
std::string_view DescribePortOpenError(PortOpenError error);

} // namespace sarvendo
