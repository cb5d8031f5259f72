// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialUpLights.h"

#include "app/CommandLine.h"
#include "platform/ProgramStarter.h"

#include <vector>

namespace sarvendo {

namespace {

constexpr std::chrono::seconds kLeastInterval{1};

} // namespace

DialUpLights::DialUpLights(ProgramStarter& programs, Now now) : m_programs(programs), m_now(std::move(now)) {}

bool DialUpLights::Start(const std::string& text)
{
    const auto now = m_now();
    if (m_lastStart && now - *m_lastStart < kLeastInterval) {
        return false;
    }
    // The words go to the program as separate arguments, as its own command-line parsing
    // would have split them; no shell ever sees them.
    std::vector<std::string> command{"lights!.exe"};
    for (std::string& word : SplitCommandLine(text)) {
        command.push_back(std::move(word));
    }
    // A failed start counts too: retrying a missing program at every notification of a
    // burst would only spin.
    m_lastStart = now;
    return m_programs.Start(command);
}

} // namespace sarvendo
