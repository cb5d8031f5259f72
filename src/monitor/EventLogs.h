// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "monitor/HeldRecords.h"
#include "monitor/MonotonicMark.h"

#include <string>
#include <string_view>
#include <vector>

namespace sarvendo {

class Clock;
class ConnectTime;
class Directories;
class LogFiles;
class MessageBoxes;
struct DateTimeFormats;
struct Settings;

// The ring log (one line per incoming call) and the connect log (one line per
// connection that lasted longer than "DCD Interval"), CR LF terminated, each file opened
// and closed within its step. A record that cannot be written is kept with the times it
// was made with and written, in order, by the first later tick that can; the user sees
// one error box per log at a time, and only for a failure of a record not yet reported.
// Held records are kept in a side file as well (beside the log, else beside the settings),
// so that the end of the program loses none: the next start writes them first.
class EventLogs
{
public:
    static constexpr std::string_view kRingLogName = "Sarvendo.RI";
    static constexpr std::string_view kConnectLogName = "Sarvendo.DCD";

    EventLogs(Settings& settings, const Clock& clock, LogFiles& files, MessageBoxes& boxes,
              const Directories& directories, const DateTimeFormats& formats, const ConnectTime& connectTime);

    // Counts ring pulses and writes the call's line once RI has been off for more than
    // ten seconds. Runs each tick while "Log RI" is 1, after the carrier edge.
    void RingLogStep();

    // Writes the "Connected:" piece once the session is older than "DCD Interval" and
    // the rest of the line at the disconnect. Runs each tick while "Log DCD" is 1.
    void ConnectLogStep();

    // Retries records that could not be written yet; cheap when there are none.
    void RetryUnwritten();

    // For start-up, before the first tick: writes the records an earlier run kept in side
    // files. Returns what the user should read on standard error.
    std::vector<std::string> TakeOverHeldRecords();

    // One last try for the close routine, without a box: nothing runs after it that could
    // take the records later. Returns what the user should read on standard error: where
    // records still held wait for the next start, or that they are lost.
    std::vector<std::string> RetryUnwrittenSilently();

    const std::string& RingLogPath() const { return m_ring.path; }
    const std::string& ConnectLogPath() const { return m_connect.path; }

    // True while records of that log wait to be written.
    bool RingLogPending() const { return !m_ring.unwritten.empty(); }
    bool ConnectLogPending() const { return !m_connect.unwritten.empty(); }

private:
    struct Log
    {
        Log(LogFiles& files, std::string logPath, std::vector<std::string> sidePlaces)
            : path(logPath), held(files, std::move(logPath), std::move(sidePlaces))
        {
        }

        std::string path;
        std::string unwritten; // records made but not yet in the file, in order
        bool boxOpen = false;  // an error box of this log is up
        bool reported = true;  // the user has been told about everything unwritten
        HeldRecords held;      // the unwritten records on the disk
    };

    void Write(Log& log, std::string_view record);
    void Flush(Log& log);
    std::string WriteUnwritten(Log& log, KeepAttempt attempt);
    std::size_t LastLineLength(Log& log);
    std::string Stamp(double when) const;

    Settings& m_settings;
    const Clock& m_clock;
    LogFiles& m_files;
    MessageBoxes& m_boxes;
    const DateTimeFormats& m_formats;
    const ConnectTime& m_connectTime;
    Log m_ring;
    Log m_connect;
    MonotonicMark m_lastRing; // the last ring pulse, on both clocks
};

} // namespace sarvendo
