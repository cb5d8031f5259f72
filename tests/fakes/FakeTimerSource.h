// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/FakeClock.h"
#include "platform/TimerSource.h"

#include <algorithm>
#include <cstdint>

namespace sarvendo::fakes {

// A timer that runs on a FakeClock: Advance moves the clock and fires the callback at
// every due moment on the way, with the clock showing that moment, as a real timer
// would. Records how often it was started and with which interval.
class FakeTimerSource final : public TimerSource
{
public:
    explicit FakeTimerSource(FakeClock& clock) : m_clock(clock) {}

    void SetCallback(Callback callback) override { m_callback = std::move(callback); }
    void Start(std::uint32_t intervalMs) override
    {
        m_active = true;
        interval = std::max<std::uint32_t>(intervalMs, 1);
        m_sinceStart = 0;
        ++starts;
    }
    void Stop() override { m_active = false; }
    bool IsActive() const override { return m_active; }

    void Advance(std::int64_t milliseconds)
    {
        while (milliseconds > 0) {
            if (!m_active) {
                m_clock.Advance(milliseconds);
                return;
            }
            const std::int64_t untilDue = static_cast<std::int64_t>(interval) - m_sinceStart;
            if (untilDue > milliseconds) {
                m_clock.Advance(milliseconds);
                m_sinceStart += milliseconds;
                return;
            }
            m_clock.Advance(untilDue);
            milliseconds -= untilDue;
            m_sinceStart = 0;
            ++fired;
            if (m_callback) {
                const Callback callback = m_callback;
                callback();
            }
        }
    }

    std::uint32_t interval = 0;
    int starts = 0;
    int fired = 0;

private:
    FakeClock& m_clock;
    Callback m_callback;
    bool m_active = false;
    std::int64_t m_sinceStart = 0;
};

} // namespace sarvendo::fakes
