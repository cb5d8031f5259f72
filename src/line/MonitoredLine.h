// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line/ByteCounts.h"
#include "line/DialUpReader.h"
#include "line/HangUp.h"

#include <cstdint>
#include <optional>

namespace sarvendo {

// The monitored line as the poll cycle and the watchdog read it and act on it: the
// status driver's requests, the dial-up counters and the monitored port's modem-control
// lines. Each call is one request as the driver protocol defines it, so a fake can count
// what a tick costs. The line session implements it; everything runs on the GUI thread.
class MonitoredLine
{
public:
    virtual ~MonitoredLine() = default;

    // True while the status driver is open (its handle is greater than 0).
    virtual bool DriverPresent() const = 0;

    // Request 6: true when the driver tracks an open port (a reply of 3 bytes or more).
    virtual bool QueryPortOpen() = 0;

    // Request 8: the modem status bits (0x10 CTS, 0x20 DSR, 0x40 RI, 0x80 CD).
    virtual std::uint8_t ReadLineStatus() = 0;

    // The dial-up connection's counters and what the reader found; it only reports, the
    // poll cycle lights the carrier and resets its counters on a new connection.
    virtual DialUpReading ReadDialUpCounters() = 0;

    // The driver's counts added to the given bases (requests 6, 4 and 5 or 11); zeros
    // when no driver tracks an open port. The speed is always 0.
    virtual ByteCounts ReadDriverByteCounts(std::int32_t sentBase, std::int32_t receivedBase) = 0;

    // The monitored port's modem control register (bit 0 DTR, bit 1 RTS) and modem
    // status register (bit 6 RI); empty when the port has no register address.
    virtual std::optional<std::uint8_t> ReadModemControl() = 0;
    virtual std::optional<std::uint8_t> ReadModemStatus() = 0;

    // Requests 9 and 10 into the Settings record's line parameters, without a port handle.
    virtual void ReadLineParameters() = 0;

    // Drops DTR for just over a second and restores the control lines; returns after,
    // saying whether it could act at all and, when not, why.
    virtual HangUpResult HangUp() = 0;

    // Unhooks and closes the status driver; does nothing when none is open.
    virtual void ReleaseStatusDriver() = 0;
};

} // namespace sarvendo
