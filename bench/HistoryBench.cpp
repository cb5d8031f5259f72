// SPDX-License-Identifier: GPL-3.0-or-later
// The connection history's costs: a tick's report, a minute's write, `--by month` over ten
// years of history and opening the history window's month view. The ten years are made
// once per run: 100,000 sessions of about half an hour, their traffic written minute by
// minute and rolled up into hours past 90 days, as the running program leaves it.
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeMessageBoxes.h"
#include "history/CivilTime.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryReport.h"
#include "history/HistoryStore.h"
#include "history/THistoryWindow.h"
#include "platform/linux/PosixTextFiles.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

using namespace sarvendo;

constexpr std::int64_t kSessions = 100'000;
constexpr std::int64_t kNow = 1'780'000'000;
constexpr std::int64_t kTenYears = 3652LL * 86400;

std::string BenchFolder()
{
    const auto folder = std::filesystem::temp_directory_path() / ("sarvendo-history-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder.string();
}

const std::string& TenYears()
{
    static const std::string path = [] {
        const std::string file = BenchFolder() + "/ten-years.sqlite";
        HistoryStore::Opened opened = HistoryStore::Open(file, 0);
        sqlite::Error error;
        const auto id = opened.store->BeginSession(1, "", Instant{kNow, 3600}, error);
        // Month by month, as the program lives through them: each month's sessions and
        // minutes written, then the minutes past 90 days rolled up into hours.
        const std::int64_t spacing = kTenYears / kSessions;
        const std::int64_t perMonth = kSessions / 120;
        for (std::int64_t month = 0; month < 120; ++month) {
            std::vector<SessionRecord> sessions;
            std::vector<TrafficMinute> minutes;
            for (std::int64_t i = month * perMonth; i < (month + 1) * perMonth; ++i) {
                SessionRecord session;
                session.port = 1;
                session.start = Instant{kNow - kTenYears + i * spacing, 3600};
                const std::int64_t length = 600 + (i * 7919) % 2400;
                session.end = Instant{session.start.utc + length, 3600};
                session.durationMs = length * 1000;
                session.sent = length * 300;
                session.received = length * 3000;
                session.speed = "@ 33600 bps";
                session.endedBy = EndedBy::Carrier;
                sessions.push_back(session);
                for (std::int64_t m = 0; m < length / 60; ++m) {
                    minutes.push_back({session.start.utc / 60 + m, 18'000, 180'000});
                }
            }
            opened.store->AddImport(LogFingerprint{"bench" + std::to_string(month), 0, "0:0"}, sessions, {}, {});
            opened.store->SaveProgress(*id, SessionProgress{}, minutes);
            opened.store->Tidy(sessions.back().start.utc, 0);
        }
        return file;
    }();
    return path;
}

// The report the poll cycle makes at the end of every tick, between two minute writes.
void TickReport(benchmark::State& state)
{
    const std::string folder = BenchFolder();
    Settings settings;
    const SystemCivilTime civil;
    fakes::FakeClock clock;
    HistoryRecorder recorder(settings, civil, clock, folder + "/tick.sqlite", nullptr);
    recorder.Start();
    recorder.Connected(1, "");
    std::int64_t count = 0;
    for (auto _ : state) {
        clock.Advance(1); // never a minute: the write is measured apart
        count += 100;
        recorder.Counted(true, count, count, "@ 33600 bps");
    }
    recorder.Finish();
}
BENCHMARK(TickReport);

// The write once a minute: the session's progress and a minute of traffic, one
// transaction.
void WriteMinute(benchmark::State& state)
{
    HistoryStore::Opened opened = HistoryStore::Open(BenchFolder() + "/minute.sqlite", 0);
    sqlite::Error error;
    const auto id = opened.store->BeginSession(1, "", Instant{kNow, 3600}, error);
    std::int64_t minute = kNow / 60;
    SessionProgress progress{Instant{kNow, 3600}, 0, 0, 0, "@ 33600 bps", EndedBy::Open};
    for (auto _ : state) {
        ++minute;
        progress.durationMs += 60'000;
        progress.sent += 1000;
        progress.received += 10'000;
        opened.store->SaveProgress(*id, progress, {{minute, 1000, 10'000}});
    }
}
BENCHMARK(WriteMinute);

// `sarvendo --history --by month` over the ten years.
void ByMonthOverTenYears(benchmark::State& state)
{
    HistoryStore::Opened opened = HistoryStore::Open(TenYears(), 0);
    for (auto _ : state) {
        std::ostringstream out;
        PrintHistory(*opened.store, HistoryRequest{Grouping::Month, std::nullopt, std::nullopt, false}, out);
        benchmark::DoNotOptimize(out.str().size());
    }
    state.counters["database_MB"] = static_cast<double>(std::filesystem::file_size(TenYears())) / 1e6;
}
BENCHMARK(ByMonthOverTenYears)->Unit(benchmark::kMillisecond);

// Opening the history window on its month view over the ten years, up to its first paint.
void OpenMonthView(benchmark::State& state)
{
    Settings settings;
    const SystemCivilTime civil;
    fakes::FakeClock clock(EncodeDateTime(2026, 5, 15, 12));
    fakes::FakeMessageBoxes boxes;
    const PosixTextFiles files;
    const DateTimeFormats formats;
    HistoryRecorder recorder(settings, civil, clock, TenYears(), nullptr);
    recorder.Start();
    for (auto _ : state) {
        THistoryWindow window(
            HistoryWindowParts{settings, recorder, files, BenchFolder() + "/SARVENDO.INI", boxes, clock, formats});
        window.ShowAndRaise();
        benchmark::DoNotOptimize(window.grab().size());
    }
}
BENCHMARK(OpenMonthView)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(BenchFolder());
    return 0;
}
