// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonitorFixture.h"

namespace sarvendo {
namespace {

// Writes down what the poll cycle tells the history, in order.
class RecordingHistory final : public HistoryHost
{
public:
    void CarrierRose() override { events.push_back("carrier rose"); }
    void CarrierFell(std::int64_t sent, std::int64_t received, const std::string& speed) override
    {
        events.push_back("carrier fell " + std::to_string(sent) + " " + std::to_string(received) + " " + speed);
    }
    void RingRose() override { events.push_back("ring"); }
    void Counted(bool carrier, std::int64_t sent, std::int64_t received, const std::string& /*speed*/) override
    {
        ++ticks;
        last = std::to_string(carrier) + " " + std::to_string(sent) + " " + std::to_string(received);
    }

    std::vector<std::string> events;
    int ticks = 0;
    std::string last;
};

using PollCycleHistory = MonitorTest;

TEST_F(PollCycleHistory, EdgesAndTheSessionCountsReachTheHistory)
{
    RecordingHistory history;
    PollCycle reporting{settings, clock, line, sound, boxes, files, directories, formats, host, history};
    const auto tick = [&] {
        clock.Advance(kTickMs);
        reporting.TimerTimer();
    };
    line.SetRing(true);
    tick();
    line.SetRing(false);
    tick();
    line.SetCarrier(true);
    tick();
    line.sentIncrement = 100;
    line.receivedIncrement = 300;
    tick();
    EXPECT_EQ(history.last, "1 100 300");
    settings.SpeedText = "@ 33600 bps";
    line.SetCarrier(false);
    tick();
    EXPECT_EQ(history.events, (std::vector<std::string>{"ring", "carrier rose", "carrier fell 100 300 @ 33600 bps"}));
    EXPECT_EQ(history.ticks, 5);
    EXPECT_EQ(history.last, "0 100 300");
}

} // namespace
} // namespace sarvendo
