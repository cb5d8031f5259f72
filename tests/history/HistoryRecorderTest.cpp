// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/HistoryRecorder.h"

#include "FakeCivilTime.h"
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/TempDir.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

class HistoryRecorderTest : public ::testing::Test
{
protected:
    HistoryRecorder& Recorder()
    {
        if (!recorder) {
            recorder = std::make_unique<HistoryRecorder>(settings, civil, clock, dir.File("history.sqlite"),
                                                         [this](const std::string& text) { told.push_back(text); });
            recorder->Start();
        }
        return *recorder;
    }

    // Seconds of a connection moving bytesPerSecond each way, one tick a second.
    void Run(int seconds, std::int64_t bytesPerSecond)
    {
        for (int i = 0; i < seconds; ++i) {
            clock.Advance(1000);
            civil.utc += 1;
            sent += bytesPerSecond;
            received += 2 * bytesPerSecond;
            Recorder().Counted(true, sent, received, "@ 33600 bps");
        }
    }

    std::vector<SessionRecord> Sessions() { return Recorder().Store()->Sessions(0, 1LL << 40); }

    fakes::TempDir dir;
    Settings settings;
    fakes::FakeCivilTime civil;
    fakes::FakeClock clock;
    std::vector<std::string> told;
    std::unique_ptr<HistoryRecorder> recorder;
    std::int64_t sent = 0;
    std::int64_t received = 0;
};

TEST_F(HistoryRecorderTest, ASessionIsWrittenAtItsEdgesAndOnceAMinuteAndSurvivesACrash)
{
    Recorder().Connected(1, "/dev/ttyS0");
    ASSERT_EQ(Sessions().size(), 1U) << "the connect edge wrote nothing";
    Run(59, 100);
    EXPECT_EQ(Sessions()[0].sent, 0) << "written before a minute had passed";
    Run(1, 100);
    EXPECT_EQ(Sessions()[0].sent, 6000);
    EXPECT_EQ(Sessions()[0].durationMs, 60'000);
    EXPECT_EQ(Recorder().Store()->Traffic(0, 1LL << 40).received, 12000);
    Run(30, 100);
    // The program dies here; the next start finds the session as its last minute left it.
    recorder.reset();
    const std::vector<SessionRecord> after = Sessions();
    ASSERT_EQ(after.size(), 1U);
    EXPECT_EQ(after[0].sent, 6000);
    EXPECT_EQ(after[0].endedBy, EndedBy::Unknown);
}

TEST_F(HistoryRecorderTest, TheEndSaysHowTheConnectionEnded)
{
    Recorder().Connected(1, "");
    Run(5, 10);
    Recorder().Disconnected(sent, received, "");
    Recorder().Connected(1, "");
    Run(5, 10);
    Recorder().HangUpPerformed();
    Recorder().Disconnected(sent, received, "");
    Recorder().Connected(2, "");
    Run(5, 10);
    Recorder().Finish();
    const std::vector<SessionRecord> sessions = Sessions();
    ASSERT_EQ(sessions.size(), 3U);
    EXPECT_EQ(sessions[0].endedBy, EndedBy::Carrier);
    EXPECT_EQ(sessions[0].sent, 50);
    EXPECT_EQ(sessions[0].speed, "@ 33600 bps");
    EXPECT_EQ(sessions[1].endedBy, EndedBy::HangUp);
    EXPECT_EQ(sessions[2].endedBy, EndedBy::Exit);
    EXPECT_EQ(sessions[2].port, 2);
}

TEST_F(HistoryRecorderTest, AClockSetBackOrADaylightSavingChangeNeitherShortensNorSplitsASession)
{
    civil.dstStart = civil.utc + 30;
    Recorder().Connected(1, "");
    Run(120, 1);
    Recorder().Disconnected(sent, received, "");
    Recorder().Connected(1, "");
    Run(40, 1);
    civil.utc -= 3 * 3600; // the clock set back by three hours
    Run(80, 1);
    Recorder().Disconnected(sent, received, "");
    const std::vector<SessionRecord> sessions = Sessions();
    ASSERT_EQ(sessions.size(), 2U);
    EXPECT_EQ(sessions[0].start.offset, 3600);
    ASSERT_TRUE(sessions[0].end);
    EXPECT_EQ(sessions[0].end->offset, 7200);
    for (const SessionRecord& session : sessions) {
        EXPECT_EQ(session.durationMs, 120'000);
        ASSERT_TRUE(session.end);
        EXPECT_GE(session.end->utc, session.start.utc);
    }
}

TEST_F(HistoryRecorderTest, AnEndThatFindsTheFileLockedIsWrittenAMinuteLaterWithoutWaiting)
{
    Recorder().Connected(1, "");
    Run(30, 10);
    sqlite::Error error;
    auto other = sqlite::Database::Open(dir.File("history.sqlite"), sqlite::Database::Mode::ReadWrite, error);
    ASSERT_TRUE(other);
    ASSERT_FALSE(other->Execute("BEGIN IMMEDIATE"));
    Recorder().Disconnected(sent, received, "");
    EXPECT_EQ(Sessions()[0].endedBy, EndedBy::Open);
    ASSERT_FALSE(other->Execute("COMMIT"));
    clock.Advance(61'000);
    Recorder().Counted(false, 0, 0, "");
    EXPECT_EQ(Sessions()[0].endedBy, EndedBy::Carrier);
    EXPECT_EQ(Sessions()[0].durationMs, 30'000);
    EXPECT_TRUE(told.empty()) << "a lock paused the history";
}

TEST_F(HistoryRecorderTest, RingsCloseTogetherAreOneCall)
{
    for (int ring = 0; ring < 3; ++ring) {
        Recorder().RingRose();
        clock.Advance(3000);
        Recorder().Counted(false, 0, 0, "");
    }
    EXPECT_EQ(Recorder().Store()->Totals(0, 1LL << 40).calls, 0) << "written while it still rang";
    clock.Advance(11'000);
    Recorder().Counted(false, 0, 0, "");
    EXPECT_EQ(Recorder().Store()->Totals(0, 1LL << 40).calls, 1);
}

TEST_F(HistoryRecorderTest, WithKeepHistoryOffNothingIsWritten)
{
    settings.KeepHistory = 0;
    Recorder().Connected(1, "");
    Run(120, 10);
    Recorder().Disconnected(sent, received, "");
    EXPECT_TRUE(Sessions().empty());
}

TEST_F(HistoryRecorderTest, AHistoryThatCannotBeWrittenIsPausedOnceAndTheCountingGoesOn)
{
    HistoryRecorder paused(settings, civil, clock, "/proc/sarvendo-test/history.sqlite",
                           [this](const std::string& text) { told.push_back(text); });
    paused.Start();
    paused.Connected(1, "");
    for (int i = 0; i < 200; ++i) {
        clock.Advance(1000);
        paused.Counted(true, i * 10, i * 10, "");
    }
    paused.Disconnected(2000, 2000, "");
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].rfind("the history is paused: ", 0), 0U) << told[0];
    EXPECT_EQ(paused.Store(), nullptr);
    EXPECT_EQ(paused.Rate().Last(clock.MonotonicMs()).back().sent, 10) << "the live graph stopped";
}

} // namespace
} // namespace sarvendo
