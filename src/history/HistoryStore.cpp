// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryStore.h"

#include "platform/Directories.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

// "SRVD": marks the file as this program's, so a database of another program found
// under the name is recognised and left alone.
constexpr std::int64_t kApplicationId = 0x53525644;

// Migrations[n] brings a database of schema version n to version n + 1.
constexpr std::array<std::string_view, HistoryStore::kSchemaVersion> kMigrations = {R"sql(
CREATE TABLE sessions(
    id INTEGER PRIMARY KEY,
    port INTEGER NOT NULL,
    device TEXT NOT NULL DEFAULT '',
    start_utc INTEGER NOT NULL,
    start_offset INTEGER NOT NULL,
    end_utc INTEGER,
    end_offset INTEGER,
    duration_ms INTEGER NOT NULL DEFAULT 0 CHECK (duration_ms >= 0),
    sent INTEGER NOT NULL DEFAULT 0,
    received INTEGER NOT NULL DEFAULT 0,
    speed TEXT NOT NULL DEFAULT '',
    ended_by TEXT NOT NULL DEFAULT 'open');
CREATE INDEX sessions_by_local_start ON sessions(
    start_utc + start_offset, start_utc, start_offset, duration_ms, sent, received);
CREATE TABLE calls(
    id INTEGER PRIMARY KEY,
    at_utc INTEGER NOT NULL,
    at_offset INTEGER NOT NULL,
    rings INTEGER NOT NULL);
CREATE INDEX calls_by_local_time ON calls(at_utc + at_offset);
CREATE TABLE traffic_minute(minute INTEGER PRIMARY KEY, sent INTEGER NOT NULL, received INTEGER NOT NULL);
CREATE TABLE traffic_hour(hour INTEGER PRIMARY KEY, sent INTEGER NOT NULL, received INTEGER NOT NULL);
CREATE TABLE imported_logs(
    name TEXT NOT NULL,
    size INTEGER NOT NULL,
    head_hash TEXT NOT NULL,
    PRIMARY KEY (name, head_hash));
CREATE TABLE import_problems(id INTEGER PRIMARY KEY, text TEXT NOT NULL);
)sql"};

constexpr std::string_view kSessionColumns =
    "SELECT id, port, device, start_utc, start_offset, end_utc, end_offset, duration_ms, sent, received, speed, "
    "ended_by FROM sessions ";
constexpr std::string_view kLocalStart = "(start_utc + start_offset)";

std::string TimeSuffix()
{
    const std::time_t now = std::time(nullptr);
    tm utc{};
    gmtime_r(&now, &utc);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y%m%dT%H%M%SZ", &utc);
    return text.data();
}

// Moves the file and its WAL companions out of the way under a name that says why and
// when; returns the new name, or empty when it could not be moved.
std::string MoveAside(const std::string& path, std::string_view why)
{
    const std::string aside = path + "." + std::string(why) + "-" + TimeSuffix();
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
        return {};
    }
    for (const char* companion : {"-wal", "-shm"}) {
        const std::string from = path + companion;
        std::rename(from.c_str(), (aside + companion).c_str());
    }
    return aside;
}

// Makes the file (and its folder) when missing, readable by its owner only.
std::string PrepareFile(const std::string& path)
{
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ignored);
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return std::strerror(errno);
    }
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return "not a regular file";
    }
    fchmod(fd, 0600);
    ::close(fd);
    return {};
}

enum class Verdict
{
    Usable,
    Damaged,
    Foreign,
    Newer,
};

Verdict Examine(sqlite::Database& db)
{
    const std::optional<std::int64_t> id = db.QueryInt("PRAGMA application_id");
    const std::optional<std::int64_t> tables = db.QueryInt("SELECT count(*) FROM sqlite_master");
    const std::optional<std::int64_t> version = db.QueryInt("PRAGMA user_version");
    if (!id || !tables || !version) {
        return db.LastError().Corrupt() ? Verdict::Damaged : Verdict::Usable;
    }
    if (*id == 0 && *tables == 0) {
        return Verdict::Usable;
    }
    if (*id != kApplicationId) {
        return Verdict::Foreign;
    }
    return *version > HistoryStore::kSchemaVersion ? Verdict::Newer : Verdict::Usable;
}

SessionRecord ReadSession(const sqlite::Statement& row)
{
    SessionRecord session;
    session.id = row.Int(0);
    session.port = static_cast<std::int32_t>(row.Int(1));
    session.device = row.Text(2);
    session.start = Instant{row.Int(3), static_cast<std::int32_t>(row.Int(4))};
    if (!row.IsNull(5)) {
        session.end = Instant{row.Int(5), static_cast<std::int32_t>(row.Int(6))};
    }
    session.durationMs = row.Int(7);
    session.sent = row.Int(8);
    session.received = row.Int(9);
    session.speed = row.Text(10);
    session.endedBy = EndedByFromName(row.Text(11));
    return session;
}

std::string PeriodOf(std::int64_t localDay, Grouping grouping)
{
    const std::string date = IsoDate(CivilFromDays(localDay));
    return grouping == Grouping::Day ? date : date.substr(0, grouping == Grouping::Month ? 7 : 4);
}

} // namespace

std::string HistoryDatabasePath(const Directories& directories)
{
    std::string folder = directories.LogDirectory();
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder + "history.sqlite";
}

HistoryStore::Opened HistoryStore::Open(const std::string& path, int busyTimeoutMs)
{
    Opened opened;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (std::string failure = PrepareFile(path); !failure.empty()) {
            opened.failure = "the history file " + path + " cannot be opened: " + failure;
            return opened;
        }
        sqlite::Error error;
        std::optional<sqlite::Database> db = sqlite::Database::Open(path, sqlite::Database::Mode::ReadWrite, error);
        if (!db) {
            opened.failure = "the history file " + path + " cannot be opened: " + error.message;
            return opened;
        }
        db->SetBusyTimeout(busyTimeoutMs);
        const Verdict verdict = Examine(*db);
        if (verdict == Verdict::Newer) {
            opened.failure = "the history file " + path + " was written by a newer Sarvendo and is left as it is";
            return opened;
        }
        if (verdict != Verdict::Usable) {
            db.reset();
            const char* why = verdict == Verdict::Damaged ? "damaged" : "foreign";
            const std::string aside = MoveAside(path, why);
            if (aside.empty()) {
                opened.failure = "the history file " + path + " is " +
                                 (verdict == Verdict::Damaged ? "damaged" : "another program's") +
                                 " and cannot be moved aside";
                return opened;
            }
            opened.note = "the history file " + path + " was " +
                          (verdict == Verdict::Damaged ? "damaged" : "another program's") + "; it was moved to " +
                          aside + " and a new history started";
            continue;
        }
        // Pages that old minutes and a cleared history leave go back to the disk; the
        // mode can only be chosen while the file is empty.
        if (db->QueryInt("SELECT count(*) FROM sqlite_master").value_or(1) == 0) {
            db->Execute("PRAGMA auto_vacuum=INCREMENTAL");
        }
        // WAL lets `sarvendo --history` read while the program writes; NORMAL syncs at
        // checkpoints only, so a minute's write costs no wait for the disk.
        db->Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
        auto store = std::make_unique<HistoryStore>(std::move(*db), path);
        if (std::optional<sqlite::Error> failure = store->Migrate()) {
            opened.failure = "the history file " + path + " cannot be prepared: " + failure->message;
            return opened;
        }
        opened.store = std::move(store);
        return opened;
    }
    opened.failure = "the history file " + path + " cannot be made";
    return opened;
}

std::optional<sqlite::Error> HistoryStore::Migrate()
{
    const std::int64_t version = m_db.QueryInt("PRAGMA user_version").value_or(0);
    if (version >= kSchemaVersion) {
        return std::nullopt;
    }
    sqlite::Transaction transaction(m_db);
    if (transaction.BeginFailure()) {
        return transaction.BeginFailure();
    }
    for (std::int64_t step = version; step < kSchemaVersion; ++step) {
        if (auto failure = m_db.Execute(kMigrations[static_cast<std::size_t>(step)])) {
            return failure;
        }
    }
    if (auto failure = m_db.Execute("PRAGMA application_id=" + std::to_string(kApplicationId) +
                                    "; PRAGMA user_version=" + std::to_string(kSchemaVersion))) {
        return failure;
    }
    return transaction.Commit();
}

int HistoryStore::SchemaVersion()
{
    return static_cast<int>(m_db.QueryInt("PRAGMA user_version").value_or(0));
}

std::optional<std::int64_t> HistoryStore::BeginSession(std::int32_t port, const std::string& device,
                                                       const Instant& start, sqlite::Error& error)
{
    sqlite::Statement insert =
        m_db.Prepare("INSERT INTO sessions(port, device, start_utc, start_offset, end_utc, end_offset) "
                     "VALUES(?1, ?2, ?3, ?4, ?3, ?4)");
    insert.Bind(1, port).Bind(2, device).Bind(3, start.utc).Bind(4, std::int64_t{start.offset});
    if (!insert.Run()) {
        error = *insert.Failure();
        return std::nullopt;
    }
    return m_db.LastInsertId();
}

std::optional<sqlite::Error> HistoryStore::SaveProgress(std::int64_t session, const SessionProgress& progress,
                                                        const std::vector<TrafficMinute>& traffic)
{
    sqlite::Transaction transaction(m_db);
    if (transaction.BeginFailure()) {
        return transaction.BeginFailure();
    }
    if (m_saveProgress.Failure() || !m_saveProgressReady) {
        m_saveProgress = m_db.Prepare("UPDATE sessions SET end_utc = ?2, end_offset = ?3, duration_ms = ?4, sent = ?5, "
                                      "received = ?6, speed = ?7, ended_by = ?8 WHERE id = ?1");
        m_addTraffic = m_db.Prepare("INSERT INTO traffic_minute(minute, sent, received) VALUES(?1, ?2, ?3) "
                                    "ON CONFLICT(minute) DO UPDATE SET sent = sent + excluded.sent, "
                                    "received = received + excluded.received");
        m_saveProgressReady = true;
    }
    m_saveProgress.Reset();
    m_saveProgress.Bind(1, session)
        .Bind(2, progress.end.utc)
        .Bind(3, std::int64_t{progress.end.offset})
        .Bind(4, progress.durationMs)
        .Bind(5, progress.sent)
        .Bind(6, progress.received)
        .Bind(7, progress.speed)
        .Bind(8, EndedByName(progress.endedBy));
    if (!m_saveProgress.Run()) {
        return m_saveProgress.Failure();
    }
    for (const TrafficMinute& minute : traffic) {
        m_addTraffic.Reset();
        m_addTraffic.Bind(1, minute.minute).Bind(2, minute.sent).Bind(3, minute.received);
        if (!m_addTraffic.Run()) {
            return m_addTraffic.Failure();
        }
    }
    return transaction.Commit();
}

std::optional<sqlite::Error> HistoryStore::AddCall(const CallRecord& call)
{
    sqlite::Statement insert = m_db.Prepare("INSERT INTO calls(at_utc, at_offset, rings) VALUES(?1, ?2, ?3)");
    insert.Bind(1, call.at.utc).Bind(2, std::int64_t{call.at.offset}).Bind(3, std::int64_t{call.rings});
    return insert.Run() ? std::nullopt : insert.Failure();
}

std::optional<sqlite::Error> HistoryStore::CloseOpenSessions()
{
    return m_db.Execute("UPDATE sessions SET ended_by = 'unknown' WHERE ended_by = 'open'");
}

std::optional<sqlite::Error> HistoryStore::Tidy(std::int64_t nowUtc, std::int32_t keepDays)
{
    sqlite::Transaction transaction(m_db);
    if (transaction.BeginFailure()) {
        return transaction.BeginFailure();
    }
    const std::int64_t minuteCut = (nowUtc - kMinuteRowsForDays * 86400) / 60;
    sqlite::Statement rollUp = m_db.Prepare(
        "INSERT INTO traffic_hour(hour, sent, received) SELECT minute / 60, sum(sent), sum(received) "
        "FROM traffic_minute WHERE minute < ?1 GROUP BY minute / 60 "
        "ON CONFLICT(hour) DO UPDATE SET sent = sent + excluded.sent, received = received + excluded.received");
    sqlite::Statement dropMinutes = m_db.Prepare("DELETE FROM traffic_minute WHERE minute < ?1");
    rollUp.Bind(1, minuteCut);
    dropMinutes.Bind(1, minuteCut);
    if (!rollUp.Run()) {
        return rollUp.Failure();
    }
    if (!dropMinutes.Run()) {
        return dropMinutes.Failure();
    }
    if (keepDays > 0) {
        const std::int64_t cut = nowUtc - std::int64_t{keepDays} * 86400;
        for (const char* sql :
             {"DELETE FROM sessions WHERE start_utc < ?1 AND ended_by != 'open'", "DELETE FROM calls WHERE at_utc < ?1",
              "DELETE FROM traffic_minute WHERE minute < ?1 / 60", "DELETE FROM traffic_hour WHERE hour < ?1 / 3600"}) {
            sqlite::Statement drop = m_db.Prepare(sql);
            drop.Bind(1, cut);
            if (!drop.Run()) {
                return drop.Failure();
            }
        }
    }
    if (auto failure = transaction.Commit()) {
        return failure;
    }
    m_db.Execute("PRAGMA incremental_vacuum");
    return std::nullopt;
}

std::optional<sqlite::Error> HistoryStore::Clear()
{
    // Forgetting the imported logs too would bring their records back at the next start.
    sqlite::Transaction transaction(m_db);
    if (auto failure = transaction.BeginFailure()
                           ? transaction.BeginFailure()
                           : m_db.Execute("DELETE FROM sessions WHERE ended_by != 'open'; "
                                          "DELETE FROM calls; DELETE FROM traffic_minute; "
                                          "DELETE FROM traffic_hour; DELETE FROM import_problems")) {
        return failure;
    }
    if (auto failure = transaction.Commit()) {
        return failure;
    }
    m_db.Execute("PRAGMA incremental_vacuum");
    return std::nullopt;
}

std::vector<std::string> HistoryStore::ImportedHeads(const std::string& name)
{
    std::vector<std::string> heads;
    sqlite::Statement query = m_db.Prepare("SELECT head_hash FROM imported_logs WHERE name = ?1");
    query.Bind(1, name);
    while (query.Step()) {
        heads.push_back(query.Text(0));
    }
    return heads;
}

std::optional<sqlite::Error> HistoryStore::AddImport(const LogFingerprint& log,
                                                     const std::vector<SessionRecord>& sessions,
                                                     const std::vector<CallRecord>& calls,
                                                     const std::vector<std::string>& problems)
{
    sqlite::Transaction transaction(m_db);
    if (transaction.BeginFailure()) {
        return transaction.BeginFailure();
    }
    sqlite::Statement session = m_db.Prepare(
        "INSERT INTO sessions(port, device, start_utc, start_offset, end_utc, end_offset, duration_ms, sent, "
        "received, speed, ended_by) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    for (const SessionRecord& record : sessions) {
        session.Reset();
        session.Bind(1, std::int64_t{record.port})
            .Bind(2, record.device)
            .Bind(3, record.start.utc)
            .Bind(4, std::int64_t{record.start.offset});
        if (record.end) {
            session.Bind(5, record.end->utc).Bind(6, std::int64_t{record.end->offset});
        }
        session.Bind(7, record.durationMs)
            .Bind(8, record.sent)
            .Bind(9, record.received)
            .Bind(10, record.speed)
            .Bind(11, EndedByName(record.endedBy));
        if (!session.Run()) {
            return session.Failure();
        }
    }
    sqlite::Statement call = m_db.Prepare("INSERT INTO calls(at_utc, at_offset, rings) VALUES(?1, ?2, ?3)");
    for (const CallRecord& record : calls) {
        call.Reset();
        call.Bind(1, record.at.utc).Bind(2, std::int64_t{record.at.offset}).Bind(3, std::int64_t{record.rings});
        if (!call.Run()) {
            return call.Failure();
        }
    }
    sqlite::Statement problem = m_db.Prepare("INSERT INTO import_problems(text) VALUES(?1)");
    for (const std::string& text : problems) {
        problem.Reset();
        problem.Bind(1, text);
        if (!problem.Run()) {
            return problem.Failure();
        }
    }
    sqlite::Statement remember =
        m_db.Prepare("INSERT OR REPLACE INTO imported_logs(name, size, head_hash) VALUES(?1, ?2, ?3)");
    remember.Bind(1, log.name).Bind(2, log.size).Bind(3, log.headHash);
    if (!remember.Run()) {
        return remember.Failure();
    }
    return transaction.Commit();
}

std::vector<std::string> HistoryStore::ImportProblems()
{
    std::vector<std::string> problems;
    sqlite::Statement query = m_db.Prepare("SELECT text FROM import_problems ORDER BY id");
    while (query.Step()) {
        problems.push_back(query.Text(0));
    }
    return problems;
}

std::vector<SessionRecord> HistoryStore::Sessions(std::int64_t fromLocal, std::int64_t toLocal)
{
    std::vector<SessionRecord> sessions;
    sqlite::Statement query =
        m_db.Prepare(std::string(kSessionColumns) + "WHERE " + std::string(kLocalStart) + " >= ?1 AND " +
                     std::string(kLocalStart) + " < ?2 ORDER BY " + std::string(kLocalStart) + ", id");
    query.Bind(1, fromLocal).Bind(2, toLocal);
    while (query.Step()) {
        sessions.push_back(ReadSession(query));
    }
    return sessions;
}

PeriodTotals HistoryStore::Totals(std::int64_t fromLocal, std::int64_t toLocal)
{
    PeriodTotals totals;
    sqlite::Statement sums =
        m_db.Prepare("SELECT count(*), total(duration_ms), total(sent), total(received), coalesce(max(duration_ms), 0) "
                     "FROM sessions WHERE (start_utc + start_offset) >= ?1 AND (start_utc + start_offset) < ?2");
    sums.Bind(1, fromLocal).Bind(2, toLocal);
    if (sums.Step()) {
        totals.sessions = sums.Int(0);
        totals.durationMs = sums.Int(1);
        totals.sent = sums.Int(2);
        totals.received = sums.Int(3);
        totals.longestMs = sums.Int(4);
    }
    sqlite::Statement calls =
        m_db.Prepare("SELECT count(*) FROM calls WHERE (at_utc + at_offset) >= ?1 AND (at_utc + at_offset) < ?2");
    calls.Bind(1, fromLocal).Bind(2, toLocal);
    if (calls.Step()) {
        totals.calls = calls.Int(0);
    }
    return totals;
}

std::vector<PeriodTotals> HistoryStore::Grouped(Grouping grouping, std::int64_t fromLocal, std::int64_t toLocal)
{
    // Summed per local day in SQL, read from the index alone (it holds every column the
    // sums need, in the order of the days), and the few thousand days folded into months
    // or years here.
    std::map<std::string, PeriodTotals> periods;
    sqlite::Statement days = m_db.Prepare(
        "SELECT (start_utc + start_offset) / 86400 - ((start_utc + start_offset) % 86400 < 0) AS day, count(*), "
        "total(duration_ms), total(sent), total(received), max(duration_ms) FROM sessions "
        "WHERE (start_utc + start_offset) >= ?1 AND (start_utc + start_offset) < ?2 GROUP BY day");
    days.Bind(1, fromLocal).Bind(2, toLocal);
    while (days.Step()) {
        PeriodTotals& period = periods[PeriodOf(days.Int(0), grouping)];
        period.sessions += days.Int(1);
        period.durationMs += days.Int(2);
        period.sent += days.Int(3);
        period.received += days.Int(4);
        period.longestMs = std::max(period.longestMs, days.Int(5));
    }
    sqlite::Statement calls = m_db.Prepare(
        "SELECT (at_utc + at_offset) / 86400 - ((at_utc + at_offset) % 86400 < 0) AS day, count(*) FROM calls "
        "WHERE (at_utc + at_offset) >= ?1 AND (at_utc + at_offset) < ?2 GROUP BY day");
    calls.Bind(1, fromLocal).Bind(2, toLocal);
    while (calls.Step()) {
        periods[PeriodOf(calls.Int(0), grouping)].calls += calls.Int(1);
    }
    std::vector<PeriodTotals> result;
    result.reserve(periods.size());
    for (auto& [name, period] : periods) {
        period.period = name;
        result.push_back(period);
    }
    return result;
}

PeriodTotals HistoryStore::Traffic(std::int64_t fromMinute, std::int64_t toMinute)
{
    PeriodTotals totals;
    sqlite::Statement query = m_db.Prepare(
        "SELECT total(sent), total(received) FROM (SELECT sent, received FROM traffic_minute WHERE minute >= ?1 AND "
        "minute < ?2 UNION ALL SELECT sent, received FROM traffic_hour WHERE hour >= ?1 / 60 AND hour < ?2 / 60)");
    query.Bind(1, fromMinute).Bind(2, toMinute);
    if (query.Step()) {
        totals.sent = query.Int(0);
        totals.received = query.Int(1);
    }
    return totals;
}

} // namespace sarvendo
