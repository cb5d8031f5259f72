// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonitorFixture.h"

namespace sarvendo {
namespace {

using PollCycleLines = MonitorTest;

TEST_F(PollCycleLines, NoMonitoredPortDoesNothing)
{
    settings.DefaultPort = 0;
    line.SetCarrier(true);
    Tick(3);
    EXPECT_EQ(line.portOpenQueries + line.dialUpReads + line.portReads, 0);
    EXPECT_EQ(settings.LampCD, 0);
    EXPECT_EQ(host.invalidations, 0);
}

TEST_F(PollCycleLines, DriverLineStatusBitsBecomeLamps)
{
    line.lineStatus = 0x10 | 0x40 | 0x0F; // CTS and RI; the low bits mean nothing
    Tick();
    EXPECT_EQ(settings.LampCTS, 1);
    EXPECT_EQ(settings.LampDSR, 0);
    EXPECT_EQ(settings.LampRI, 1);
    EXPECT_EQ(settings.LampCD, 0);
    line.lineStatus = 0x20 | 0x80;
    Tick();
    EXPECT_EQ(settings.LampCTS, 0);
    EXPECT_EQ(settings.LampDSR, 1);
    EXPECT_EQ(settings.LampRI, 0);
    EXPECT_EQ(settings.LampCD, 1);
}

TEST_F(PollCycleLines, CarrierForOneTickIsAConnectThenADisconnectEdge)
{
    settings.ConnectPlaySound = 2;
    settings.DisconnectPlaySound = 1;
    settings.DisconnectSound = "/sounds/bye.wav";
    Connect();
    EXPECT_EQ(settings.LampCD, 1);
    EXPECT_EQ(settings.PrevCD, 1);
    EXPECT_TRUE(host.hangUpButtonEnabled);
    EXPECT_DOUBLE_EQ(settings.SessionStart, clock.Now());
    EXPECT_DOUBLE_EQ(settings.LastActivity, clock.Now());
    Disconnect();
    EXPECT_EQ(settings.LampCD, 0);
    EXPECT_EQ(settings.PrevCD, 0);
    EXPECT_FALSE(host.hangUpButtonEnabled);
    EXPECT_EQ(sound.played, (std::vector<std::string>{"<beep>", "/sounds/bye.wav"}));
    // The one-tick session went into the total at once.
    EXPECT_NEAR(settings.TotalConnectNew * 86400000.0, kTickMs, 1.0);
    EXPECT_EQ(settings.LastActivity, 0.0);
}

TEST_F(PollCycleLines, ConnectEdgeClearsTheCountersAndDisconnectTheSpeed)
{
    settings.TDCounter = 500;
    settings.RDCounter = 700;
    settings.SessionSent = 5;
    line.dialUpConnected = true;
    line.dialUp = {0, 0, 28800};
    Tick();
    EXPECT_EQ(settings.TDCounter, 0);
    EXPECT_EQ(settings.RDCounter, 0);
    EXPECT_EQ(settings.SessionSent, 0);
    EXPECT_EQ(settings.SpeedText, "");
    line.dialUp = {10, 20, 28800};
    Tick();
    EXPECT_EQ(settings.SpeedText, "@ 28800 bps");
    line.dialUpConnected = false;
    Tick();
    EXPECT_EQ(settings.LampCD, 0);
    EXPECT_EQ(settings.SpeedText, "");
}

TEST_F(PollCycleLines, PortNotTrackedByTheDriverTakesRingFromTheUart)
{
    line.portOpen = false;
    line.lineStatus = 0xF0;
    line.modemStatus = 0x40;
    Tick();
    EXPECT_EQ(line.lineStatusReads, 0);
    EXPECT_EQ(settings.LampCD, 0);
    EXPECT_EQ(settings.LampCTS, 0);
    EXPECT_EQ(settings.LampRI, 1);
    // With the driver reporting, the UART's ring bit is not read.
    line.portOpen = true;
    line.lineStatus = 0x00;
    line.ResetCounts();
    Tick();
    EXPECT_EQ(settings.LampRI, 0);
    EXPECT_EQ(line.portReads, 0);
}

TEST_F(PollCycleLines, NoDirectHardwareAccessReadsNoRegister)
{
    settings.NoDirectHardwareAcesss = 1;
    settings.NewOrientation = 4;
    line.portOpen = false;
    line.modemStatus = 0x40;
    Tick();
    EXPECT_EQ(line.portReads, 0);
    EXPECT_EQ(settings.LampRI, 0);
    EXPECT_EQ(settings.LampDTR, 0);
}

TEST_F(PollCycleLines, DtrAndRtsAreReadOnlyInTheModemAndCourierLayouts)
{
    line.modemControl = 0x03;
    for (const int layout : {1, 2, 3}) {
        settings.NewOrientation = layout;
        Tick();
        EXPECT_EQ(settings.LampDTR, 0) << layout;
        EXPECT_EQ(settings.LampRTS, 0) << layout;
    }
    settings.NewOrientation = 5;
    Tick();
    EXPECT_EQ(settings.LampDTR, 1);
    EXPECT_EQ(settings.LampRTS, 1);
    line.modemControl = std::nullopt; // a port without a register address
    Tick();
    EXPECT_EQ(settings.LampDTR, 0);
}

TEST_F(PollCycleLines, LayoutFourRepaintsWhenOnlyDtrChanges)
{
    settings.NewOrientation = 4;
    line.modemControl = 0x01;
    Tick();
    const int before = host.invalidations;
    Tick();
    EXPECT_EQ(host.invalidations, before);
    line.modemControl = 0x00;
    Tick();
    EXPECT_EQ(host.invalidations, before + 1);
    EXPECT_EQ(settings.PaintedLamps.LampDTR, 0);

    // In layouts 1 to 3 the same change would not count even if the flag moved.
    settings.NewOrientation = 2;
    settings.PaintedLamps.LampDTR = 1;
    Tick();
    EXPECT_EQ(host.invalidations, before + 1);
}

TEST_F(PollCycleLines, TickMakesNoMoreRequestsThanBudgeted)
{
    settings.StatusInDisplay = 1;
    settings.NewOrientation = 5;
    line.SetCarrier(true);
    for (int i = 0; i < 20; ++i) {
        line.ResetCounts();
        line.sentIncrement = 10;
        Tick();
        // 6 and 8, then the counts (6, 4, 5 or 11), then 9 and 10: at most seven requests.
        EXPECT_EQ(line.portOpenQueries, 1);
        EXPECT_EQ(line.lineStatusReads, 1);
        EXPECT_LE(line.driverCountReads, 1);
        EXPECT_EQ(line.lineParameterReads, 1);
        EXPECT_LE(line.portReads, 2);
    }
    settings.StatusInDisplay = 0;
    line.ResetCounts();
    Tick();
    EXPECT_EQ(line.lineParameterReads, 0);
}

TEST_F(PollCycleLines, EachCallIsExactlyOneTick)
{
    // With "Timer Interval" 0 the timer stands still and the menu command runs one tick
    // per use; nothing happens between uses.
    settings.TimerInterval = 0;
    line.SetCarrier(true);
    clock.Advance(5000);
    EXPECT_EQ(settings.LampCD, 0);
    cycle.TimerTimer();
    EXPECT_EQ(line.portOpenQueries, 1);
    EXPECT_EQ(line.dialUpReads, 1);
    EXPECT_EQ(settings.LampCD, 1);
}

using PollCycleCounters = MonitorTest;

TEST_F(PollCycleCounters, RisingCountersLightTheLampsAndFeedTheSession)
{
    Connect();
    line.sentIncrement = 100;
    Tick();
    EXPECT_EQ(settings.LampTD, 1);
    EXPECT_EQ(settings.LampRD, 0);
    EXPECT_EQ(settings.TDCounter, 100);
    EXPECT_EQ(settings.SessionSent, 100);
    line.receivedIncrement = 40;
    Tick();
    EXPECT_EQ(settings.LampTD, 0);
    EXPECT_EQ(settings.LampRD, 1);
    EXPECT_EQ(settings.SessionReceived, 40);
    EXPECT_EQ(settings.TDBytesAccum + settings.TDBytesLastWindow, 100);
}

TEST_F(PollCycleCounters, ReceivedCounterDroppingWaitsForTheConnectEdge)
{
    line.dialUpConnected = true;
    line.dialUp = {0, 5000, 0};
    Tick();
    Tick();
    line.dialUpConnected = false;
    Tick();
    EXPECT_EQ(settings.LampCD, 0);
    EXPECT_EQ(settings.RDCounter, 5000); // as the old connection left it
    // A new connection counts from 0 again, below the old value: no lamp until the edge.
    line.dialUpConnected = true;
    line.dialUp = {0, 300, 0};
    Tick();
    EXPECT_EQ(settings.LampRD, 0);
    EXPECT_EQ(settings.RDCounter, 0);
    line.dialUp = {0, 310, 0};
    Tick();
    EXPECT_EQ(settings.LampRD, 1);
    EXPECT_EQ(settings.RDCounter, 310);
}

TEST_F(PollCycleCounters, ANewDialUpConnectionStartsTheCountersAfresh)
{
    // The reader only reports what it found; the poll cycle clears its bases at once, in
    // the tick of the find, before the counts are taken.
    line.dialUpConnected = true;
    line.dialUp = {100, 200, 0};
    Tick();
    settings.TDCounter = 9000;
    settings.RDCounter = 9000;
    settings.SessionSent = 7;
    settings.SessionReceived = 7;
    line.dialUpNewConnection = true;
    line.dialUp = {40, 60, 0};
    Tick();
    EXPECT_EQ(settings.TDCounter, 40);
    EXPECT_EQ(settings.RDCounter, 60);
    EXPECT_EQ(settings.SessionSent, 40);
    EXPECT_EQ(settings.SessionReceived, 60);
    EXPECT_EQ(settings.LampTD, 1);
}

TEST_F(PollCycleCounters, WithoutDriverCountersDecideTheCarrier)
{
    line.driverPresent = false;
    line.lineStatus = 0xF0;
    line.dialUpConnected = false;
    Tick();
    EXPECT_EQ(settings.LampCD, 0);
    EXPECT_EQ(line.portOpenQueries, 0);
    // A dial-up connection with zero counts: the reader itself reports the carrier.
    line.dialUpConnected = true;
    line.dialUp = {0, 0, 0};
    Tick();
    EXPECT_EQ(settings.LampCD, 1);
    line.dialUpConnected = false;
    Tick();
    EXPECT_EQ(settings.LampCD, 0);
}

TEST_F(PollCycleCounters, NonZeroCountersWithoutDriverMeanCarrier)
{
    line.driverPresent = false;
    line.dialUp = {12, 0, 0};
    // Counts from a source that does not report the carrier itself.
    line.dialUpConnected = true;
    line.dialUpReportsCarrier = false;
    Tick();
    EXPECT_EQ(settings.LampCD, 1);
    line.dialUp = {0, 0, 0};
    Tick();
    EXPECT_EQ(settings.LampCD, 0);
}

TEST_F(PollCycleCounters, TriggerRdIgnoresSendOnlyTraffic)
{
    settings.TriggerRD = 1;
    Connect();
    const DateTime connectedAt = settings.LastActivity;
    RunFor(1000);
    line.sentIncrement = 1000;
    Tick();
    EXPECT_EQ(settings.LampTD, 1);
    EXPECT_DOUBLE_EQ(settings.LastActivity, connectedAt);
    line.receivedIncrement = 1;
    Tick();
    EXPECT_DOUBLE_EQ(settings.LastActivity, clock.Now());

    settings.TriggerRD = 0;
    RunFor(1000);
    line.sentIncrement = 1;
    Tick();
    EXPECT_DOUBLE_EQ(settings.LastActivity, clock.Now());
}

TEST_F(PollCycleCounters, RateWindowOfFiveSecondsClosesOnMultiplesOfFive)
{
    settings.RDTDSpeedUpdate = 5;
    clock.SetTickCount(12'000);
    settings.RateWindowTick = 10'000;
    line.receivedIncrement = 1000;
    Tick(1, 100); // 12.1 s: more than a second after the last close, but not a multiple of 5
    EXPECT_EQ(settings.RDBytesLastWindow, 0);
    EXPECT_EQ(settings.RDBytesAccum, 1000);
    clock.SetTickCount(14'990);
    line.receivedIncrement = 4000;
    const int before = host.invalidations;
    Tick(1, 20); // 15.010 s
    EXPECT_EQ(settings.RDBytesLastWindow, 5000);
    EXPECT_EQ(settings.RDBytesAccum, 0);
    EXPECT_EQ(settings.RateWindowTick, 15'010U);
    EXPECT_EQ(host.invalidations, before + 1);
    // The shown rate is the window's bytes divided by its length.
    EXPECT_EQ(settings.RDBytesLastWindow / settings.RDTDSpeedUpdate, 1000);
    // Still in second 15 but within a second of the close: no new window.
    line.receivedIncrement = 10;
    Tick(1, 500);
    EXPECT_EQ(settings.RDBytesLastWindow, 5000);
    // Next close at second 20.
    RunFor(4600);
    EXPECT_EQ(settings.RDBytesLastWindow, 10);
    EXPECT_GE(settings.RateWindowTick, 20'000U);
    EXPECT_LT(settings.RateWindowTick, 20'100U);
}

TEST_F(PollCycleCounters, RateWindowKeepsClosingAcrossTheTickCountWrap)
{
    settings.RDTDSpeedUpdate = 1;
    settings.RateWindowTick = 0xFFFF'FF00U;
    clock.SetTickCount(0xFFFF'FF00U);
    line.sentIncrement = 7;
    RunFor(3000);
    EXPECT_LT(settings.RateWindowTick, 3000U);
    EXPECT_EQ(settings.TDBytesAccum, 0);
}

TEST_F(PollCycleCounters, ZeroWindowLengthNeverCloses)
{
    settings.RDTDSpeedUpdate = 0;
    line.sentIncrement = 5;
    RunFor(10'000);
    EXPECT_EQ(settings.TDBytesLastWindow, 0);
    EXPECT_EQ(settings.TDBytesAccum, 5);
}

TEST_F(PollCycleCounters, SpeedTextIsBuiltOncePerConnection)
{
    settings.NewOrientation = 5;
    line.dialUpConnected = true;
    line.dialUp = {1, 1, 14400};
    Tick();
    EXPECT_EQ(settings.SpeedText, "@ 14400 bps");
    EXPECT_EQ(settings.HighSpeed, 1);
    line.dialUp = {2, 2, 9600};
    Tick();
    EXPECT_EQ(settings.SpeedText, "@ 14400 bps");
    settings.SpeedText.clear();
    Tick();
    EXPECT_EQ(settings.SpeedText, "@ 9600 bps");
    EXPECT_EQ(settings.HighSpeed, 0);
}

TEST_F(PollCycleCounters, AutoOnTopFollowsTraffic)
{
    settings.OnTop = 2;
    settings.AutoDelay = 2;
    line.sentIncrement = 1;
    Tick();
    EXPECT_EQ(settings.AutoOnTop, 1);
    RunFor(2000);
    EXPECT_EQ(settings.AutoOnTop, 1);
    RunFor(100);
    EXPECT_EQ(settings.AutoOnTop, 0);
}

using PollCycleRepaint = MonitorTest;

TEST_F(PollCycleRepaint, NothingChangedAsksForNoRepaint)
{
    Tick(2);
    const int before = host.invalidations;
    Tick(50);
    EXPECT_EQ(host.invalidations, before);
}

TEST_F(PollCycleRepaint, HiddenWindowIsPaintedDirectly)
{
    host.hidden = true;
    Tick(2);
    const int paints = host.directPaints;
    line.SetRing(true);
    Tick();
    EXPECT_EQ(host.directPaints, paints + 1);
    line.SetRing(false);
    Tick();
    EXPECT_EQ(host.directPaints, paints + 2);
    host.hidden = false;
    line.SetRing(true);
    Tick();
    EXPECT_EQ(host.directPaints, paints + 2);
}

TEST_F(PollCycleRepaint, ShownClockRepaintsOncePerSecond)
{
    settings.DisplayConnectTime = 1;
    Connect();
    const int before = host.invalidations;
    RunFor(10'000);
    const int repaints = host.invalidations - before;
    EXPECT_GE(repaints, 10);
    EXPECT_LE(repaints, 11);
}

TEST_F(PollCycleRepaint, RebuildRequestsRepaint)
{
    Tick();
    settings.RebuildLayout = 1;
    const int before = host.invalidations;
    Tick();
    EXPECT_EQ(host.invalidations, before + 1);
}

TEST_F(PollCycleRepaint, DisconnectClearsTheForeignCaption)
{
    settings.Title = 2;
    Connect();
    Disconnect();
    EXPECT_EQ(host.captionRedraws, 1);
    settings.Title = 0;
    Connect();
    Disconnect();
    EXPECT_EQ(host.captionRedraws, 1);
}

} // namespace
} // namespace sarvendo
