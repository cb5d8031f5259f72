// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

namespace sarvendo {

// One repeating timer of the GUI thread. Once started it calls its callback every
// interval milliseconds until it is stopped; starting it again restarts the period. The
// callback may stop or restart the timer. Readers of elapsed time take the millisecond
// tick count from the Clock, not from the timer, so tests move both together.
class TimerSource
{
public:
    using Callback = std::function<void()>;

    virtual ~TimerSource() = default;

    virtual void SetCallback(Callback callback) = 0;
    virtual void Start(std::uint32_t intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

} // namespace sarvendo
