// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonitorFixture.h"

#include "monitor/ElapsedTime.h"

namespace sarvendo {
namespace {

constexpr std::int64_t kMinute = 60'000;

class Inactivity : public MonitorTest
{
protected:
    void Warn(int minutes, int seconds = 0)
    {
        settings.WarnIfInactive = 1;
        settings.WarnTimeIfInactive = minutes;
        settings.WarnTimeIfInactiveSeconds = seconds;
    }
    void Drop(int minutes, int seconds = 0)
    {
        settings.DisconnectIfInactive = 1;
        settings.DisconnectTimeIfInactive = minutes;
        settings.DisconnectTimeIfInactiveSeconds = seconds;
    }
    static std::string DisconnectText(int minutes, int seconds)
    {
        return "Your connection has been inactive for " + std::to_string(minutes) + " minute(s) and " +
               std::to_string(seconds) + " seconds(s). Automatic disconnect performed!";
    }
};

TEST_F(Inactivity, DisconnectTextForTwoMinutesThirty)
{
    Drop(2, 30);
    Connect();
    RunFor(2 * kMinute + 29'900);
    EXPECT_EQ(line.hangUps, 0);
    RunFor(200);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text,
              "Your connection has been inactive for 2 minute(s) and 30 seconds(s). Automatic disconnect performed!");
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(boxes.shown[0].stacking, MessageStacking::Topmost);
    EXPECT_EQ(host.topmostRequests, 1);
    EXPECT_EQ(line.hangUps, 1);
    EXPECT_EQ(settings.AutoDisconnectBusy, 0);
    // The idle time restarted when the box closed.
    EXPECT_LT(MillisecondsBetween(settings.LastActivity, clock.Now()), 200);
}

TEST_F(Inactivity, AHangUpThatCouldNotActIsNeverReportedAsDone)
{
    line.hangUpResult = HangUpResult{false, "the control lines of COM1 cannot be reached (busy: another program "
                                            "holds it exclusively)"};
    const std::string failure = "Sarvendo could not hang up the line: the control lines of COM1 cannot be reached "
                                "(busy: another program holds it exclusively).";
    // The automatic disconnect says so in its own box, with the reason.
    Drop(2, 30);
    Connect();
    RunFor(2 * kMinute + 30'000);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Your connection has been inactive for 2 minute(s) and 30 seconds(s). " + failure);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
    // The carrier is still there, so the rule fires again after another full limit.
    RunFor(2 * kMinute + 30'000);
    EXPECT_EQ(line.hangUps, 2);

    // The warning's Yes gets a box of its own when the hang-up could not act.
    settings.DisconnectIfInactive = 0;
    boxes.shown.clear();
    Warn(1);
    RunFor(kMinute);
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(boxes.shown[1].text, failure);
    EXPECT_EQ(boxes.shown[1].buttons, MessageButtons::Ok);

    // A performed hang-up keeps the usual texts and shows no extra box.
    line.hangUpResult = HangUpResult{true, {}};
    boxes.shown.clear();
    RunFor(kMinute);
    EXPECT_EQ(boxes.shown.size(), 1U);
}

TEST_F(Inactivity, HangUpComesBeforeTheBox)
{
    Drop(1);
    int hangUpsWhenShown = -1;
    boxes.whileOpen = [&](const fakes::FakeMessageBoxes::Shown&) { hangUpsWhenShown = line.hangUps; };
    Connect();
    RunFor(kMinute);
    EXPECT_EQ(hangUpsWhenShown, 1);
}

TEST_F(Inactivity, TrafficRestartsTheIdleTime)
{
    Drop(1);
    Connect();
    RunFor(50'000);
    line.receivedIncrement = 10;
    Tick();
    RunFor(50'000);
    EXPECT_EQ(line.hangUps, 0);
    RunFor(10'000);
    EXPECT_EQ(line.hangUps, 1);
}

TEST_F(Inactivity, UploadDoesNotRestartTheIdleTimeWithTriggerRd)
{
    settings.TriggerRD = 1;
    Drop(1);
    Connect();
    for (int i = 0; i < 60; ++i) {
        line.sentIncrement = 100;
        RunFor(1000);
    }
    EXPECT_EQ(line.hangUps, 1);
}

TEST_F(Inactivity, UnansweredWarningAndTheDisconnectOverIt)
{
    Warn(5);
    Drop(10);
    settings.WarnInactivePlaySound = 2;
    std::vector<std::string> openBoxes;
    boxes.answers = {MessageResult::Ok, MessageResult::Yes}; // the disconnect box closes first
    boxes.whileOpen = [&](const fakes::FakeMessageBoxes::Shown& shown) {
        if (shown.buttons == MessageButtons::YesNo) {
            // The warning stays unanswered while the timer keeps ticking in its loop.
            EXPECT_EQ(settings.InactivityWarnBusy, 1);
            RunFor(5 * kMinute + 1000);
            EXPECT_EQ(line.hangUps, 1);
        }
    };
    Connect();
    RunFor(5 * kMinute);
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_NE(boxes.shown[0].text.find("5 minute(s) and 0 seconds(s). Do You want to disconnect?"), std::string::npos);
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(boxes.shown[1].text, DisconnectText(10, 0));
    // Answering the warning with Yes afterwards hangs up once more.
    EXPECT_EQ(line.hangUps, 2);
    EXPECT_EQ(sound.played, (std::vector<std::string>{"<beep>"}));
    EXPECT_EQ(settings.InactivityWarnBusy, 0);
}

TEST_F(Inactivity, WarningAnsweredNoKeepsTheLine)
{
    Warn(1);
    boxes.answers = {MessageResult::No};
    Connect();
    RunFor(kMinute);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(line.hangUps, 0);
    // The idle time restarts from the answer.
    RunFor(kMinute - 1000);
    EXPECT_EQ(boxes.shown.size(), 1U);
    RunFor(1000);
    EXPECT_EQ(boxes.shown.size(), 2U);
}

TEST_F(Inactivity, BusyFlagKeepsTheBoxFromStacking)
{
    Warn(0, 10);
    int nestedMax = 0;
    boxes.whileOpen = [&](const fakes::FakeMessageBoxes::Shown&) {
        nestedMax = std::max(nestedMax, boxes.open);
        RunFor(60'000);
    };
    boxes.answers = {MessageResult::No};
    Connect();
    RunFor(10'000);
    EXPECT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(nestedMax, 1);
}

TEST_F(Inactivity, EqualLimitsDisconnectWithoutWarning)
{
    Warn(3);
    Drop(3);
    Connect();
    RunFor(3 * kMinute);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(line.hangUps, 1);
}

TEST_F(Inactivity, ZeroLimitsFireInTheConnectTick)
{
    Warn(0, 0);
    Drop(0, 0);
    boxes.answers = {MessageResult::Ok, MessageResult::No};
    Connect();
    // The disconnect fires first and restarts the idle time; the warning's limit of zero
    // has passed again at once.
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[0].text, DisconnectText(0, 0));
    EXPECT_EQ(boxes.shown[1].buttons, MessageButtons::YesNo);
}

TEST_F(Inactivity, NothingFiresWithoutCarrier)
{
    Warn(0, 0);
    Drop(0, 0);
    RunFor(kMinute);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(settings.LastActivity, 0.0);
}

TEST_F(Inactivity, TogglingARuleRestartsTheIdleTime)
{
    Drop(1);
    Connect();
    RunFor(50'000);
    settings.AutoDisconnectBusy = 1;
    cycle.Guard().DisconnectIfInactiveToggled();
    EXPECT_EQ(settings.AutoDisconnectBusy, 0);
    RunFor(50'000);
    EXPECT_EQ(line.hangUps, 0);
    settings.InactivityWarnBusy = 1;
    cycle.Guard().WarnIfInactiveToggled();
    EXPECT_EQ(settings.InactivityWarnBusy, 0);
    EXPECT_DOUBLE_EQ(settings.LastActivity, clock.Now());
}

class AutoExit : public MonitorTest
{
protected:
    AutoExit()
    {
        settings.CDAutoExit = 1;
        settings.CDAutoExitDelay = 30;
    }
};

TEST_F(AutoExit, EndsTheProgramAfterTheDelay)
{
    Connect();
    Disconnect();
    EXPECT_EQ(settings.AutoExitPending, 1);
    RunFor(30'000);
    EXPECT_EQ(host.endRequests, 0);
    Tick();
    EXPECT_EQ(line.releases, 1);
    EXPECT_TRUE(host.timerStopped);
    EXPECT_EQ(host.closeQueries, 1);
    EXPECT_EQ(host.endRequests, 1);
    // A tick that still arrives does nothing: no exit again, no request to the line.
    line.ResetCounts();
    Tick();
    EXPECT_EQ(host.endRequests, 1);
    EXPECT_EQ(line.dialUpReads, 0);
}

TEST_F(AutoExit, ExitFromInsideAWatchdogBoxEndsTheOuterTick)
{
    settings.DisconnectIfInactive = 1;
    settings.DisconnectTimeIfInactive = 1;
    settings.LogDCD = 1;
    boxes.whileOpen = [&](const fakes::FakeMessageBoxes::Shown&) {
        // The hang-up took the carrier away; the box stays open past the exit delay.
        line.SetCarrier(false);
        RunFor(31'000);
    };
    Connect();
    RunFor(60'000);
    EXPECT_EQ(host.endRequests, 1);
    const int invalidations = host.invalidations;
    const int appends = files.appends;
    Tick();
    EXPECT_EQ(host.invalidations, invalidations);
    EXPECT_EQ(files.appends, appends);
}

TEST_F(AutoExit, ReconnectDisarmsAndTheCountStartsAnew)
{
    Connect();
    Disconnect();
    RunFor(20'000);
    Connect();
    EXPECT_EQ(settings.AutoExitPending, 0);
    RunFor(20'000);
    EXPECT_EQ(host.endRequests, 0);
    Disconnect();
    RunFor(29'000);
    EXPECT_EQ(host.endRequests, 0);
    RunFor(1100);
    EXPECT_EQ(host.endRequests, 1);
}

TEST_F(AutoExit, OffMeansNoExit)
{
    settings.CDAutoExit = 0;
    Connect();
    Disconnect();
    RunFor(120'000);
    EXPECT_EQ(host.endRequests, 0);
    EXPECT_EQ(settings.AutoExitPending, 0);
}

TEST_F(AutoExit, WithoutDriverNothingIsReleased)
{
    line.driverPresent = false;
    line.dialUpConnected = true;
    Tick();
    line.dialUpConnected = false;
    Tick();
    RunFor(31'000);
    EXPECT_EQ(line.releases, 0);
    EXPECT_EQ(host.endRequests, 1);
}

using Sounds = MonitorTest;

TEST_F(Sounds, ChoicesPlayBeepOrStaySilent)
{
    settings.ConnectPlaySound = 1;
    settings.ConnectSound = "/sounds/connect.wav";
    settings.DisconnectPlaySound = 7; // anything but 1 and 2 is silent
    Connect();
    Disconnect();
    settings.ConnectPlaySound = 0;
    settings.DisconnectPlaySound = 2;
    Connect();
    Disconnect();
    EXPECT_EQ(sound.played, (std::vector<std::string>{"/sounds/connect.wav", "<beep>"}));
}

TEST_F(Sounds, LongFileNameIsPlayedWhole)
{
    const std::string longName = "/sounds/" + std::string(200, 'a') + ".wav";
    settings.RIPlaySound = 1;
    settings.RISound = longName;
    line.SetRing(true);
    Tick();
    EXPECT_EQ(sound.played, (std::vector<std::string>{longName}));
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// A wave that takes three seconds to play; the tick waits for it, as the real player's
// callers do.
class SlowSound final : public Sound
{
public:
    explicit SlowSound(fakes::FakeClock& clock) : m_clock(clock) {}
    void PlayWave(const std::string& /*path*/) override
    {
        ++plays;
        m_clock.Advance(3000);
    }
    void Beep() override {}

    int plays = 0;

private:
    fakes::FakeClock& m_clock;
};

TEST(SlowRingSound, EveryPulseIsStillANewEdge)
{
    Settings settings;
    settings.DefaultPort = 1;
    settings.RIPlaySound = 1;
    settings.RISound = "/sounds/ring.wav";
    fakes::FakeClock clock;
    fakes::FakeMonitoredLine line;
    SlowSound sound(clock);
    fakes::FakeMessageBoxes boxes;
    fakes::FakeLogFiles files;
    fakes::FakeDirectories directories("/logs");
    fakes::FakeMonitorHost host;
    DateTimeFormats formats;
    PollCycle cycle(settings, clock, line, sound, boxes, files, directories, formats, host);
    // The sound outlasts each pulse, but a tick sees RI off before the next one.
    for (int pulse = 0; pulse < 3; ++pulse) {
        line.SetRing(true);
        clock.Advance(56);
        cycle.TimerTimer();
        line.SetRing(false);
        for (int i = 0; i < 20; ++i) {
            clock.Advance(56);
            cycle.TimerTimer();
        }
    }
    EXPECT_EQ(sound.plays, 3);
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// The wall clock jumps by an hour (a change of daylight saving time, or the user setting
// the clock) in the middle of a call: the limits, the automatic exit and the session
// time follow the time that really passed.
class ClockJump : public MonitorTest
{
protected:
    static constexpr std::int64_t kHour = 60 * kMinute;

    ClockJump()
    {
        settings.DisconnectIfInactive = 1;
        settings.DisconnectTimeIfInactive = 10;
        settings.CDAutoExit = 1;
        settings.CDAutoExitDelay = 30;
    }
};

TEST_F(ClockJump, AnHourForwardOrBackChangesNoDuration)
{
    for (const std::int64_t jump : {kHour, -kHour}) {
        SCOPED_TRACE(jump);
        const int hangUpsBefore = line.hangUps;
        Connect();
        RunFor(5 * kMinute);
        clock.JumpWallClock(jump);
        RunFor(5 * kMinute - 1000);
        EXPECT_EQ(line.hangUps, hangUpsBefore) << "the call has been idle for under ten minutes";
        EXPECT_NEAR(static_cast<double>(cycle.Time().SessionElapsedMs()), 10.0 * kMinute - 1000, 2.0 * kTickMs);
        RunFor(2000);
        EXPECT_EQ(line.hangUps, hangUpsBefore + 1) << "ten idle minutes, whatever the wall clock says";

        const double totalBefore = settings.TotalConnectNew;
        Disconnect();
        EXPECT_NEAR((settings.TotalConnectNew - totalBefore) * kMsPerDay, 10.0 * kMinute + 1000, 2.0 * kTickMs)
            << "the total gains the call, not the jump";
        clock.JumpWallClock(jump);
        RunFor(20'000);
        EXPECT_EQ(host.closeQueries, 0) << "the exit delay is not cut short";
        if (jump < 0) {
            break;
        }
        // Back to connected before the delay ends: the exit is disarmed for the next round.
        Connect();
    }
    RunFor(11'000);
    EXPECT_EQ(host.closeQueries, 1) << "the exit follows thirty seconds after the carrier went";
}

} // namespace
} // namespace sarvendo
