// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/SystemCalls.h"

#include <string>
#include <vector>

namespace sarvendo {

// What can be learnt about one serial device without disturbing it more than an open
// does: whether it exists and may be opened, who holds it, which serial driver stands
// behind it, and what that driver really reports of the modem lines and byte counters.
// The device is opened read-only, never for writing, and only when it exists and this
// user may open it; the open is closed again at once. What the driver reports is
// measured there; what is known of a driver without looking is said only where nothing
// could be measured, and marked so.
struct PortDiagnosis
{
    std::string device;
    std::string opens;    // "yes", or "no: <why>"
    std::string holders;  // "pppd (pid 412)", "nobody this user can see"
    std::string driver;   // "serial8250", "cdc_acm", "unknown"
    std::string lines;    // "DTR on, RTS on, CTS off, DSR off, CD off, RI off" or why not
    std::string counters; // "tx 48211, rx 912330", "reports zeros (...)" or why not
    std::string hangUp;   // HUPCL, and whether the status driver drops DTR when a holder lets go
};

PortDiagnosis DiagnosePort(SystemCalls& system, const std::string& device);

// The programs that hold a tty, by name and process id, and the live UUCP locks on it.
std::vector<std::string> DescribeHolders(SystemCalls& system, const std::string& device);

// The diagnosis as the indented lines "sarvendo --ports" prints under a port's name.
std::string FormatPortDiagnosis(const PortDiagnosis& diagnosis);

} // namespace sarvendo
