// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/EventPump.h"

namespace sarvendo {

// Handles the application's pending Qt events (timers, painting, input) once.
class QtEventPump final : public EventPump
{
public:
    void ProcessEvents() override;
};

} // namespace sarvendo
