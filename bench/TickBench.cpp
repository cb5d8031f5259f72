// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeEventPump.h"
#include "fakes/FakeLinePlatform.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeSound.h"
#include "line/LineSession.h"
#include "monitor/FakeMonitorHost.h"
#include "monitor/FakeMonitoredLine.h"
#include "monitor/PollCycle.h"
#include "platform/StatusDriverDevice.h"
#include "platform/sim/SimulatedLineBackend.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <new>

// Every heap allocation of the process is counted, so a benchmark can report how many
// one tick makes. The poll cycle runs up to 18 times a second for as long as the
// program runs: in its steady state it should make none.
namespace {
std::size_t g_allocations = 0;
}

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}

namespace sarvendo {
namespace {

constexpr int kTickMs = 56;

// What a busy connection looks like on screen: every lamp layout's extras, the clocks,
// the rate and both logs switched on.
void ShowEverything(Settings& settings)
{
    settings.DefaultPort = 1;
    settings.NewOrientation = 5;
    settings.DisplayConnectTime = 1;
    settings.DisplayTotalConnectTimeInDisplay = 1;
    settings.SPYSpeedInDisplay = 1;
    settings.StatusInDisplay = 1;
    settings.OnTop = 2;
    settings.LogRI = 1;
    settings.LogDCD = 1;
    settings.WarnIfInactive = 1;
    settings.WarnTimeIfInactive = 600;
    settings.DisconnectIfInactive = 1;
    settings.DisconnectTimeIfInactive = 900;
}

void ReportAllocations(benchmark::State& state, std::size_t allocations)
{
    state.counters["allocs_per_tick"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
}

// One tick of a connection with traffic in both directions, on the scripted line.
void TickOnFakeLine(benchmark::State& state)
{
    Settings settings;
    ShowEverything(settings);
    fakes::FakeClock clock;
    fakes::FakeMonitoredLine line;
    fakes::FakeSound sound;
    fakes::FakeMessageBoxes boxes;
    fakes::FakeLogFiles files;
    fakes::FakeDirectories directories("/logs");
    fakes::FakeMonitorHost host;
    DateTimeFormats formats;
    PollCycle cycle(settings, clock, line, sound, boxes, files, directories, formats, host);
    line.SetCarrier(true);
    // Past the connect edge and the "Connected:" record, which are events, not the
    // steady state measured here.
    for (int i = 0; i < 1000; ++i) {
        clock.Advance(kTickMs);
        cycle.TimerTimer();
    }
    const std::size_t before = g_allocations;
    for (auto _ : state) {
        clock.Advance(kTickMs);
        line.sentIncrement = 40;
        line.receivedIncrement = 300;
        line.ResetCounts();
        cycle.TimerTimer();
        benchmark::DoNotOptimize(settings.RDBytesAccum);
    }
    ReportAllocations(state, g_allocations - before);
}
BENCHMARK(TickOnFakeLine);

// The same tick through the real line code (status driver protocol, dial-up reader,
// register reads) over the fake line platform.
void TickThroughLineSession(benchmark::State& state)
{
    Settings settings;
    ShowEverything(settings);
    fakes::FakeClock clock;
    fakes::FakeLinePlatform platform;
    fakes::FakeSound sound;
    fakes::FakeMessageBoxes boxes;
    fakes::FakeLogFiles files;
    fakes::FakeDirectories directories("/logs");
    fakes::FakeMonitorHost host;
    DateTimeFormats formats;
    LineSession session(settings, platform.View(), clock, directories, boxes);
    platform.statusDriver.openAnyPath = true;
    platform.statusDriver.Answer(kHookComm, 0);
    session.OpenStatusDriver();
    platform.statusDriver.SetPortOpen(true);
    platform.statusDriver.Answer(kReadLineStatus, 0xB0);
    platform.statusDriver.Answer(kTakeSentCount, 40);
    platform.statusDriver.Answer(kTakeReceivedCount, 300);
    platform.statusDriver.Answer(kReadBaudParity, 57600, 0);
    platform.statusDriver.Answer(kReadFrameFormat, 8, 0);
    platform.modemLines.SetLines(1, 0x03, 0x00);
    PollCycle cycle(settings, clock, session, sound, boxes, files, directories, formats, host);
    for (int i = 0; i < 1000; ++i) {
        clock.Advance(kTickMs);
        platform.statusDriver.ResetCounts();
        platform.modemLines.log.clear();
        cycle.TimerTimer();
    }
    const std::size_t before = g_allocations;
    for (auto _ : state) {
        clock.Advance(kTickMs);
        // The fakes keep a log of every request; emptied without freeing, so only the
        // tick's own allocations count.
        platform.statusDriver.ResetCounts();
        platform.modemLines.log.clear();
        cycle.TimerTimer();
        benchmark::DoNotOptimize(settings.RDBytesAccum);
    }
    ReportAllocations(state, g_allocations - before);
}
BENCHMARK(TickThroughLineSession);

// Ticks on the simulated modem playing its built-in session (rings, a call with traffic,
// an idle spell, the remote hang-up), through the real line code. Each iteration is one
// tick, so the figures average over every phase of the session.
void TickOnSimulatedModem(benchmark::State& state)
{
    Settings settings;
    ShowEverything(settings);
    fakes::FakeClock clock;
    fakes::FakeEventPump events;
    fakes::FakeSound sound;
    fakes::FakeMessageBoxes boxes;
    fakes::FakeLogFiles files;
    fakes::FakeDirectories directories("/logs");
    fakes::FakeMonitorHost host;
    DateTimeFormats formats;
    auto scenario = ParseScenario(BuiltInScenarioText()).scenario;
    if (!scenario) {
        state.SkipWithError("the built-in scenario does not parse");
        return;
    }
    SimulatedLineBackend platform(
        *scenario, clock, [&settings] { return settings.DefaultPort; }, events, "simulated modem", [](int) {});
    LineSession session(settings, platform.View(), clock, directories, boxes);
    session.DetectDialUpKind();
    session.OpenStatusDriver();
    PollCycle cycle(settings, clock, session, sound, boxes, files, directories, formats, host);
    cycle.Time().StartSession();
    const std::size_t before = g_allocations;
    for (auto _ : state) {
        clock.Advance(kTickMs);
        cycle.TimerTimer();
        benchmark::DoNotOptimize(settings.RDBytesAccum);
    }
    ReportAllocations(state, g_allocations - before);
    state.counters["connections"] = benchmark::Counter(static_cast<double>(
        std::count(files.files["/logs/Sarvendo.DCD"].begin(), files.files["/logs/Sarvendo.DCD"].end(), '\n')));
}
BENCHMARK(TickOnSimulatedModem);

} // namespace
} // namespace sarvendo
