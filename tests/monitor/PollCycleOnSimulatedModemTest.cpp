// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeMonitorHost.h"
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeEventPump.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeSound.h"
#include "line/LineSession.h"
#include "monitor/PollCycle.h"
#include "platform/sim/SimulatedLineBackend.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

// The test's clock; while stepping, every look at the tick count lets a millisecond
// pass, so the hang-up's busy wait ends as it does in real time.
class BusyWaitClock final : public Clock
{
public:
    explicit BusyWaitClock(fakes::FakeClock& clock) : m_clock(clock) {}
    DateTime Now() const override { return m_clock.Now(); }
    std::uint32_t TickCount() const override
    {
        if (stepping) {
            m_clock.Advance(1);
        }
        return m_clock.TickCount();
    }
    std::uint64_t MonotonicMs() const override { return m_clock.MonotonicMs(); }

    bool stepping = false;

private:
    fakes::FakeClock& m_clock;
};

// The whole engine on the simulated modem and the real line code, the way the program
// runs with the simulation switched on.
class PollCycleOnSimulatedModemTest : public ::testing::Test
{
protected:
    static constexpr int kTickMs = 56;

    explicit PollCycleOnSimulatedModemTest(std::string_view scenarioText = BuiltInScenarioText())
        : m_scenario(ParseScenario(scenarioText).scenario.value())
    {
        settings.DefaultPort = 1;
        settings.LogRI = 1;
        settings.LogDCD = 1;
        settings.LogTotalBytes = 1;
        settings.RIPlaySound = 2;
        formats.longTimeFormat = "h:mm:ss";
        session.DetectDialUpKind();
        session.OpenStatusDriver();
        cycle.Time().StartSession();
    }

    void RunFor(std::int64_t ms)
    {
        for (std::int64_t elapsed = 0; elapsed < ms; elapsed += kTickMs) {
            clock.Advance(kTickMs);
            cycle.TimerTimer();
        }
    }

    Settings settings;
    fakes::FakeClock clock{EncodeDateTime(2026, 12, 8, 9, 0, 0), 1000};
    BusyWaitClock busyClock{clock};
    fakes::FakeEventPump events;
    fakes::FakeSound sound;
    fakes::FakeMessageBoxes boxes;
    fakes::FakeLogFiles files;
    fakes::FakeDirectories directories{"/logs"};
    fakes::FakeMonitorHost host;
    DateTimeFormats formats;
    Scenario m_scenario;
    SimulatedLineBackend platform{m_scenario, busyClock,         [this] { return settings.DefaultPort; },
                                  events,     "simulated modem", [](int) {}};
    LineSession session{settings, platform.View(), busyClock, directories, boxes};
    PollCycle cycle{settings, busyClock, session, sound, boxes, files, directories, formats, host};
};

TEST_F(PollCycleOnSimulatedModemTest, BuiltInSessionIsLoggedAndCounted)
{
    RunFor(95'000);
    const std::string ringLog = files.files["/logs/Sarvendo.RI"];
    EXPECT_TRUE(ringLog.starts_with("Call: 12/8/26 9:00:1")) << ringLog;
    EXPECT_TRUE(ringLog.ends_with("   Signals= 3\r\n")) << ringLog;
    EXPECT_EQ(std::count(sound.played.begin(), sound.played.end(), "<beep>"), 3);

    const std::string connectLog = files.files["/logs/Sarvendo.DCD"];
    EXPECT_TRUE(connectLog.starts_with("Connected: 12/8/26 9:00:")) << connectLog;
    EXPECT_NE(connectLog.find("  Session Time = 0:01:0"), std::string::npos) << connectLog;
    EXPECT_TRUE(connectLog.ends_with("  Sent: 33640  Received: 77800 bytes\r\n")) << connectLog;
    EXPECT_EQ(settings.LampCD, 0);
    EXPECT_FALSE(host.hangUpButtonEnabled);
    EXPECT_EQ(host.hangUpButtonChanges, 2);
}

TEST_F(PollCycleOnSimulatedModemTest, IdleCallIsHungUpAndTheCarrierGoes)
{
    // The built-in session idles for 25 s in the middle of its call.
    settings.DisconnectIfInactive = 1;
    settings.DisconnectTimeIfInactiveSeconds = 20;
    busyClock.stepping = true;
    RunFor(70'000);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Your connection has been inactive for 0 minute(s) and 20 seconds(s). "
                                   "Automatic disconnect performed!");
    // DTR was off for over a second: the modem dropped the call, and the next tick saw it.
    // Well before the remote end would have hung up, 69 s into the call.
    EXPECT_EQ(settings.LampCD, 0);
    const std::string connectLog = files.files["/logs/Sarvendo.DCD"];
    EXPECT_NE(connectLog.find("  Session Time = 0:00:"), std::string::npos) << connectLog;
}

} // namespace
} // namespace sarvendo
