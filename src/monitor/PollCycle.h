// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "monitor/ConnectTime.h"
#include "monitor/EventLogs.h"
#include "monitor/EventSounds.h"
#include "monitor/HistoryHost.h"
#include "monitor/MonotonicMark.h"
#include "monitor/Watchdog.h"

#include <cstdint>

namespace sarvendo {

class Clock;
class Directories;
class MonitoredLine;
class LogFiles;
class MessageBoxes;
class MonitorHost;
class Sound;
struct DateTimeFormats;
struct Settings;

// The program's poll cycle: one call of TimerTimer reads the monitored line once, turns
// what it sees into the lamp flags, byte counters, rate window and carrier edges of the
// Settings record, runs the connect-time, log, sound and watchdog rules at their fixed
// places and asks the main window for a repaint when something visible changed. It may
// be re-entered from a message box that one of its own rules shows; busy flags keep a
// rule from stacking boxes, and every other step runs normally in the nested tick. When
// the program closes down while such a box is open, the tick that showed it stops there.
class PollCycle
{
public:
    PollCycle(Settings& settings, const Clock& clock, MonitoredLine& line, Sound& sound, MessageBoxes& boxes,
              LogFiles& logFiles, const Directories& directories, const DateTimeFormats& formats, MonitorHost& host);
    // The same, telling the connection history of edges and counts.
    PollCycle(Settings& settings, const Clock& clock, MonitoredLine& line, Sound& sound, MessageBoxes& boxes,
              LogFiles& logFiles, const Directories& directories, const DateTimeFormats& formats, MonitorHost& host,
              HistoryHost& history);

    PollCycle(const PollCycle&) = delete;
    PollCycle& operator=(const PollCycle&) = delete;

    // One tick; does nothing while no port is monitored or once the program has closed down.
    void TimerTimer();

    // Told by the port switch before it clears the line state. A connection that is up
    // goes on over the switch; the next tick sees it as a new connect, but keeps what the
    // dial-up notification said of it, so the high-speed lamp comes back.
    void PortSwitched();

    // Session accounting for the menus, the setup dialog, start-up and the close routine.
    ConnectTime& Time() { return m_connectTime; }
    const ConnectTime& Time() const { return m_connectTime; }

    // The log files' names and the logs' error handling.
    const EventLogs& Logs() const { return m_logs; }

    // Writes the log records an earlier run had to keep in side files; for start-up,
    // before the first tick. Returns what the user should read on standard error.
    std::vector<std::string> TakeOverHeldLogRecords() { return m_logs.TakeOverHeldRecords(); }

    // One more, silent try to write log records a failing file could not take; for the
    // close routine. Returns what the user should read on standard error: where the records
    // still held wait for the next start, or that they are lost.
    std::vector<std::string> WriteUnwrittenLogs() { return m_logs.RetryUnwrittenSilently(); }

    // The watchdog's switches for the setup dialog.
    Watchdog& Guard() { return m_watchdog; }

private:
    // True once the close routine has run, whoever started it.
    bool ProgramEnded() const;
    bool ReadLineStates();
    void CountBytes();
    void ReadControlLines(bool driverReportedLines);
    void UpdateAutoOnTop();
    void CloseRateWindow();
    void HandleCarrierEdge();
    void TestForChanges();
    void RequestClockRepaint();
    void Repaint();

    Settings& m_settings;
    const Clock& m_clock;
    MonitoredLine& m_line;
    MonitorHost& m_host;
    NoHistory m_noHistory;
    HistoryHost& m_history;
    EventSounds m_sounds;
    ConnectTime m_connectTime;
    EventLogs m_logs;
    Watchdog m_watchdog;
    MonotonicMark m_lastTraffic;
    // NotifyValue2 of a connection that was up when the port was switched.
    std::int32_t m_notificationAcrossSwitch = 0;
};

} // namespace sarvendo
