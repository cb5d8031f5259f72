// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/FakeDialUpSource.h"
#include "fakes/FakeEventPump.h"
#include "fakes/FakeModemLines.h"
#include "fakes/FakeSerialDevices.h"
#include "fakes/FakeStatusDriver.h"
#include "platform/LinePlatform.h"

namespace sarvendo::fakes {

// All line-side fakes in one object, with the bundle the line code takes.
struct FakeLinePlatform
{
    FakeSerialDevices serialDevices;
    FakeModemLines modemLines;
    FakeStatusDriver statusDriver;
    FakeDialUpSource dialUp;
    FakeEventPump eventPump;

    LinePlatform View() { return LinePlatform{serialDevices, modemLines, statusDriver, dialUp, eventPump}; }
};

} // namespace sarvendo::fakes
