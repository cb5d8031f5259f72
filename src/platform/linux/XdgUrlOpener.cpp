// SPDX-License-Identifier: GPL-3.0-or-later
#include "XdgUrlOpener.h"

#include "platform/ProgramStarter.h"

namespace sarvendo {

bool XdgUrlOpener::Open(const std::string& target)
{
    if (target.empty() || target.front() == '-') {
        return false;
    }
    return m_programs.Start({"xdg-open", target});
}

} // namespace sarvendo
