// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace sarvendo {

class ProgramStarter;

// Starts the modem-lights program "lights!.exe" for a dial-up notification, with the
// notification's words as its arguments. Notifications may come in bursts (a script in a
// loop, a flapping link); the program is started at most once a second, and the ones in
// between are dropped rather than queued, so a burst can never fill the desktop with
// copies.
class DialUpLights
{
public:
    using Now = std::function<std::chrono::steady_clock::time_point()>;

    explicit DialUpLights(ProgramStarter& programs, Now now = std::chrono::steady_clock::now);

    // Starts the program for the (already cut) notification text; false when it was not
    // started, because the last start was less than a second ago or it could not start.
    bool Start(const std::string& text);

private:
    ProgramStarter& m_programs;
    Now m_now;
    std::optional<std::chrono::steady_clock::time_point> m_lastStart;
};

} // namespace sarvendo
