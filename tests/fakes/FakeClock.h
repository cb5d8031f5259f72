#pragma once

#include "platform/Clock.h"

#include <cstdint>

namespace sarvendo::fakes {

// A clock the test sets and moves by hand; both readings advance together.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(DateTime now = 46000.5, std::uint32_t tick = 1000) : m_now(now), m_tick(tick) {}

    DateTime Now() const override { return m_now; }
    std::uint32_t TickCount() const override { return m_tick; }

    void SetNow(DateTime now) { m_now = now; }
    void SetTickCount(std::uint32_t tick) { m_tick = tick; }

    // Moves both clocks by a number of milliseconds; the tick count wraps like the real one.
    void Advance(std::int64_t milliseconds)
    {
        m_now += static_cast<double>(milliseconds) / kMsPerDay;
        m_tick += static_cast<std::uint32_t>(milliseconds);
    }

private:
    DateTime m_now;
    std::uint32_t m_tick;
};

} // namespace sarvendo::fakes
