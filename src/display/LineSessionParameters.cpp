// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineSessionParameters.h"

#include "core/Settings.h"

#include "line/LineSession.h"

namespace sarvendo {

std::uint32_t LineSessionParameters::ReadBaudRate()
{
    m_session.ReadLineParameters();
    return m_settings.PortDCB.BaudRate;
}

void LineSessionParameters::FormatCommParameters(std::string& buffer)
{
    m_session.FormatCommParameters(buffer);
}

} // namespace sarvendo
