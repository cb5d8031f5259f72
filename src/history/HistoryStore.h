// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryTypes.h"
#include "history/Sqlite.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sarvendo {

class Directories;

// Where the history lives: history.sqlite in the log directory, beside the logs.
std::string HistoryDatabasePath(const Directories& directories);

// Bytes moved in one minute of a connection.
struct TrafficMinute
{
    std::int64_t minute = 0; // minutes since 1970, UTC
    std::int64_t sent = 0;
    std::int64_t received = 0;
};

// How far a running session has come, written once a minute and at its end.
struct SessionProgress
{
    Instant end;
    std::int64_t durationMs = 0;
    std::int64_t sent = 0;
    std::int64_t received = 0;
    std::string speed;
    EndedBy endedBy = EndedBy::Open;
};

// A log already imported: its name, its size then and a hash of its first kilobytes.
struct LogFingerprint
{
    std::string name;
    std::int64_t size = 0;
    std::string headHash;
};

// The connection history in one SQLite database: sessions, calls and the traffic per
// minute (per hour once older than 90 days). The file is made readable by its owner
// only and kept in WAL mode, so the program writes while `sarvendo --history` reads. A
// file that is damaged or belongs to another program is moved aside and a new one made.
// Every call returns a failure instead of throwing; none ever waits for another
// connection's lock longer than the busy timeout given at opening.
class HistoryStore
{
public:
    static constexpr int kSchemaVersion = 1;
    static constexpr std::int64_t kMinuteRowsForDays = 90;

    struct Opened
    {
        std::unique_ptr<HistoryStore> store;
        std::string note;    // something the user should read once (a file moved aside)
        std::string failure; // why there is no store
    };

    // Opens or creates the database; busyTimeoutMs 0 never waits for a lock.
    static Opened Open(const std::string& path, int busyTimeoutMs);

    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    const std::string& Path() const { return m_path; }
    int SchemaVersion();

    // ---- Writing ----
    std::optional<std::int64_t> BeginSession(std::int32_t port, const std::string& device, const Instant& start,
                                             sqlite::Error& error);
    // The progress of a session and its traffic since the last write, in one transaction.
    std::optional<sqlite::Error> SaveProgress(std::int64_t session, const SessionProgress& progress,
                                              const std::vector<TrafficMinute>& traffic);
    std::optional<sqlite::Error> AddCall(const CallRecord& call);
    // Sessions a crash left open become Unknown; they keep what their last minute wrote.
    std::optional<sqlite::Error> CloseOpenSessions();
    // Minutes older than 90 days become hours; everything older than keepDays (0: keep
    // all) goes.
    std::optional<sqlite::Error> Tidy(std::int64_t nowUtc, std::int32_t keepDays);
    std::optional<sqlite::Error> Clear();

    // ---- Importing ----
    // The hashes of the starts of the logs of that name imported so far.
    std::vector<std::string> ImportedHeads(const std::string& name);
    // Adds the sessions and calls of one log and remembers it, all or nothing.
    std::optional<sqlite::Error> AddImport(const LogFingerprint& log, const std::vector<SessionRecord>& sessions,
                                           const std::vector<CallRecord>& calls,
                                           const std::vector<std::string>& problems);
    // What earlier imports could not read, "FILE:LINE: text".
    std::vector<std::string> ImportProblems();

    // ---- Reading; periods are local times in seconds since 1970, end excluded ----
    std::vector<SessionRecord> Sessions(std::int64_t fromLocal, std::int64_t toLocal);
    PeriodTotals Totals(std::int64_t fromLocal, std::int64_t toLocal);
    std::vector<PeriodTotals> Grouped(Grouping grouping, std::int64_t fromLocal, std::int64_t toLocal);
    // The bytes of the traffic tables, minutes and hours, between two UTC minutes.
    PeriodTotals Traffic(std::int64_t fromMinute, std::int64_t toMinute);

    // Made by Open only, on a connection it has examined.
    HistoryStore(sqlite::Database db, std::string path) : m_db(std::move(db)), m_path(std::move(path)) {}

private:
    std::optional<sqlite::Error> Migrate();

    sqlite::Database m_db;
    std::string m_path;
    // The statements of the minute's write, prepared once.
    sqlite::Statement m_saveProgress;
    sqlite::Statement m_addTraffic;
    bool m_saveProgressReady = false;
};

} // namespace sarvendo
