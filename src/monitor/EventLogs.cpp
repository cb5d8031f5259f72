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

namespace sarvendo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

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
      m_connectTime(connectTime)
{
    const std::string directory = directories.LogDirectory();
    m_ring.path = InDirectory(directory, kRingLogName);
    m_connect.path = InDirectory(directory, kConnectLogName);
}

void EventLogs::RingLogStep()
{
    Settings& s = m_settings;
    const DateTime now = m_clock.Now();
    const bool risingEdge = s.LampRI == 1 && s.PrevRI == 0;
    if (risingEdge && s.RingCount == 0) {
        s.RingCount = 1;
        s.LastRingTime = now;
    }
    // Runs in the same tick as the call's start too, so the count is one ahead.
    if (risingEdge && s.RingCount != 0) {
        s.RingCount += 1;
        s.LastRingTime = now;
    }
    if (s.LampRI == 0 && s.RingCount >= 1 && MillisecondsBetween(s.LastRingTime, now) > kCallOverAfterMs) {
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

void EventLogs::RetryUnwritten()
{
    if (!m_ring.unwritten.empty()) {
        Flush(m_ring);
    }
    if (!m_connect.unwritten.empty()) {
        Flush(m_connect);
    }
}

std::vector<std::string> EventLogs::RetryUnwrittenSilently()
{
    std::vector<std::string> kept;
    for (Log* log : {&m_ring, &m_connect}) {
        if (log->unwritten.empty()) {
            continue;
        }
        if (m_files.Append(log->path, log->unwritten).empty()) {
            log->unwritten.clear();
        } else {
            kept.push_back(log->path);
        }
    }
    return kept;
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
    const std::string failure = m_files.Append(log.path, log.unwritten);
    if (failure.empty()) {
        log.unwritten.clear();
        log.reported = true;
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

std::string EventLogs::Stamp(double when) const
{
    return FormatDateTime("c", when, m_formats);
}

} // namespace sarvendo
