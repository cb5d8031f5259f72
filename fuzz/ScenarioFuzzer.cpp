// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a scenario file: parsing gives a scenario or a reason, and a scenario that
// parses can be played by the simulated modem for a while without trouble.
#include "FuzzCheck.h"

#include "platform/Clock.h"
#include "platform/sim/Scenario.h"
#include "platform/sim/SimulatedModem.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace sarvendo;

class SteppedClock final : public Clock
{
public:
    DateTime Now() const override { return 36000.0 + ticks / kMsPerDay; }
    std::uint32_t TickCount() const override { return ticks; }
    std::uint64_t MonotonicMs() const override { return ticks; }
    std::uint32_t ticks = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ScenarioParseResult result = ParseScenario(text);
    fuzz::Check(result.scenario.has_value() != !result.error.empty(), "a scenario or a reason, never both");
    if (!result.scenario) {
        return 0;
    }
    const Scenario& scenario = *result.scenario;
    for (std::size_t i = 1; i < scenario.events.size(); ++i) {
        fuzz::Check(scenario.events[i - 1].atMs <= scenario.events[i].atMs, "events come in time order");
    }
    SteppedClock clock;
    SimulatedModem modem(scenario, clock, [] { return 1; });
    // Steps of every size: ticks, seconds, and absences of hours and days.
    constexpr std::uint32_t kSteps[] = {56, 1000, 3'600'000, 56, 86'400'000, 7, 4'000'000'000U};
    for (const std::uint32_t step : kSteps) {
        clock.ticks += step;
        modem.CurrentLines();
        modem.Speed();
        modem.TotalSent();
        modem.ConnectionReceived();
        modem.LineParameters();
    }
    return 0;
}
