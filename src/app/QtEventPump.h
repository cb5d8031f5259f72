#pragma once

#include "platform/EventPump.h"

#include <QCoreApplication>

namespace sarvendo {

// Lets waiting loops run the application's pending events (ticks, paints, input).
class QtEventPump final : public EventPump
{
public:
    void ProcessEvents() override { QCoreApplication::processEvents(); }
};

} // namespace sarvendo
