// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeEventPump.h"
#include "fakes/FakeMessageBoxes.h"
#include "line/LineSession.h"

#include <benchmark/benchmark.h>
#include <string>

namespace sarvendo {

// What a line session needs around it in a benchmark: COM1 monitored, pppd's directory.
struct SessionSurroundings
{
    SessionSurroundings()
    {
        directories.programFile = "/opt/bin/sarvendo";
        directories.system = "/usr/sbin";
        settings.DefaultPort = 1;
    }

    fakes::FakeClock clock;
    fakes::FakeEventPump events;
    fakes::FakeDirectories directories;
    fakes::FakeMessageBoxes boxes;
    Settings settings;
};

// The line requests one poll tick makes, as the poll cycle makes them.
inline void AskAsOneTickDoes(LineSession& session)
{
    if (session.QueryPortOpen()) {
        benchmark::DoNotOptimize(session.ReadLineStatus());
    }
    benchmark::DoNotOptimize(session.ReadDialUpCounters());
    benchmark::DoNotOptimize(session.ReadDriverByteCounts(0, 0));
    benchmark::DoNotOptimize(session.ReadModemControl());
    std::string text;
    session.FormatCommParameters(text);
    benchmark::DoNotOptimize(text);
}

} // namespace sarvendo
