// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/HistoryStore.h"

#include "fakes/TempDir.h"
#include "history/HistoryReport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace sarvendo {
namespace {

HistoryStore& Opened(HistoryStore::Opened& opened)
{
    EXPECT_TRUE(opened.store) << opened.failure;
    return *opened.store;
}

SessionRecord Session(std::int64_t utc, std::int64_t seconds, std::int64_t sent, std::int64_t received)
{
    SessionRecord session;
    session.port = 1;
    session.start = Instant{utc, 3600};
    session.end = Instant{utc + seconds, 3600};
    session.durationMs = seconds * 1000;
    session.sent = sent;
    session.received = received;
    session.endedBy = EndedBy::Carrier;
    return session;
}

TEST(HistoryStoreTest, ANewHistoryIsPrivateVersionedAndKeepsWhatWasWritten)
{
    const fakes::TempDir dir;
    const std::string path = dir.File("state/sarvendo/history.sqlite");
    {
        HistoryStore::Opened opened = HistoryStore::Open(path, 0);
        HistoryStore& store = Opened(opened);
        EXPECT_EQ(store.SchemaVersion(), HistoryStore::kSchemaVersion);
        sqlite::Error error;
        const auto id = store.BeginSession(1, "/dev/ttyS0", Instant{1'780'000'000, 3600}, error);
        ASSERT_TRUE(id) << error.message;
        SessionProgress progress{Instant{1'780'000'090, 3600}, 90'000, 100, 200, "@ 33600 bps", EndedBy::Open};
        EXPECT_FALSE(store.SaveProgress(*id, progress, {{29'666'666, 100, 200}}));
        // A reader beside the writer, as `sarvendo --history` is, sees the minute's write.
        HistoryStore::Opened reader = HistoryStore::Open(path, 0);
        EXPECT_EQ(Opened(reader).Sessions(0, 1LL << 40).size(), 1U);
        EXPECT_TRUE(std::filesystem::exists(path + "-wal")) << "the journal is not in WAL mode";
    }
    struct stat info
    {
    };
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U);
    HistoryStore::Opened again = HistoryStore::Open(path, 0);
    const std::vector<SessionRecord> sessions = Opened(again).Sessions(0, 1LL << 40);
    ASSERT_EQ(sessions.size(), 1U);
    EXPECT_EQ(sessions[0].device, "/dev/ttyS0");
    EXPECT_EQ(sessions[0].durationMs, 90'000);
    EXPECT_EQ(sessions[0].speed, "@ 33600 bps");
    EXPECT_EQ(sessions[0].endedBy, EndedBy::Open);
    EXPECT_FALSE(Opened(again).CloseOpenSessions());
    EXPECT_EQ(Opened(again).Sessions(0, 1LL << 40)[0].endedBy, EndedBy::Unknown);
}

TEST(HistoryStoreTest, ADamagedOrForeignFileIsMovedAsideAndANewHistoryStarted)
{
    for (const bool foreign : {false, true}) {
        const fakes::TempDir dir;
        const std::string path = dir.File("history.sqlite");
        if (foreign) {
            sqlite::Error error;
            auto other = sqlite::Database::Open(path, sqlite::Database::Mode::ReadWrite, error);
            ASSERT_TRUE(other);
            ASSERT_FALSE(other->Execute("CREATE TABLE theirs(x); INSERT INTO theirs VALUES(42)"));
        } else {
            fakes::TempDir::Write(path, std::string(8192, 'x'));
        }
        const std::string before = fakes::TempDir::Read(path);
        HistoryStore::Opened opened = HistoryStore::Open(path, 0);
        ASSERT_TRUE(opened.store) << opened.failure;
        EXPECT_NE(opened.note.find(foreign ? "another program's; it was moved to " : "damaged; it was moved to "),
                  std::string::npos)
            << opened.note;
        const std::string aside = opened.note.substr(opened.note.find(path + "."));
        EXPECT_EQ(fakes::TempDir::Read(aside.substr(0, aside.find(' '))), before) << "the old file was not kept";
        EXPECT_EQ(opened.store->SchemaVersion(), HistoryStore::kSchemaVersion);
        // Once moved, the next opening finds its own history and says nothing.
        opened.store.reset();
        EXPECT_EQ(HistoryStore::Open(path, 0).note, "");
    }
}

TEST(HistoryStoreTest, OldMinutesBecomeHoursWithoutLosingBytes)
{
    const fakes::TempDir dir;
    HistoryStore::Opened opened = HistoryStore::Open(dir.File("history.sqlite"), 0);
    HistoryStore& store = Opened(opened);
    const std::int64_t now = 1'780'000'000;
    const std::int64_t oldMinute = (now - 100 * 86400) / 60;
    const std::int64_t newMinute = now / 60 - 5;
    sqlite::Error error;
    const auto id = store.BeginSession(1, "", Instant{now, 0}, error);
    ASSERT_TRUE(id);
    std::vector<TrafficMinute> minutes;
    for (std::int64_t m = 0; m < 120; ++m) {
        minutes.push_back({oldMinute + m, 10, 20});
    }
    minutes.push_back({newMinute, 1, 2});
    ASSERT_FALSE(store.SaveProgress(*id, SessionProgress{}, minutes));
    const PeriodTotals before = store.Traffic(0, 1LL << 40);
    ASSERT_FALSE(store.Tidy(now, 0));
    const PeriodTotals after = store.Traffic(0, 1LL << 40);
    EXPECT_EQ(after.sent, before.sent);
    EXPECT_EQ(after.received, before.received);
    EXPECT_EQ(store.Traffic(newMinute, newMinute + 1).sent, 1) << "a recent minute was rolled up";
    // Kept for 30 days only, the old hours go and the session of now stays.
    ASSERT_FALSE(store.Tidy(now, 30));
    EXPECT_EQ(store.Traffic(0, 1LL << 40).sent, 1);
}

TEST(HistoryStoreTest, TotalsAndReportsSumTheSessionsOfEachLocalPeriod)
{
    const fakes::TempDir dir;
    HistoryStore::Opened opened = HistoryStore::Open(dir.File("history.sqlite"), 0);
    HistoryStore& store = Opened(opened);
    // 2026-05-28 22:30 UTC is 23:30 local, the 28th; an hour later it is the 29th there.
    const std::int64_t evening = 1'780'007'400;
    ASSERT_FALSE(store.AddImport(LogFingerprint{"test", 0, "0:0"},
                                 {Session(evening, 600, 1000, 5000), Session(evening + 3600, 1200, 10, 20)},
                                 {CallRecord{Instant{evening, 3600}, 3}}, {}));
    std::ostringstream byDay;
    PrintHistory(store, HistoryRequest{Grouping::Day, std::nullopt, std::nullopt, true}, byDay);
    EXPECT_EQ(byDay.str(), "day,calls,sessions,seconds,sent,received,longest_seconds\n"
                           "2026-05-28,1,1,600,1000,5000,600\n"
                           "2026-05-29,0,1,1200,10,20,1200\n");
    std::ostringstream byMonth;
    PrintHistory(store, HistoryRequest{Grouping::Month, Date{2026, 5, 29}, Date{2026, 5, 29}, false}, byMonth);
    EXPECT_EQ(byMonth.str(), "2026-05  calls 0  sessions 1  time 0:20:00  sent 10  received 20  longest 0:20:00\n");
    std::ostringstream csv;
    PrintHistory(store, HistoryRequest{std::nullopt, std::nullopt, Date{2026, 5, 28}, true}, csv);
    EXPECT_EQ(csv.str(), "start,end,port,seconds,sent,received,speed,ended_by\n"
                         "2026-05-28T23:30:00+01:00,2026-05-28T23:40:00+01:00,COM1,600,1000,5000,,carrier\n");
    const PeriodTotals totals = store.Totals(LocalStartOf(Date{2026, 5, 1}), LocalEndOf(Date{2026, 5, 31}));
    EXPECT_EQ(totals.calls, 1);
    EXPECT_EQ(totals.sessions, 2);
    EXPECT_EQ(totals.durationMs, 1'800'000);
    EXPECT_EQ(totals.longestMs, 1'200'000);
}

} // namespace
} // namespace sarvendo
