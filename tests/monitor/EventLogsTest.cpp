// SPDX-License-Identifier: GPL-3.0-or-later
#include "MonitorFixture.h"

#include "fakes/TempDir.h"
#include "monitor/ElapsedTime.h"
#include "platform/linux/LinuxLogFiles.h"

#include <set>

namespace sarvendo {
namespace {

class RingLog : public MonitorTest
{
protected:
    RingLog() { settings.LogRI = 1; }

    // One ring pulse: RI on for a second, then off.
    void Pulse()
    {
        line.SetRing(true);
        RunFor(1000);
        line.SetRing(false);
        Tick();
    }
};

TEST_F(RingLog, FourPulsesMakeOneCallLine)
{
    DateTime fourthPulse = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            RunFor(3000);
        }
        line.SetRing(true);
        Tick();
        fourthPulse = clock.Now();
        RunFor(1000);
        line.SetRing(false);
        Tick();
    }
    EXPECT_EQ(settings.RingCount, 5);
    RunFor(8000);
    EXPECT_EQ(RingLogText(), "");
    RunFor(3000);
    EXPECT_EQ(RingLogText(), "Call: " + FormatDateTime("c", fourthPulse, formats) + "   Signals= 4\r\n");
    EXPECT_EQ(settings.RingCount, 0);
}

TEST_F(RingLog, TheRecordBytesAreExact)
{
    line.SetRing(true);
    clock.SetNow(EncodeDateTime(1998, 6, 15, 14, 9, 8));
    cycle.TimerTimer();
    line.SetRing(false);
    RunFor(11'000);
    EXPECT_EQ(RingLogText(), "Call: 6/15/98 2:09:08 PM   Signals= 1\r\n");
    // A second call is appended to the same file.
    clock.SetNow(EncodeDateTime(1998, 6, 16, 0, 0, 0));
    line.SetRing(true);
    cycle.TimerTimer();
    line.SetRing(false);
    RunFor(11'000);
    EXPECT_EQ(RingLogText(), "Call: 6/15/98 2:09:08 PM   Signals= 1\r\nCall: 6/16/98   Signals= 1\r\n");
}

TEST_F(RingLog, PulsesNineSecondsApartAreOneCall)
{
    Pulse();
    RunFor(8000);
    Pulse();
    RunFor(8000);
    Pulse();
    EXPECT_EQ(RingLogText(), "");
    const DateTime lastPulse = settings.LastRingTime;
    RunFor(9000);
    EXPECT_EQ(RingLogText(), "");
    RunFor(1100);
    EXPECT_EQ(RingLogText(), "Call: " + FormatDateTime("c", lastPulse, formats) + "   Signals= 3\r\n");
}

TEST_F(RingLog, TheWallClockJumpingBetweenRingsNeitherEndsNorStretchesTheCall)
{
    constexpr std::int64_t kHour = 3'600'000;
    for (const std::int64_t jump : {kHour, -kHour}) {
        SCOPED_TRACE(jump);
        const std::string before = RingLogText();
        Pulse();
        clock.JumpWallClock(jump);
        RunFor(3000);
        Pulse();
        EXPECT_EQ(RingLogText(), before) << "two rings three seconds apart are one call";
        RunFor(9000);
        EXPECT_EQ(RingLogText(), before);
        RunFor(1100);
        EXPECT_TRUE(RingLogText().ends_with("Signals= 2\r\n")) << "ten quiet seconds end it";
    }
}

TEST_F(RingLog, LineWaitsForRiToBeOff)
{
    line.SetRing(true);
    RunFor(15'000); // a stuck ring line: one long pulse
    EXPECT_EQ(RingLogText(), "");
    line.SetRing(false);
    Tick();
    EXPECT_NE(RingLogText(), "");
}

TEST_F(RingLog, SwitchedOnDuringRingingCountsFromTheNextEdge)
{
    settings.LogRI = 0;
    line.SetRing(true);
    Tick();
    settings.LogRI = 1;
    RunFor(500);
    EXPECT_EQ(settings.RingCount, 0);
    line.SetRing(false);
    Tick();
    RunFor(12'000);
    EXPECT_EQ(RingLogText(), "");
    Pulse();
    RunFor(3000);
    Pulse();
    RunFor(11'000);
    EXPECT_NE(RingLogText().find("Signals= 2\r\n"), std::string::npos);
}

TEST_F(RingLog, EveryPulseBeeps)
{
    settings.RIPlaySound = 2;
    settings.LogRI = 0;
    for (int i = 0; i < 3; ++i) {
        Pulse();
        RunFor(2000);
    }
    EXPECT_EQ(sound.played, (std::vector<std::string>(3, "<beep>")));
}

TEST_F(RingLog, RingFromTheUartCountsToo)
{
    line.portOpen = false;
    line.modemStatus = 0x40;
    Tick();
    line.modemStatus = 0x00;
    Tick();
    RunFor(11'000);
    EXPECT_NE(RingLogText().find("Signals= 1\r\n"), std::string::npos);
}

class ConnectLog : public MonitorTest
{
protected:
    ConnectLog()
    {
        settings.LogDCD = 1;
        formats.longTimeFormat = "h:mm:ss";
        formats.shortDateFormat = "M/d/yy";
    }

    // A connection of the given length, the carrier seen from start to end.
    void Connection(std::int64_t ms)
    {
        Connect();
        RunFor(ms - kTickMs);
        Disconnect();
    }
};

TEST_F(ConnectLog, ShorterThanTheIntervalIsNotLogged)
{
    Connection(20'000);
    RunFor(60'000);
    EXPECT_EQ(ConnectLogText(), "");
    EXPECT_EQ(settings.DcdLogState, 0);
}

TEST_F(ConnectLog, JustLongerThanTheIntervalWritesTheWholeRecord)
{
    const DateTime start = clock.Now() + kTickMs / kMsPerDay;
    Connect();
    RunFor(30'000);
    EXPECT_EQ(ConnectLogText(), ""); // exactly the interval is not more than it
    Tick();
    const std::string connected = "Connected: " + FormatDateTime("c", start, formats);
    EXPECT_EQ(ConnectLogText(), connected);
    EXPECT_EQ(settings.DcdLogState, 2);
    Disconnect();
    const std::string expected = connected + "  Disconnected: " + FormatDateTime("c", clock.Now(), formats) +
                                 "  Session Time = 0:00:30  Total Time = 0:00:30\r\n";
    EXPECT_EQ(ConnectLogText(), expected);
    EXPECT_EQ(settings.DcdLogState, 0);
}

TEST_F(ConnectLog, TheRecordBytesAreExact)
{
    settings.LogTotalBytes = 1;
    settings.TotalConnectNew = 1.0 / 24; // an hour from earlier sessions
    clock.SetNow(EncodeDateTime(1998, 6, 15, 14, 9, 8) - kTickMs / kMsPerDay);
    Connect();
    line.sentIncrement = 1200;
    line.receivedIncrement = 34'000;
    Tick();
    RunFor(61'000 - 2 * kTickMs);
    Disconnect();
    EXPECT_EQ(ConnectLogText(), "Connected: 6/15/98 14:09:08  Disconnected: 6/15/98 14:10:09  Session Time = 0:01:01"
                                "  Total Time = 1:01:01  Sent: 1200  Received: 34000 bytes\r\n");
}

TEST_F(ConnectLog, EmptyExistingLogGetsALineEndFirst)
{
    files.files[cycle.Logs().ConnectLogPath()] = "";
    Connection(40'000);
    EXPECT_TRUE(ConnectLogText().starts_with("\r\nConnected: "));
    // The next record follows a complete line and needs none.
    Connection(40'000);
    const std::string log = ConnectLogText();
    EXPECT_EQ(log.find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

TEST_F(ConnectLog, UnfinishedRecordIsClosedBeforeTheNext)
{
    files.files[cycle.Logs().ConnectLogPath()] = "Connected: 6/14/98 9:00:00";
    Connection(40'000);
    EXPECT_TRUE(ConnectLogText().starts_with("Connected: 6/14/98 9:00:00\r\nConnected: "));
}

TEST_F(ConnectLog, NegotiationDelayIsAddedToSessionAndTotal)
{
    settings.NegotiationDelay = 20;
    Connection(60'000);
    EXPECT_NE(ConnectLogText().find("  Session Time = 0:01:20  Total Time = 0:01:20\r\n"), std::string::npos);
    EXPECT_EQ(MillisecondsBetween(0.0, settings.TotalConnectNew), 80'000);
}

TEST_F(ConnectLog, SessionResetMidConnectionCountsFromTheReset)
{
    Connect();
    RunFor(10'000);
    cycle.Time().ResetSessionConnectTimeClick();
    const DateTime reset = clock.Now();
    RunFor(40'000);
    Disconnect();
    EXPECT_TRUE(ConnectLogText().starts_with("Connected: " + FormatDateTime("c", reset, formats) + "  "));
    EXPECT_NE(ConnectLogText().find("Session Time = 0:00:40"), std::string::npos);
    EXPECT_NEAR(MillisecondsBetween(0.0, settings.TotalConnectNew), 40'056, 1);
}

TEST_F(ConnectLog, TotalOfExactlyThreeDays)
{
    settings.TotalConnectNew = 3.0 - 40.0 / 86400;
    Connection(40'000);
    EXPECT_TRUE(ConnectLogText().ends_with("  Total Time = 72:00:00\r\n")) << ConnectLogText();
}

TEST_F(ConnectLog, TheDisplayedTotalIncludesTheRunningSession)
{
    settings.TotalConnectNew = 0.5;
    Connect();
    RunFor(60'000);
    EXPECT_EQ(MillisecondsBetween(0.5, cycle.Time().DisplayedTotal()), 60'000);
    Disconnect();
    EXPECT_DOUBLE_EQ(cycle.Time().DisplayedTotal(), settings.TotalConnectNew);
    cycle.Time().ResetTotalConnectTimeClick();
    EXPECT_EQ(settings.TotalConnectNew, 0.0);
}

class LogFailures : public ConnectLog
{
protected:
    LogFailures() { settings.LogRI = 1; }
};

TEST_F(LogFailures, OneBoxPerFailingLogAndTheRecordWrittenLater)
{
    files.failing.insert(cycle.Logs().RingLogPath());
    int nestedTicks = 0;
    boxes.whileOpen = [&](const fakes::FakeMessageBoxes::Shown&) {
        // The box's loop keeps ticking; each nested tick fails again without a new box.
        for (int i = 0; i < 20; ++i) {
            Tick();
            ++nestedTicks;
        }
    };
    line.SetRing(true);
    Tick();
    const DateTime pulse = clock.Now();
    line.SetRing(false);
    RunFor(11'000);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(nestedTicks, 20);
    EXPECT_NE(boxes.shown[0].text.find(cycle.Logs().RingLogPath()), std::string::npos);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    EXPECT_TRUE(cycle.Logs().RingLogPending());
    RunFor(5000);
    EXPECT_EQ(boxes.shown.size(), 1U); // retried silently
    files.failing.clear();
    Tick();
    EXPECT_EQ(RingLogText(), "Call: " + FormatDateTime("c", pulse, formats) + "   Signals= 1\r\n");
    EXPECT_FALSE(cycle.Logs().RingLogPending());
}

TEST_F(LogFailures, RecordsKeepTheirTimesAndOrder)
{
    files.failing.insert(cycle.Logs().ConnectLogPath());
    Connect();
    const DateTime start = clock.Now();
    RunFor(40'000);
    Disconnect();
    const DateTime end = clock.Now();
    RunFor(60'000);
    Connect();
    EXPECT_EQ(boxes.shown.size(), 2U); // one per record that failed, never stacked
    files.failing.clear();
    RunFor(5000);
    EXPECT_EQ(ConnectLogText(), "Connected: " + FormatDateTime("c", start, formats) +
                                    "  Disconnected: " + FormatDateTime("c", end, formats) +
                                    "  Session Time = 0:00:40  Total Time = 0:00:40\r\n");
}

TEST_F(LogFailures, TheRestOfTheTickStillRuns)
{
    files.failing.insert(cycle.Logs().RingLogPath());
    settings.DisconnectIfInactive = 1;
    settings.DisconnectTimeIfInactive = 1;
    line.SetRing(true);
    Tick();
    line.SetRing(false);
    Connect();
    RunFor(61'000);
    EXPECT_GE(boxes.shown.size(), 2U);
    EXPECT_EQ(line.hangUps, 1);
    EXPECT_EQ(settings.PrevRI, 0);
}

// Runs of the program one after another on the same disk: each run's poll cycle is made
// afresh and takes over what the last one kept, as start-up does. The settings live apart
// from the logs, as by default.
class HeldLogRecords : public ::testing::Test
{
protected:
    static constexpr const char* kLog = "/logs/Sarvendo.RI";
    static constexpr const char* kBesideLog = "/logs/Sarvendo.RI.held";
    static constexpr const char* kBesideSettings = "/config/Sarvendo.RI.held";

    struct Run
    {
        explicit Run(HeldLogRecords& test)
            : cycle{settings, test.clock, line, sound, boxes, test.files, test.directories, test.formats, host}
        {
            settings.DefaultPort = 1;
            settings.LogRI = 1;
            startNotes = cycle.TakeOverHeldLogRecords();
        }

        Settings settings;
        fakes::FakeMonitoredLine line;
        fakes::FakeSound sound;
        fakes::FakeMessageBoxes boxes;
        fakes::FakeMonitorHost host;
        PollCycle cycle;
        std::vector<std::string> startNotes;
    };

    HeldLogRecords() { directories.windows = "/config"; }

    // One ring and the quiet after it, at whose end its record is due; returns the record.
    std::string Call(Run& run)
    {
        run.line.SetRing(true);
        const std::string record = "Call: " + FormatDateTime("c", clock.Now(), formats) + "   Signals= 1\r\n";
        for (int tick = 0; tick < 200; ++tick) {
            run.cycle.TimerTimer();
            run.line.SetRing(false);
            clock.Advance(56);
        }
        return record;
    }

    std::string Content(const std::string& path) const
    {
        return files.files.contains(path) ? files.files.at(path) : "";
    }

    fakes::FakeClock clock{EncodeDateTime(1998, 6, 15, 14, 9, 8), 5'000'000};
    fakes::FakeLogFiles files;
    fakes::FakeDirectories directories{"/logs"};
    DateTimeFormats formats;
};

TEST_F(HeldLogRecords, SurviveTheEndAndAreWrittenFirstOnceTheLogTakesThem)
{
    files.failing.insert(kLog);
    std::string records;
    {
        Run run(*this);
        records = Call(run);
        EXPECT_EQ(files.sideFileWrites, 1) << "written once, not at every retry";
        records += Call(run);
        EXPECT_EQ(files.sideFileWrites, 2);
        EXPECT_EQ(run.cycle.WriteUnwrittenLogs(),
                  std::vector<std::string>{"log records held for /logs/Sarvendo.RI are kept in "
                                           "/logs/Sarvendo.RI.held and written at the next start"});
    }
    const std::string kept = Content(kBesideLog);
    {
        Run stillFailing(*this);
        EXPECT_EQ(stillFailing.startNotes,
                  std::vector<std::string>{"log records held since an earlier run could not be written to "
                                           "/logs/Sarvendo.RI yet (No space left on device); they stay in "
                                           "/logs/Sarvendo.RI.held"});
        EXPECT_TRUE(stillFailing.boxes.shown.empty()) << "the user heard of them in the last run";
        EXPECT_EQ(Content(kBesideLog), kept);
    }
    files.failing.clear();
    Run next(*this);
    EXPECT_EQ(Content(kLog), records);
    EXPECT_FALSE(files.files.contains(kBesideLog));
    records += Call(next);
    EXPECT_TRUE(next.cycle.WriteUnwrittenLogs().empty());
    const Run last(*this);
    EXPECT_EQ(Content(kLog), records) << "nothing written twice";
    EXPECT_TRUE(last.startNotes.empty());
}

TEST_F(HeldLogRecords, TheEndSaysWhereTheRecordsWaitOrThatTheyAreLost)
{
    struct Case
    {
        std::set<std::string> failing;
        std::string note;
    };
    const Case cases[] = {
        {{kLog}, "are kept in /logs/Sarvendo.RI.held and written at the next start"},
        {{kLog, kBesideLog}, "are kept in /config/Sarvendo.RI.held and written at the next start"},
        {{kLog, kBesideLog, kBesideSettings}, "could not be written and are lost"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        files = fakes::FakeLogFiles{};
        files.failing = c.failing;
        auto run = std::make_unique<Run>(*this);
        const std::string record = Call(*run);
        EXPECT_EQ(run->cycle.WriteUnwrittenLogs(),
                  std::vector<std::string>{std::string("log records held for ") + kLog + " " + c.note});
        files.failing.clear();
        run = std::make_unique<Run>(*this);
        EXPECT_EQ(Content(kLog), c.failing.size() < 3 ? record : "");
    }
}

TEST_F(HeldLogRecords, ASideFileThatCannotBeReadIsLeftAsItIsAndSaidSo)
{
    files.failing.insert(kLog);
    Call(*std::make_unique<Run>(*this));
    const std::string intact = Content(kBesideLog);
    const std::pair<std::string, bool> cases[] = {
        {intact.substr(0, intact.size() - 3), false}, // cut short
        {intact.substr(0, intact.size() - 5) + "X" + intact.substr(intact.size() - 4), false},
        {intact + "Call: forged\r\n", false},
        {"my own notes\n", false},
        {intact, true}, // not readable
    };
    for (const auto& [text, unreadable] : cases) {
        SCOPED_TRACE(text);
        files = fakes::FakeLogFiles{};
        files.files[kBesideLog] = text;
        if (unreadable) {
            files.unreadable.insert(kBesideLog);
        }
        auto run = std::make_unique<Run>(*this);
        ASSERT_EQ(run->startNotes.size(), 1U);
        EXPECT_TRUE(run->startNotes[0].starts_with(std::string(kBesideLog) +
                                                   " cannot be read as log records held for " + kLog + " ("));
        EXPECT_TRUE(run->startNotes[0].ends_with("); it is left as it is"));
        EXPECT_FALSE(files.files.contains(kLog));
        // The records of this run wait beside the settings, never over the damaged file.
        files.failing.insert(kLog);
        const std::string record = Call(*run);
        run->cycle.WriteUnwrittenLogs();
        files.failing.clear();
        run = std::make_unique<Run>(*this);
        EXPECT_EQ(Content(kLog), record);
        EXPECT_EQ(Content(kBesideLog), text);
    }
}

TEST_F(HeldLogRecords, WhatReachedTheLogIsNotWrittenAgain)
{
    for (const bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "the last run ended between writing and removing the side file"
                           : "ten bytes stayed in the log when a failed append could not be cut back");
        files = fakes::FakeLogFiles{};
        files.failing.insert(kLog);
        files.keptOnFailure[kLog] = whole ? 0 : 10;
        auto run = std::make_unique<Run>(*this);
        const std::string record = Call(*run);
        EXPECT_EQ(Content(kLog), record.substr(0, whole ? 0 : 10));
        run->cycle.WriteUnwrittenLogs();
        if (whole) {
            // Written, and more after it, before the side file could go.
            files.files[kLog] = record + "Call: 6/14/98   Signals= 2\r\n";
        }
        const std::string expected = Content(kLog) + (whole ? "" : record.substr(10));
        files.failing.clear();
        run = std::make_unique<Run>(*this);
        EXPECT_EQ(Content(kLog), expected);
        EXPECT_FALSE(files.files.contains(kBesideLog));
    }
}

TEST_F(HeldLogRecords, ASideFileThatCannotFollowAPartlyWrittenRecordGoes)
{
    files.failing.insert(kLog);
    auto run = std::make_unique<Run>(*this);
    const std::string record = Call(*run);
    ASSERT_TRUE(files.files.contains(kBesideLog));
    // The next try leaves ten bytes in the log that cannot be taken back, and there is no
    // room for a new side file: the old one, which holds those ten bytes too, must go.
    files.keptOnFailure[kLog] = 10;
    files.noRoom = {kBesideLog, kBesideSettings};
    run->cycle.TimerTimer();
    EXPECT_FALSE(files.files.contains(kBesideLog));
    EXPECT_EQ(run->cycle.WriteUnwrittenLogs(), std::vector<std::string>{std::string("log records held for ") + kLog +
                                                                        " could not be written and are lost"});
    files.failing.clear();
    files.noRoom.clear();
    run = std::make_unique<Run>(*this);
    EXPECT_EQ(Content(kLog), record.substr(0, 10)) << "no part of the record twice";
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// Both logs written to real files in a fresh log directory, byte for byte.
TEST(EventLogFiles, RealFilesHoldExactlyTheRecords)
{
    fakes::TempDir dir;
    Settings settings;
    settings.DefaultPort = 1;
    settings.LogRI = 1;
    settings.LogDCD = 1;
    fakes::FakeClock clock(EncodeDateTime(1998, 6, 15, 14, 9, 8));
    fakes::FakeMonitoredLine line;
    fakes::FakeSound sound;
    fakes::FakeMessageBoxes boxes;
    LinuxLogFiles files;
    fakes::FakeDirectories directories(dir.Path());
    DateTimeFormats formats;
    fakes::FakeMonitorHost host;
    PollCycle cycle(settings, clock, line, sound, boxes, files, directories, formats, host);
    cycle.Time().StartSession();
    auto runFor = [&](int ms) {
        for (int elapsed = 0; elapsed < ms; elapsed += 100) {
            clock.Advance(100);
            cycle.TimerTimer();
        }
    };
    // One ring at 2:09:08.100 PM, answered 12 s later, a call of 90 s.
    line.SetRing(true);
    runFor(100);
    line.SetRing(false);
    runFor(11'900);
    line.SetCarrier(true);
    runFor(90'000);
    line.SetCarrier(false);
    runFor(100);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(fakes::TempDir::Read(dir.File("Sarvendo.RI")), "Call: 6/15/98 2:09:08 PM   Signals= 1\r\n");
    EXPECT_EQ(fakes::TempDir::Read(dir.File("Sarvendo.DCD")),
              "Connected: 6/15/98 2:09:20 PM  Disconnected: 6/15/98 2:10:50 PM  Session Time = 0:01:30"
              "  Total Time = 0:01:30\r\n");
}

} // namespace
} // namespace sarvendo
