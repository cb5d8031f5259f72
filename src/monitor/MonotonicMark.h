// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "monitor/ElapsedTime.h"
#include "platform/Clock.h"

#include <cstdint>

namespace sarvendo {

// A moment kept twice: as the date-time in the Settings record, which the display and
// the logs show, and on the monotonic clock, from which the time since it is measured.
// So a wall clock set forward or back by an hour (daylight saving time, a manual change)
// neither ends a call early nor stretches a limit by the hour. When the record's field
// no longer holds the date-time set here, someone else has set it, and the time since is
// the plain date-time difference, as nothing better is known.
class MonotonicMark
{
public:
    void Set(DateTime& field, const Clock& clock)
    {
        field = clock.Now();
        m_stamp = field;
        m_ms = clock.MonotonicMs();
        m_set = true;
    }

    std::int64_t ElapsedMs(DateTime field, const Clock& clock) const
    {
        if (m_set && field == m_stamp) {
            return static_cast<std::int64_t>(clock.MonotonicMs() - m_ms);
        }
        return MillisecondsBetween(field, clock.Now());
    }

private:
    DateTime m_stamp = 0.0;
    std::uint64_t m_ms = 0;
    bool m_set = false;
};

} // namespace sarvendo
