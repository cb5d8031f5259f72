// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/EventPump.h"

#include <functional>

namespace sarvendo::fakes {

// Counts the times a waiting loop let events through and runs onEvents each time, where
// a test moves its clock, delivers input or re-enters the caller.
class FakeEventPump final : public EventPump
{
public:
    void ProcessEvents() override
    {
        ++calls;
        if (onEvents) {
            onEvents();
        }
    }

    int calls = 0;
    std::function<void()> onEvents;
};

} // namespace sarvendo::fakes
