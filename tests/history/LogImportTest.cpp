// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/LogImport.h"

#include "FakeCivilTime.h"
#include "core/DateTimeText.h"

#include "fakes/TempDir.h"
#include "history/HistoryStore.h"
#include "monitor/ElapsedTime.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace sarvendo {
namespace {

DateTimeFormats German()
{
    DateTimeFormats formats;
    formats.shortDateFormat = "dd.MM.yyyy";
    formats.longTimeFormat = "hh:mm:ss";
    formats.dateSeparator = '.';
    return formats;
}

TEST(LogImportTest, StampsAreReadWithTheFormatsTheyWereWrittenWith)
{
    struct Case
    {
        DateTimeFormats formats;
        DateTime written;
    };
    const DateTimeFormats us;
    for (const Case& c : {Case{us, EncodeDateTime(1998, 6, 15, 14, 9, 8)}, Case{us, EncodeDateTime(1998, 6, 16)},
                          Case{us, EncodeDateTime(2026, 12, 31, 0, 0, 1)}, Case{us, EncodeDateTime(2026, 1, 1, 12, 30)},
                          Case{German(), EncodeDateTime(2026, 3, 29, 2, 30, 0)}}) {
        const std::string text = FormatDateTime("c", c.written, c.formats);
        const std::optional<LocalStamp> stamp = ParseStamp(text, c.formats);
        ASSERT_TRUE(stamp) << text;
        const DecodedDateTime parts = DecodeDateTime(c.written);
        EXPECT_EQ(stamp->date, (Date{parts.year, parts.month, parts.day})) << text;
        EXPECT_EQ(stamp->secondOfDay, parts.hour * 3600 + parts.minute * 60 + parts.second) << text;
    }
    for (const char* wrong :
         {"13/15/98 2:09:08 PM", "2/30/98", "6/15/98 13:09:08 PM", "6/15/98 2:09:08", "6/15/98 x"}) {
        EXPECT_FALSE(ParseStamp(wrong, us)) << wrong;
    }
    EXPECT_EQ(ParseElapsed("49:00:01", us), 49 * 3600 + 1);
    EXPECT_FALSE(ParseElapsed("1:60:00", us));
}

TEST(LogImportTest, TenThousandRecordsAreImportedOnceAndBadLinesNamed)
{
    const fakes::TempDir dir;
    const fakes::FakeCivilTime civil;
    const DateTimeFormats formats;
    std::string log;
    std::int64_t seconds = 0;
    std::int64_t received = 0;
    DateTime start = EncodeDateTime(2020, 1, 1, 8, 0, 0);
    for (int i = 0; i < 10'000; ++i) {
        const std::int64_t length = 60 + i % 3600;
        const DateTime end = start + static_cast<double>(length) * kOneSecond;
        log += "Connected: " + FormatDateTime("c", start, formats) +
               "  Disconnected: " + FormatDateTime("c", end, formats) +
               "  Session Time = " + ElapsedToStr(static_cast<double>(length) * kOneSecond, formats) +
               "  Total Time = 12:00:00  Sent: " + std::to_string(i) + "  Received: " + std::to_string(2 * i) +
               " bytes\r\n";
        seconds += length;
        received += 2 * i;
        start += 0.25;
        if (i == 100 || i == 5000 || i == 9000) {
            log += i == 5000 ? "Connected: 2/31/20 1:00:00 PM  Disconnected: junk\r\n" : "garbled ~~~\r\n";
        }
    }
    log += "Connected: " + FormatDateTime("c", start, formats) + "\r\n";
    const std::string path = dir.File("Sarvendo.DCD");
    fakes::TempDir::Write(path, log);
    HistoryStore::Opened opened = HistoryStore::Open(dir.File("history.sqlite"), 0);
    ASSERT_TRUE(opened.store);
    const std::vector<ImportReport> first = ImportLogs(*opened.store, path, dir.File("Sarvendo.RI"), formats, civil);
    ASSERT_EQ(first[0].failure, "");
    EXPECT_EQ(first[0].sessions, 10'001U);
    ASSERT_EQ(first[0].problems.size(), 3U);
    EXPECT_EQ(first[0].problems[0], path + ":102: cannot be read: garbled ~~~");
    EXPECT_NE(first[0].problems[1].find(":5003: "), std::string::npos) << first[0].problems[1];
    EXPECT_NE(first[0].problems[2].find(":9004: "), std::string::npos) << first[0].problems[2];
    const PeriodTotals totals = opened.store->Totals(0, 1LL << 40);
    EXPECT_EQ(totals.sessions, 10'001);
    EXPECT_EQ(totals.durationMs, seconds * 1000);
    EXPECT_EQ(totals.received, received);
    const std::vector<SessionRecord> sessions = opened.store->Sessions(0, 1LL << 40);
    EXPECT_FALSE(sessions.back().end) << "a lone Connected: piece got an end";
    EXPECT_EQ(sessions.front().endedBy, EndedBy::Unknown);
    EXPECT_EQ(sessions.front().start, (Instant{1'577'862'000, 3600}));

    // Again, and after the program has added to the log: nothing more.
    fakes::TempDir::Write(path, log + "Connected: 1/1/26  Disconnected: 1/1/26 1:00:00 AM  Session Time = 1:00:00"
                                      "  Total Time = 1:00:00\r\n");
    const std::vector<ImportReport> second = ImportLogs(*opened.store, path, dir.File("Sarvendo.RI"), formats, civil);
    EXPECT_TRUE(second[0].alreadyImported);
    EXPECT_TRUE(second[1].alreadyImported) << "a ring log that did not exist was imported later";
    EXPECT_EQ(opened.store->Totals(0, 1LL << 40).sessions, 10'001);
}

TEST(LogImportTest, ALogThatCannotBeReadIsNamedAndTriedAgainNextTime)
{
    const fakes::TempDir dir;
    const fakes::FakeCivilTime civil;
    const std::string path = dir.File("Sarvendo.DCD");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    HistoryStore::Opened opened = HistoryStore::Open(dir.File("history.sqlite"), 0);
    ASSERT_TRUE(opened.store);
    const auto first = ImportLogs(*opened.store, path, dir.File("Sarvendo.RI"), DateTimeFormats{}, civil);
    EXPECT_EQ(first[0].failure, "is not a regular file");
    EXPECT_EQ(ImportNotes(first),
              std::vector<std::string>{"the log " + path + " could not be imported: is not a regular file"});
    std::filesystem::remove(path);
    fakes::TempDir::Write(path, "Connected: 6/16/98 9:00:00 AM\r\n");
    const auto second = ImportLogs(*opened.store, path, dir.File("Sarvendo.RI"), DateTimeFormats{}, civil);
    EXPECT_EQ(second[0].sessions, 1U);
}

TEST(LogImportTest, CallsComeFromTheRingLog)
{
    const fakes::FakeCivilTime civil;
    const ParsedLog parsed = ParseRingLog("Call: 6/15/98 2:09:08 PM   Signals= 4\r\nCall: 6/16/98   Signals= 1\r\n"
                                          "Call: 6/16/98   Signals= many\r\n",
                                          "Sarvendo.RI", DateTimeFormats{}, civil);
    ASSERT_EQ(parsed.calls.size(), 2U);
    EXPECT_EQ(parsed.calls[0].rings, 4);
    EXPECT_EQ(parsed.problems,
              std::vector<std::string>{"Sarvendo.RI:3: cannot be read: Call: 6/16/98   Signals= many"});
}

} // namespace
} // namespace sarvendo
