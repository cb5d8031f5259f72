// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace sarvendo {

// What the painter needs to know about the monitored port's line settings. The painter
// never touches the line itself; the program connects this to the status-driver code,
// and tests answer with fixed values.
class LineParameters
{
public:
    virtual ~LineParameters() = default;

    // Reads the port's current settings (without a port handle of its own) and returns
    // the baud rate in bits per second; 0 when it is not known.
    virtual std::uint32_t ReadBaudRate() = 0;

    // Appends the line-parameter text ("8N1 57600 ", or the dial-up speed text) to
    // buffer, starting with a blank when buffer is not empty; appends nothing while no
    // open port is seen.
    virtual void FormatCommParameters(std::string& buffer) = 0;
};

} // namespace sarvendo
