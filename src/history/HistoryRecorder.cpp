// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryRecorder.h"

#include "core/Settings.h"

#include "history/CivilTime.h"
#include "platform/Clock.h"
#include "platform/TickPath.h"

namespace sarvendo {
namespace {

constexpr std::uint64_t kWriteEveryMs = 60'000;
constexpr std::int64_t kWriteEveryMsSigned = 60'000;
// A call is over once the ring has been quiet this long, as the ring log counts it.
constexpr std::uint64_t kCallOverAfterMs = 10'000;
// While the history is paused, at most this many minutes of traffic wait in memory.
constexpr std::size_t kMaxWaitingMinutes = 7 * 24 * 60;

std::int64_t Rise(std::int64_t now, std::int64_t before)
{
    // A count that went down started again from 0.
    return now >= before ? now - before : now;
}

} // namespace

HistoryRecorder::HistoryRecorder(const Settings& settings, const CivilTime& civil, const Clock& clock,
                                 std::string databasePath, Tell tell)
    : m_settings(settings), m_civil(civil), m_clock(clock), m_path(std::move(databasePath)), m_tell(std::move(tell))
{
}

bool HistoryRecorder::Keeping() const
{
    return m_settings.KeepHistory != 0;
}

void HistoryRecorder::Say(const std::string& text)
{
    m_notes.push_back(text);
    if (m_tell) {
        m_tell(text);
    }
}

void HistoryRecorder::Start()
{
    HistoryStore::Opened opened = HistoryStore::Open(m_path, 0);
    if (!opened.note.empty()) {
        Say(opened.note);
    }
    if (!opened.store) {
        m_paused = true;
        Say("the history is paused: " + opened.failure);
        return;
    }
    m_store = std::move(opened.store);
    m_store->CloseOpenSessions();
    m_store->Tidy(m_civil.Now().utc, m_settings.HistoryDays);
}

bool HistoryRecorder::Reopen()
{
    m_store.reset();
    m_sessionId.reset();
    HistoryStore::Opened opened = HistoryStore::Open(m_path, 0);
    if (!opened.note.empty()) {
        Say(opened.note);
    }
    if (!opened.store) {
        return false;
    }
    m_store = std::move(opened.store);
    return true;
}

void HistoryRecorder::Failed(const sqlite::Error& error)
{
    if (error.Busy()) {
        // Another program holds the file for a moment; the next minute tries again.
        return;
    }
    if (error.Corrupt() && Reopen()) {
        return;
    }
    if (!m_paused) {
        m_paused = true;
        Say("the history is paused: " + m_path + " cannot be written (" + error.message +
            "); the lamps, logs and settings go on, and the history is tried again each minute");
    }
}

void HistoryRecorder::Connected(std::int32_t port, const std::string& device)
{
    // The end of the last session gets one more try before its place is taken.
    RetryWaitingEnd();
    m_waitingEnd.reset();
    m_connected = true;
    m_port = port;
    m_device = device;
    m_start = m_civil.Now();
    m_startMs = m_clock.MonotonicMs();
    m_lastWriteMs = m_startMs;
    m_sent = 0;
    m_received = 0;
    m_speed.clear();
    m_minutes.clear();
    m_hangUp = false;
    m_sessionId.reset();
    Write(EndedBy::Open);
}

SARVENDO_TICK_PATH void HistoryRecorder::Counted(bool carrier, std::int64_t sent, std::int64_t received,
                                                 const std::string& speed)
{
    const std::uint64_t now = m_clock.MonotonicMs();
    if (m_rings > 0 && now - m_lastRingMs > kCallOverAfterMs) {
        WriteCall();
    }
    if (!carrier || !m_connected) {
        m_rate.Add(now, 0, 0);
        if (m_waitingEnd && now - m_lastWriteMs >= kWriteEveryMs) {
            m_lastWriteMs = now;
            RetryWaitingEnd();
        }
        return;
    }
    const std::int64_t sentRise = Rise(sent, m_sent);
    const std::int64_t receivedRise = Rise(received, m_received);
    m_sent = sent;
    m_received = received;
    if (!speed.empty()) {
        m_speed = speed;
    }
    m_rate.Add(now, sentRise, receivedRise);
    if (sentRise != 0 || receivedRise != 0) {
        // The minute counts on from the session's start on the monotonic clock: no
        // reading of the wall clock and its zone in the tick, and no minute twice when
        // the wall clock is set back.
        const std::int64_t minute =
            (m_start.utc * 1000 + static_cast<std::int64_t>(now - m_startMs)) / kWriteEveryMsSigned;
        if (m_minutes.empty() || m_minutes.back().minute != minute) {
            if (m_minutes.size() >= kMaxWaitingMinutes) {
                m_minutes.erase(m_minutes.begin());
            }
            m_minutes.push_back(TrafficMinute{minute, 0, 0});
        }
        m_minutes.back().sent += sentRise;
        m_minutes.back().received += receivedRise;
    }
    if (now - m_lastWriteMs >= kWriteEveryMs) {
        m_lastWriteMs = now;
        Write(EndedBy::Open);
    }
}

void HistoryRecorder::Disconnected(std::int64_t sent, std::int64_t received, const std::string& speed)
{
    if (!m_connected) {
        return;
    }
    Counted(true, sent, received, speed);
    Write(m_hangUp ? EndedBy::HangUp : EndedBy::Carrier);
    m_connected = false;
    m_lastWriteMs = m_clock.MonotonicMs();
}

void HistoryRecorder::HangUpPerformed()
{
    m_hangUp = m_connected;
}

void HistoryRecorder::Finish()
{
    RetryWaitingEnd();
    if (m_rings > 0) {
        WriteCall();
    }
    if (m_connected) {
        Write(EndedBy::Exit);
        m_connected = false;
    }
}

void HistoryRecorder::RingRose()
{
    const std::uint64_t now = m_clock.MonotonicMs();
    if (m_rings > 0 && now - m_lastRingMs > kCallOverAfterMs) {
        WriteCall();
    }
    m_rings += 1;
    m_lastRing = m_civil.Now();
    m_lastRingMs = now;
}

void HistoryRecorder::WriteCall()
{
    const CallRecord call{m_lastRing, m_rings};
    m_rings = 0;
    if (!Keeping() || !m_store) {
        return;
    }
    if (auto failure = m_store->AddCall(call)) {
        Failed(*failure);
        return;
    }
    ++m_revision;
}

void HistoryRecorder::Write(EndedBy endedBy)
{
    SessionProgress progress;
    progress.durationMs = static_cast<std::int64_t>(m_clock.MonotonicMs() - m_startMs);
    progress.end = m_civil.Now();
    // A wall clock set back during the call must not end it before it began.
    if (progress.end.utc < m_start.utc) {
        progress.end.utc = m_start.utc + progress.durationMs / 1000;
    }
    progress.sent = m_sent;
    progress.received = m_received;
    progress.speed = m_speed;
    progress.endedBy = endedBy;
    if (!Save(progress) && endedBy != EndedBy::Open) {
        // The end of a session is tried again each minute until it is written.
        m_waitingEnd = progress;
    }
}

void HistoryRecorder::RetryWaitingEnd()
{
    if (m_waitingEnd && Save(*m_waitingEnd)) {
        m_waitingEnd.reset();
    }
}

bool HistoryRecorder::Save(const SessionProgress& progress)
{
    if (!Keeping()) {
        m_minutes.clear();
        return true;
    }
    if (!m_store && (!m_paused || !Reopen())) {
        return false;
    }
    if (!m_sessionId) {
        sqlite::Error error;
        m_sessionId = m_store->BeginSession(m_port, m_device, m_start, error);
        if (!m_sessionId) {
            Failed(error);
            return false;
        }
    }
    if (auto failure = m_store->SaveProgress(*m_sessionId, progress, m_minutes)) {
        Failed(*failure);
        return false;
    }
    m_minutes.clear();
    ++m_revision;
    if (m_paused) {
        m_paused = false;
        Say("the history is written again to " + m_path);
    }
    return true;
}

} // namespace sarvendo
