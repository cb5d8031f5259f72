#pragma once

#include <cstdint>
#include <optional>

namespace sarvendo {

// Cumulative byte counts of the current connection and its speed in bits per second, as
// one tick reads them; all zero when the source knows no connection.
struct ByteCounts
{
    std::int32_t sent = 0;
    std::int32_t received = 0;
    std::int32_t speed = 0;
};

// The line as the poll cycle reads it: the status driver's requests, the dial-up
// counters and the monitored port's modem-control lines. Each call is one request as
// the driver protocol defines it, so a fake can count what a tick costs. Everything runs
// on the GUI thread.
class LineSide
{
public:
    virtual ~LineSide() = default;

    // True while the status driver is open (its handle is greater than 0).
    virtual bool DriverPresent() const = 0;

    // Request 6: true when the driver tracks an open port (a reply of 3 bytes or more).
    virtual bool QueryPortOpen() = 0;

    // Request 8: the modem status bits (0x10 CTS, 0x20 DSR, 0x40 RI, 0x80 CD).
    virtual std::uint8_t ReadLineStatus() = 0;

    // The dial-up connection's counters; zeros when none is known. While one is known
    // the reader sets LampCD in the Settings record itself, and when it finds a new
    // connection it clears the poll cycle's counters.
    virtual ByteCounts ReadDialUpCounters() = 0;

    // The driver's counts added to the given bases (requests 6, 4 and 5 or 11); zeros
    // when no driver tracks an open port. The speed is always 0.
    virtual ByteCounts ReadDriverByteCounts(std::int32_t sentBase, std::int32_t receivedBase) = 0;

    // The monitored port's modem control register (bit 0 DTR, bit 1 RTS) and modem
    // status register (bit 6 RI); empty when the port has no register address.
    virtual std::optional<std::uint8_t> ReadModemControl() = 0;
    virtual std::optional<std::uint8_t> ReadModemStatus() = 0;

    // Requests 9 and 10 into the Settings record's line parameters, without a port handle.
    virtual void ReadLineParameters() = 0;

    // Drops DTR for just over a second and restores the control lines; returns after.
    virtual void HangUp() = 0;

    // Unhooks and closes the status driver; does nothing when none is open.
    virtual void ReleaseStatusDriver() = 0;
};

} // namespace sarvendo
