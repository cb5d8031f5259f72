// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"

#include <cstdint>

namespace sarvendo::fakes {

// A clock the test sets and moves by hand; the readings advance together, and the wall
// clock alone can jump as it does at a change of daylight saving time.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(DateTime now = 46000.5, std::uint32_t tick = 1000) : m_now(now), m_tick(tick) {}

    DateTime Now() const override { return m_now; }
    std::uint32_t TickCount() const override
    {
        const std::uint32_t now = m_tick;
        if (m_stepPerRead != 0) {
            m_tick += m_stepPerRead;
            m_now += static_cast<double>(m_stepPerRead) / kMsPerDay;
            m_monotonic += m_stepPerRead;
        }
        return now;
    }

    // Makes every reading of the tick count move both clocks on, for code that waits by
    // watching the clock.
    void StepOnEveryRead(std::uint32_t milliseconds) { m_stepPerRead = milliseconds; }
    std::uint64_t MonotonicMs() const override { return m_monotonic; }

    // The wall clock is set forward (or back, for a negative count) without time passing.
    void JumpWallClock(std::int64_t milliseconds) { m_now += static_cast<double>(milliseconds) / kMsPerDay; }

    void SetNow(DateTime now) { m_now = now; }
    void SetTickCount(std::uint32_t tick) { m_tick = tick; }

    // Moves both clocks by a number of milliseconds; the tick count wraps like the real one.
    void Advance(std::int64_t milliseconds)
    {
        m_now += static_cast<double>(milliseconds) / kMsPerDay;
        m_tick += static_cast<std::uint32_t>(milliseconds);
        m_monotonic += static_cast<std::uint64_t>(milliseconds);
    }

private:
    mutable DateTime m_now;
    mutable std::uint32_t m_tick;
    mutable std::uint64_t m_monotonic = 1'000'000;
    std::uint32_t m_stepPerRead = 0;
};

} // namespace sarvendo::fakes
