// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/LineParameters.h"

namespace sarvendo {

class LineSession;
struct Settings;

// The painter's view of the line, answered by the program's line session: the port's
// settings are read into the Settings record's PortDCB and the rate taken from there.
class LineSessionParameters final : public LineParameters
{
public:
    LineSessionParameters(Settings& settings, LineSession& session) : m_settings(settings), m_session(session) {}

    std::uint32_t ReadBaudRate() override;
    void FormatCommParameters(std::string& buffer) override;

private:
    Settings& m_settings;
    LineSession& m_session;
};

} // namespace sarvendo
