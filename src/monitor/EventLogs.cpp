// SPDX-License-Identifier: GPL-3.0-or-later
#include "EventLogs.h"

#include "core/DateTimeText.h"
#include "core/IntegerText.h"
#include "core/RealText.h"
#include "core/Settings.h"

#include "monitor/ConnectTime.h"
#include "monitor/ElapsedTime.h"
#include "platform/Clock.h"
#include "platform/Directories.h"
#include "platform/LogFiles.h"
#include "platform/MessageBoxes.h"
#include "platform/TickPath.h"

#include <algorithm>

namespace sarvendo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

constexpr std::string_view kSideFileSuffix = ".held";

// A call's line is written once the ring indicator has been quiet this long.
constexpr std::int64_t kCallOverAfterMs = 10'000;

// A lone "Connected:" piece is shorter than this and a complete record longer, so a
// record left unfinished (the program ended while connected) gets its line closed
// before the next one starts.
constexpr std::size_t kCompleteRecordLength = 40;

std::string InDirectory(const std::string& directory, std::string_view name)
{
    std::string path = directory;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

// Where a log's held records are kept: beside the log, else (a directory that takes no
// file at all) beside the settings, which live elsewhere unless SARVENDO_HOME joins them.
std::vector<std::string> SidePlaces(const Directories& directories, std::string_view logName)
{
    const std::string name = std::string(logName) + std::string(kSideFileSuffix);
    std::vector<std::string> places{InDirectory(directories.LogDirectory(), name)};
    std::string besideSettings = InDirectory(directories.WindowsDirectory(), name);
    if (besideSettings != places.front()) {
        places.push_back(std::move(besideSettings));
    }
    return places;
}

// The last line of text not yet in the file, by the same rule the file is measured with.
std::size_t LastLineLengthOf(std::string_view text)
{
    if (text.ends_with(kLineEnd)) {
        text.remove_suffix(kLineEnd.size());
    } else if (text.ends_with('\n') || text.ends_with('\r')) {
        text.remove_suffix(1);
    }
    const std::size_t end = text.find_last_of("\r\n");
    return end == std::string_view::npos ? text.size() : text.size() - end - 1;
}

} // namespace

EventLogs::EventLogs(Settings& settings, const Clock& clock, LogFiles& files, MessageBoxes& boxes,
                     const Directories& directories, const DateTimeFormats& formats, const ConnectTime& connectTime)
    : m_settings(settings), m_clock(clock), m_files(files), m_boxes(boxes), m_formats(formats),
      m_connectTime(connectTime),
      m_ring(files, InDirectory(directories.LogDirectory(), kRingLogName), SidePlaces(directories, kRingLogName)),
      m_connect(files, InDirectory(directories.LogDirectory(), kConnectLogName),
                SidePlaces(directories, kConnectLogName))
{
}

void EventLogs::RingLogStep()
{
    Settings& s = m_settings;
    const bool risingEdge = s.LampRI == 1 && s.PrevRI == 0;
    if (risingEdge && s.RingCount == 0) {
        s.RingCount = 1;
        m_lastRing.Set(s.LastRingTime, m_clock);
    }
    // Runs in the same tick as the call's start too, so the count is one ahead.
    if (risingEdge && s.RingCount != 0) {
        s.RingCount += 1;
        m_lastRing.Set(s.LastRingTime, m_clock);
    }
    // The quiet time is measured on the monotonic clock: a wall clock set back during the
    // rings would keep the call open, one set forward would end it between two rings.
    if (s.LampRI == 0 && s.RingCount >= 1 && m_lastRing.ElapsedMs(s.LastRingTime, m_clock) > kCallOverAfterMs) {
        std::string record = "Call: ";
        record += Stamp(s.LastRingTime);
        record += "   Signals= ";
        record += std::to_string(s.RingCount - 1);
        record += kLineEnd;
        s.RingCount = 0;
        Write(m_ring, record);
    }
}

void EventLogs::ConnectLogStep()
{
    Settings& s = m_settings;
    const DateTime now = m_clock.Now();
    const bool olderThanInterval = m_connectTime.SessionElapsedMs() > std::int64_t{s.DCDInterval} * 1000;
    if (s.LampCD == 1) {
        if (s.DcdLogState == 0) {
            s.DcdLogState = 1;
        }
        if (olderThanInterval && s.DcdLogState == 1) {
            std::string record;
            if (LastLineLength(m_connect) < kCompleteRecordLength) {
                record += kLineEnd;
            }
            record += "Connected: ";
            record += Stamp(s.SessionStart);
            s.DcdLogState = 2;
            Write(m_connect, record);
        }
        return;
    }
    if (olderThanInterval && s.DcdLogState == 1) {
        // Too short to be logged.
        s.DcdLogState = 0;
    }
    if (s.DcdLogState == 2) {
        std::string record = "  Disconnected: ";
        record += Stamp(now);
        record += "  Session Time = ";
        record += ElapsedToStr(m_connectTime.SessionTime(), m_formats);
        record += "  Total Time = ";
        record += ElapsedToStr(s.TotalConnectNew, m_formats);
        if (s.LogTotalBytes == 1) {
            record += "  Sent: ";
            record += std::to_string(s.SessionSent);
            record += "  Received: ";
            record += std::to_string(s.SessionReceived);
            record += " bytes";
        }
        record += kLineEnd;
        s.DcdLogState = 0;
        Write(m_connect, record);
    }
}

SARVENDO_TICK_PATH void EventLogs::RetryUnwritten()
{
    if (!m_ring.unwritten.empty()) {
        Flush(m_ring);
    }
    if (!m_connect.unwritten.empty()) {
        Flush(m_connect);
    }
}

std::vector<std::string> EventLogs::TakeOverHeldRecords()
{
    std::vector<std::string> notes;
    for (Log* log : {&m_ring, &m_connect}) {
        const std::string earlier = log->held.TakeOver(notes);
        if (earlier.empty()) {
            continue;
        }
        log->unwritten.insert(0, earlier);
        // The user was told when these records could not be written; no box again.
        if (const std::string failure = WriteUnwritten(*log, KeepAttempt::WhenChanged); failure.empty()) {
            notes.push_back("log records held since an earlier run were written to " + log->path);
        } else {
            notes.push_back("log records held since an earlier run could not be written to " + log->path + " yet (" +
                            failure + "); they stay in " + log->held.Place());
        }
    }
    return notes;
}

std::vector<std::string> EventLogs::RetryUnwrittenSilently()
{
    std::vector<std::string> notes;
    for (Log* log : {&m_ring, &m_connect}) {
        if (!log->unwritten.empty()) {
            WriteUnwritten(*log, KeepAttempt::Always);
        }
        if (log->unwritten.empty()) {
            if (std::string note = log->held.Release(); !note.empty()) {
                notes.push_back(std::move(note));
            }
        } else if (log->held.Kept(log->unwritten)) {
            notes.push_back("log records held for " + log->path + " are kept in " + log->held.Place() +
                            " and written at the next start");
        } else {
            notes.push_back("log records held for " + log->path + " could not be written and are lost");
        }
    }
    return notes;
}

std::size_t EventLogs::LastLineLength(Log& log)
{
    if (!log.unwritten.empty()) {
        return LastLineLengthOf(log.unwritten);
    }
    // A file that does not exist yet gets no line end in front of its first record.
    return m_files.LastLineLength(log.path).value_or(kCompleteRecordLength);
}

void EventLogs::Write(Log& log, std::string_view record)
{
    log.unwritten += record;
    log.reported = false;
    Flush(log);
}

void EventLogs::Flush(Log& log)
{
    const std::string failure = WriteUnwritten(log, KeepAttempt::WhenChanged);
    if (failure.empty()) {
        return;
    }
    // Nested ticks run while the box is up and fail on the same file again; they keep
    // their records and leave the telling to the box already open.
    if (log.boxOpen || log.reported) {
        return;
    }
    log.reported = true;
    log.boxOpen = true;
    const std::string text = "The log file " + log.path + " could not be written: " + failure +
                             ".\nSarvendo keeps the entry and writes it as soon as it can.";
    m_boxes.Show(text, MessageButtons::Ok, MessageIcon::Error);
    log.boxOpen = false;
}

// Appends the unwritten records; returns why it failed, or nothing when the log has them
// all. Whatever stays unwritten is kept in the side file too.
std::string EventLogs::WriteUnwritten(Log& log, KeepAttempt attempt)
{
    const AppendResult result = m_files.Append(log.path, log.unwritten);
    // Bytes a failed append could not take back are in the log for good: only the rest is
    // written again, so no record appears twice in part.
    log.unwritten.erase(0, std::min(result.bytesInFile, log.unwritten.size()));
    if (result.failure.empty() || log.unwritten.empty()) {
        log.unwritten.clear();
        log.reported = true;
        // A side file that cannot be removed now is tried again, and told of, at the end.
        log.held.Release();
        return {};
    }
    if (!log.held.Keep(log.unwritten, attempt) && result.bytesInFile > 0) {
        // The side file still holds the records whole, though part of them is in the log
        // now: written at the next start it would repeat that part. Better none at all;
        // the end of the run then says the rest is lost.
        log.held.Withdraw();
    }
    return result.failure;
}

std::string EventLogs::Stamp(double when) const
{
    return FormatDateTime("c", when, m_formats);
}

} // namespace sarvendo
