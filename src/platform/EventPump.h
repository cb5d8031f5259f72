// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

// Lets the application handle its pending events (timer ticks, repaints, input) from
// inside a waiting loop, as the old message-processing call did. Code that calls it must
// expect its own callers to be re-entered.
class EventPump
{
public:
    virtual ~EventPump() = default;
    virtual void ProcessEvents() = 0;
};

} // namespace sarvendo
