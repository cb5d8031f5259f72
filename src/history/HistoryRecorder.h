// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryStore.h"
#include "history/TrafficRate.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sarvendo {

class CivilTime;
class Clock;
struct Settings;

// Turns what the poll cycle reports (carrier edges, ring edges, the session's byte
// counts each tick) into the history: a session row at the connect edge, its progress
// and the traffic of the minutes since once a minute, its end at the disconnect edge;
// a call once the ring has been quiet for ten seconds. Between writes a tick costs a few
// additions. A write that finds the database locked is tried again at the next minute;
// one that finds the disk full or the folder read-only pauses the history, says so once,
// keeps the counts and tries again each minute, while everything else goes on. A
// damaged database is moved aside and a new one started.
class HistoryRecorder
{
public:
    using Tell = std::function<void(const std::string&)>;

    HistoryRecorder(const Settings& settings, const CivilTime& civil, const Clock& clock, std::string databasePath,
                    Tell tell);

    // Opens the database and closes the sessions a crash left open. Call once, before
    // the first tick.
    void Start();

    // From the poll cycle, on the GUI thread.
    void Connected(std::int32_t port, const std::string& device);
    void Disconnected(std::int64_t sent, std::int64_t received, const std::string& speed);
    void Counted(bool carrier, std::int64_t sent, std::int64_t received, const std::string& speed);
    void RingRose();

    // Sarvendo itself dropped the line; the next carrier loss is its hang-up.
    void HangUpPerformed();
    // The program ends: a running session ends by the exit, a waiting call is written.
    void Finish();

    // Writes a note for the user (standard error) and keeps it for the history window.
    void Say(const std::string& text);

    // The open store, or null while the history is paused or kept off.
    HistoryStore* Store() { return m_store.get(); }
    const TrafficRate& Rate() const { return m_rate; }
    const std::vector<std::string>& Notes() const { return m_notes; }
    bool Paused() const { return m_paused; }
    // Counts the writes, so that a window can tell when the history changed.
    std::uint64_t Revision() const { return m_revision; }

private:
    void Write(EndedBy endedBy);
    bool Save(const SessionProgress& progress);
    void RetryWaitingEnd();
    void WriteCall();
    bool Keeping() const;
    void Failed(const sqlite::Error& error);
    bool Reopen();

    const Settings& m_settings;
    const CivilTime& m_civil;
    const Clock& m_clock;
    std::string m_path;
    Tell m_tell;
    std::unique_ptr<HistoryStore> m_store;
    std::vector<std::string> m_notes;
    bool m_paused = false;
    std::uint64_t m_revision = 0;
    TrafficRate m_rate;

    // The running session.
    bool m_connected = false;
    std::optional<std::int64_t> m_sessionId;
    std::int32_t m_port = 0;
    std::string m_device;
    Instant m_start;
    std::uint64_t m_startMs = 0;
    std::uint64_t m_lastWriteMs = 0;
    std::int64_t m_sent = 0;
    std::int64_t m_received = 0;
    std::string m_speed;
    std::vector<TrafficMinute> m_minutes; // not yet written
    bool m_hangUp = false;
    std::optional<SessionProgress> m_waitingEnd; // the end of the last session, not yet written

    // The call being rung.
    std::int32_t m_rings = 0;
    Instant m_lastRing;
    std::uint64_t m_lastRingMs = 0;
};

} // namespace sarvendo
