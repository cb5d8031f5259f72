// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "monitor/MonotonicMark.h"
#include "platform/DateTime.h"

#include <cstdint>

namespace sarvendo {

class Clock;
struct Settings;

// The session and total connect time. A session runs from SessionStart to now plus the
// "Negotiation Delay"; the total ("TotalConnectNew") grows only when a session ends. The
// length of a session is measured on the monotonic clock; SessionStart keeps the local
// date-time for what the user reads.
class ConnectTime
{
public:
    ConnectTime(Settings& settings, const Clock& clock) : m_settings(settings), m_clock(clock) {}

    // Now minus SessionStart plus the negotiation delay, in days.
    DateTime SessionTime() const;

    // Milliseconds since SessionStart on the monotonic clock, without the delay.
    std::int64_t SessionElapsedMs() const;

    // The total the display shows: the finished sessions plus the running one while the
    // carrier is present.
    DateTime DisplayedTotal() const;

    // Called at start-up and on every connect edge.
    void StartSession();

    // Adds the running session to the total; called on the disconnect edge and by the
    // close routine while connected.
    void EndSession();

    // The popup menu's "&Reset Session Connect Time".
    void ResetSessionConnectTimeClick();

    // The popup menu's "Reset &Total Connect Time".
    void ResetTotalConnectTimeClick();

    // The setup dialog's reset buttons, which restart the session as well.
    void ResetFromSetupDialog();

private:
    Settings& m_settings;
    const Clock& m_clock;
    MonotonicMark m_sessionStart;
};

} // namespace sarvendo
