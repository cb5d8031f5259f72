// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineTick.h"
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeEventPump.h"
#include "fakes/FakeMessageBoxes.h"
#include "line/LineSession.h"
#include "platform/linux/LinuxDialUpSource.h"
#include "platform/linux/RealSystemCalls.h"
#include "platform/linux/TtyHolders.h"
#include "platform/sim/SimulatedLineBackend.h"

#include <benchmark/benchmark.h>

namespace sarvendo {
namespace {

// What "is the port held by another program" costs when it is not cached: a walk over
// every descriptor of every process this user may see. The driver does it once a second.
void BM_HeldByAnotherProcessScan(benchmark::State& state)
{
    RealSystemCalls system;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HeldByAnotherProcess(system, "/dev/null"));
    }
}
BENCHMARK(BM_HeldByAnotherProcessScan)->Unit(benchmark::kMicrosecond);

// The dial-up reader's search on this machine, run every tick while no connection is
// known: with no ppp interface it ends before /proc.
void BM_DialUpProcessSnapshot(benchmark::State& state)
{
    RealSystemCalls system;
    LinuxDialUpSource source(system, {}, [] { return std::string("/dev/ttyS0"); });
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.ProcessSnapshot());
    }
}
BENCHMARK(BM_DialUpProcessSnapshot)->Unit(benchmark::kMicrosecond);

// One tick's line requests against the simulated modem in the middle of a call.
void BM_SimulatedLineTick(benchmark::State& state)
{
    SessionSurroundings around;
    auto& clock = around.clock;
    SimulatedLineBackend platform(
        *ParseScenario(BuiltInScenarioText()).scenario, clock, [] { return 1; }, around.events, "bench", [](int) {});
    LineSession session(around.settings, platform.View(), clock, around.directories, around.boxes);
    session.OpenStatusDriver();
    session.DetectDialUpKind();
    clock.Advance(30000);
    for (auto _ : state) {
        clock.Advance(56);
        AskAsOneTickDoes(session);
    }
}
BENCHMARK(BM_SimulatedLineTick);

} // namespace
} // namespace sarvendo
