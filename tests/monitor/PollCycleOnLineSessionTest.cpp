// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeMonitorHost.h"
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeLinePlatform.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeSound.h"
#include "line/LineSession.h"
#include "monitor/PollCycle.h"
#include "platform/StatusDriverDevice.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

// The poll cycle on the real line code over the fake line platform: what one tick costs
// in driver requests and register reads, and a connection seen end to end.
class PollCycleOnLineSessionTest : public ::testing::Test
{
protected:
    PollCycleOnLineSessionTest()
    {
        settings.DefaultPort = 1;
        platform.statusDriver.openAnyPath = true;
        platform.statusDriver.Answer(kHookComm, 0);
        session.OpenStatusDriver();
        platform.statusDriver.SetPortOpen(true);
        platform.statusDriver.Answer(kReadLineStatus, 0x30);
        platform.statusDriver.Answer(kTakeSentCount, 0);
        platform.statusDriver.Answer(kTakeReceivedCount, 0);
        platform.statusDriver.Answer(kTakeReceivedCountAlt, 0);
        platform.statusDriver.Answer(kReadBaudParity, 57600, 0);
        platform.statusDriver.Answer(kReadFrameFormat, 8, 0);
        platform.modemLines.SetLines(1, 0x03, 0x00);
        cycle.Time().StartSession();
    }

    void Tick()
    {
        clock.Advance(56);
        platform.statusDriver.ResetCounts();
        platform.modemLines.log.clear();
        cycle.TimerTimer();
    }

    Settings settings;
    fakes::FakeClock clock;
    fakes::FakeLinePlatform platform;
    fakes::FakeDirectories directories{"/logs"};
    fakes::FakeMessageBoxes boxes;
    fakes::FakeSound sound;
    fakes::FakeLogFiles files;
    fakes::FakeMonitorHost host;
    DateTimeFormats formats;
    LineSession session{settings, platform.View(), clock, directories, boxes};
    PollCycle cycle{settings, clock, session, sound, boxes, files, directories, formats, host};
};

TEST_F(PollCycleOnLineSessionTest, TickStaysWithinTheRequestBudget)
{
    ASSERT_GT(settings.DriverHandle, 0);
    settings.StatusInDisplay = 1;
    settings.NewOrientation = 5;
    for (const std::int32_t alternative : {0, 1}) {
        settings.AlternativeMethodForRD = alternative;
        Tick();
        // 6 and 8, then 6, 4 and 5 or 11 for the counts, then 9 and 10.
        EXPECT_EQ(platform.statusDriver.Codes(),
                  (std::vector<std::uint32_t>{kQueryPortOpen, kReadLineStatus, kQueryPortOpen, kTakeSentCount,
                                              alternative != 0 ? kTakeReceivedCountAlt : kTakeReceivedCount,
                                              kReadBaudParity, kReadFrameFormat}));
        // The control register only: the driver reported the lines, so RI is not read.
        EXPECT_EQ(platform.modemLines.log.size(), 1U);
    }
    platform.statusDriver.SetPortOpen(false);
    Tick();
    EXPECT_LE(platform.statusDriver.calls.size(), 7U);
    EXPECT_EQ(platform.modemLines.log.size(), 2U);
}

TEST_F(PollCycleOnLineSessionTest, ConnectionThroughTheDriver)
{
    settings.LogDCD = 1;
    settings.LogTotalBytes = 1;
    platform.statusDriver.Answer(kReadLineStatus, 0xB0);
    Tick();
    EXPECT_EQ(settings.LampCD, 1);
    EXPECT_TRUE(host.hangUpButtonEnabled);
    platform.statusDriver.Answer(kTakeSentCount, 300);
    platform.statusDriver.Answer(kTakeReceivedCount, 2000);
    Tick();
    EXPECT_EQ(settings.LampTD, 1);
    EXPECT_EQ(settings.LampRD, 1);
    EXPECT_EQ(settings.SessionSent, 300);
    EXPECT_EQ(settings.SessionReceived, 2000);
    platform.statusDriver.Answer(kTakeSentCount, 0);
    platform.statusDriver.Answer(kTakeReceivedCount, 0);
    for (int i = 0; i < 600; ++i) {
        Tick();
    }
    platform.statusDriver.Answer(kReadLineStatus, 0x30);
    Tick();
    EXPECT_EQ(settings.LampCD, 0);
    EXPECT_FALSE(host.hangUpButtonEnabled);
    const std::string log = files.files["/logs/Sarvendo.DCD"];
    EXPECT_TRUE(log.ends_with("  Sent: 300  Received: 2000 bytes\r\n")) << log;
}

} // namespace
} // namespace sarvendo
