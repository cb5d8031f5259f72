// SPDX-License-Identifier: GPL-3.0-or-later
#include "PollCycle.h"

#include "core/Layouts.h"
#include "core/Redraw.h"
#include "core/Settings.h"

#include "line/MonitoredLine.h"
#include "monitor/ElapsedTime.h"
#include "monitor/MonitorHost.h"
#include "platform/Clock.h"
#include "platform/ModemLines.h"
#include "platform/TickPath.h"

#include <cstdlib>
#include <limits>
#include <utility>

namespace sarvendo {
namespace {

constexpr std::int32_t kHighSpeedAbove = 9600;
constexpr std::uint32_t kMinRateWindowMs = 1000;

SARVENDO_TICK_PATH std::uint8_t Bit(std::uint8_t value, std::uint8_t mask)
{
    return (value & mask) != 0 ? 1 : 0;
}

// Adds without the signed overflow a counter left running for days would reach.
SARVENDO_TICK_PATH std::int32_t SaturatingAdd(std::int32_t total, std::int64_t increment)
{
    const std::int64_t sum = std::int64_t{total} + increment;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(sum > kMax ? kMax : sum);
}

// One direction of the byte counters: a rise over the last value seen lights the lamp,
// feeds the rate window and becomes the new base; a counter that went down (a new
// connection counting from 0) changes nothing until the connect edge clears the base.
SARVENDO_TICK_PATH void CountDirection(std::int32_t value, std::int32_t& counter, std::int32_t& accumulated,
                                       std::uint8_t& lamp, std::int32_t& sessionValue, bool connected)
{
    const std::int64_t rise = std::int64_t{value} - counter;
    if (rise <= 0) {
        return;
    }
    lamp = 1;
    accumulated = SaturatingAdd(accumulated, rise);
    counter = value;
    if (connected) {
        sessionValue = value;
    }
}

} // namespace

PollCycle::PollCycle(Settings& settings, const Clock& clock, MonitoredLine& line, Sound& sound, MessageBoxes& boxes,
                     LogFiles& logFiles, const Directories& directories, const DateTimeFormats& formats,
                     MonitorHost& host)
    : PollCycle(settings, clock, line, sound, boxes, logFiles, directories, formats, host, m_noHistory)
{
}

PollCycle::PollCycle(Settings& settings, const Clock& clock, MonitoredLine& line, Sound& sound, MessageBoxes& boxes,
                     LogFiles& logFiles, const Directories& directories, const DateTimeFormats& formats,
                     MonitorHost& host, HistoryHost& history)
    : m_settings(settings), m_clock(clock), m_line(line), m_host(host), m_history(history), m_sounds(settings, sound),
      m_connectTime(settings, clock), m_logs(settings, clock, logFiles, boxes, directories, formats, m_connectTime),
      m_watchdog(settings, clock, line, boxes, host, m_sounds)
{
}

SARVENDO_TICK_PATH void PollCycle::TimerTimer()
{
    Settings& s = m_settings;
    // After the program has closed down, a tick still queued, or one run from a box of the
    // close routine, finds nothing left to do.
    if (s.DefaultPort == 0 || ProgramEnded()) {
        return;
    }
    s.LampTD = 0;
    s.LampRD = 0;
    s.LampCTS = 0;
    s.LampDSR = 0;
    s.LampRI = 0;
    s.LampCD = 0;
    s.LampDTR = 0;
    s.LampRTS = 0;

    const bool driverReportedLines = ReadLineStates();
    CountBytes();
    ReadControlLines(driverReportedLines);
    if (s.LampRI == 1 && s.PrevRI == 0) {
        m_sounds.Play(SoundEvent::Ring);
        m_history.RingRose();
    }
    UpdateAutoOnTop();
    if (s.LampCD == 0) {
        s.LastActivity = 0.0;
    }
    CloseRateWindow();
    if (s.LampCD == 0) {
        s.NotifyValue2 = 0;
    }
    // Only the first tick after a port switch may carry the notification over.
    const std::int32_t notificationAcrossSwitch = std::exchange(m_notificationAcrossSwitch, 0);
    if (s.LampCD != s.PrevCD) {
        HandleCarrierEdge();
        if (s.LampCD == 1) {
            // The connect edge a port switch makes of a connection that goes on: what the
            // dial-up notification said of that connection still holds.
            s.NotifyValue2 = notificationAcrossSwitch;
        }
    }
    s.PrevCD = s.LampCD;
    m_history.Counted(s.LampCD == 1, s.SessionSent, s.SessionReceived, s.SpeedText);
    // Each of the following steps may show a box, and the program may close down while
    // it is open (the automatic exit in a nested tick, Exit, a termination signal). The
    // close routine has then released the line and saved the settings: the rest of this
    // tick must neither hang up, nor ask, nor log, nor paint.
    // Records a failing log could not take are tried again first, so that they are also
    // tried once more before an automatic exit.
    m_logs.RetryUnwritten();
    if (ProgramEnded() || m_watchdog.AutoExitCheck()) {
        return;
    }
    if (s.LogRI == 1) {
        m_logs.RingLogStep();
        if (ProgramEnded()) {
            return;
        }
    }
    s.PrevRI = s.LampRI;
    m_watchdog.InactivityDisconnectCheck();
    if (ProgramEnded()) {
        return;
    }
    m_watchdog.InactivityWarningCheck();
    if (ProgramEnded()) {
        return;
    }
    if (s.LogDCD == 1) {
        m_logs.ConnectLogStep();
        if (ProgramEnded()) {
            return;
        }
    }
    if (s.StatusInDisplay == 1) {
        m_line.ReadLineParameters();
    }
    TestForChanges();
    if (s.RebuildWindowLamps == 1 || s.RebuildLayout == 1) {
        RequestRedraw(s, Redraw::Repaint);
    }
    RequestClockRepaint();
    if (s.RepaintNeeded == 1) {
        Repaint();
    }
}

void PollCycle::PortSwitched()
{
    m_notificationAcrossSwitch = m_settings.LampCD == 1 ? m_settings.NotifyValue2 : 0;
}

SARVENDO_TICK_PATH bool PollCycle::ProgramEnded() const
{
    return m_watchdog.ExitStarted() || m_settings.ClosedDown == 1;
}

SARVENDO_TICK_PATH bool PollCycle::ReadLineStates()
{
    Settings& s = m_settings;
    if (!m_line.DriverPresent() || !m_line.QueryPortOpen()) {
        return false;
    }
    const std::uint8_t status = m_line.ReadLineStatus();
    s.LampCTS = Bit(status, kMsrCts);
    s.LampDSR = Bit(status, kMsrDsr);
    s.LampRI = Bit(status, kMsrRi);
    s.LampCD = Bit(status, kMsrCd);
    return true;
}

SARVENDO_TICK_PATH void PollCycle::CountBytes()
{
    Settings& s = m_settings;
    const DialUpReading dialUp = m_line.ReadDialUpCounters();
    if (dialUp.newConnection) {
        // The counts of a newly found connection start from a clean base.
        s.TDCounter = 0;
        s.RDCounter = 0;
        s.SessionSent = 0;
        s.SessionReceived = 0;
    }
    if (dialUp.connected) {
        s.LampCD = 1;
    }
    ByteCounts counts = dialUp.counts;
    if (counts.sent == 0 && counts.received == 0) {
        counts = m_line.ReadDriverByteCounts(s.TDCounter, s.RDCounter);
        counts.speed = 0;
    }
    const bool connected = s.LampCD == 1;
    CountDirection(counts.sent, s.TDCounter, s.TDBytesAccum, s.LampTD, s.SessionSent, connected);
    CountDirection(counts.received, s.RDCounter, s.RDBytesAccum, s.LampRD, s.SessionReceived, connected);
    if (!m_line.DriverPresent() && (counts.sent != 0 || counts.received != 0)) {
        s.LampCD = 1;
    }
    if (counts.speed != 0) {
        if (s.SpeedText.empty()) {
            s.SpeedText = "@ ";
            s.SpeedText += std::to_string(counts.speed);
            s.SpeedText += " bps";
        }
        // The flag follows the live connection on every tick, not only when its speed text
        // is made: a port switch clears it together with the lamps while the connection
        // and its text go on.
        const std::uint8_t highSpeed = s.NewOrientation == kCourierLayout && counts.speed > kHighSpeedAbove ? 1 : 0;
        if (highSpeed != s.HighSpeed) {
            s.HighSpeed = highSpeed;
            RequestRedraw(s, Redraw::Repaint);
        }
    }
    const bool activity = s.TriggerRD == 1 ? s.LampRD == 1 : (s.LampRD == 1 || s.LampTD == 1);
    if (activity) {
        m_watchdog.NoteActivity();
    }
}

SARVENDO_TICK_PATH void PollCycle::ReadControlLines(bool driverReportedLines)
{
    Settings& s = m_settings;
    if (s.NoDirectHardwareAcesss != 0) {
        return;
    }
    if (s.NewOrientation == kModemLayout || s.NewOrientation == kCourierLayout) {
        if (const auto control = m_line.ReadModemControl()) {
            s.LampDTR = Bit(*control, kMcrDtr);
            s.LampRTS = Bit(*control, kMcrRts);
        }
    }
    if (!driverReportedLines) {
        if (const auto status = m_line.ReadModemStatus()) {
            s.LampRI = Bit(*status, kMsrRi);
        }
    }
}

SARVENDO_TICK_PATH void PollCycle::UpdateAutoOnTop()
{
    Settings& s = m_settings;
    if (s.OnTop != 2) {
        return;
    }
    if (s.LampRD == 1 || s.LampTD == 1) {
        s.AutoOnTop = 1;
        m_lastTraffic.Set(s.LastTraffic, m_clock);
    } else if (m_lastTraffic.ElapsedMs(s.LastTraffic, m_clock) > std::int64_t{s.AutoDelay} * 1000) {
        s.AutoOnTop = 0;
    }
}

SARVENDO_TICK_PATH void PollCycle::CloseRateWindow()
{
    Settings& s = m_settings;
    const std::int64_t windowSeconds = s.RDTDSpeedUpdate;
    if (windowSeconds == 0) {
        return;
    }
    const std::uint32_t tick = m_clock.TickCount();
    // Measured as a wrapping difference, so windows keep closing when the tick count
    // wraps after 49.7 days.
    if (static_cast<std::uint32_t>(tick - s.RateWindowTick) <= kMinRateWindowMs) {
        return;
    }
    const std::int64_t seconds = tick / 1000;
    if (seconds / windowSeconds * windowSeconds != seconds) {
        return;
    }
    s.TDBytesLastWindow = s.TDBytesAccum;
    s.RDBytesLastWindow = s.RDBytesAccum;
    s.TDBytesAccum = 0;
    s.RDBytesAccum = 0;
    if (s.TDBytesLastWindow != 0 || s.RDBytesLastWindow != 0) {
        RequestRedraw(s, Redraw::Repaint);
    }
    s.RateWindowTick = m_clock.TickCount();
}

void PollCycle::HandleCarrierEdge()
{
    Settings& s = m_settings;
    if (s.LampCD == 1) {
        m_history.CarrierRose();
        m_sounds.Play(SoundEvent::Connect);
        s.TDCounter = 0;
        s.RDCounter = 0;
        s.SessionSent = 0;
        s.SessionReceived = 0;
        if (s.DisplayConnectTime == 1 || s.DisplayTotalConnectTimeInDisplay == 1) {
            RequestRedraw(s, Redraw::WindowLamps);
        }
        m_connectTime.StartSession();
        m_host.SetHangUpButtonEnabled(true);
        m_watchdog.NoteActivity();
    } else {
        m_history.CarrierFell(s.SessionSent, s.SessionReceived, s.SpeedText);
        m_sounds.Play(SoundEvent::Disconnect);
        s.SpeedText.clear();
        if (s.DisplayConnectTime == 1) {
            RequestRedraw(s, Redraw::WindowLamps);
        }
        m_connectTime.EndSession();
        if (s.Title == 2 || s.DisplayConnectTimeInTitlebar == 1 || s.DisplayTotalConnectTimeInTitlebar == 1) {
            RequestRedraw(s, Redraw::Repaint);
            m_host.RedrawForegroundCaption();
        }
        m_host.SetHangUpButtonEnabled(false);
    }
    m_watchdog.ArmAutoExit();
    if (s.Title != 0 && (s.DisplayConnectTimeInTitlebar == 1 || s.DisplayTotalConnectTimeInTitlebar == 1)) {
        RequestRedraw(s, Redraw::TitleLamps);
    }
    if (s.DisplayConnectTime == 1 || s.DisplayTotalConnectTimeInDisplay == 1) {
        RequestRedraw(s, Redraw::WindowLamps | Redraw::Repaint);
    }
    s.NotifyValue2 = 0;
}

SARVENDO_TICK_PATH void PollCycle::TestForChanges()
{
    Settings& s = m_settings;
    const LampFlags& painted = s.PaintedLamps;
    const std::int32_t layout = std::abs(s.NewOrientation);
    bool changed = false;
    if (layout >= 1 && layout <= kCourierLayout) {
        changed = s.LampRI != painted.LampRI || s.LampCD != painted.LampCD || s.LampDSR != painted.LampDSR ||
                  s.LampCTS != painted.LampCTS || s.LampTD != painted.LampTD || s.LampRD != painted.LampRD;
    }
    if (layout == kModemLayout || layout == kCourierLayout) {
        changed = changed || s.LampRTS != painted.LampRTS || s.LampDTR != painted.LampDTR;
    }
    if (changed) {
        RequestRedraw(s, Redraw::Repaint);
    }
    s.PaintedLamps = static_cast<const LampFlags&>(s);
}

SARVENDO_TICK_PATH void PollCycle::RequestClockRepaint()
{
    Settings& s = m_settings;
    if (s.RepaintNeeded != 0) {
        return;
    }
    const bool connectTimeShown = s.Title == 2 || s.DisplayConnectTime == 1 ||
                                  s.DisplayTotalConnectTimeInDisplay == 1 || s.DisplayConnectTimeInTitlebar == 1 ||
                                  s.DisplayTotalConnectTimeInTitlebar == 1;
    const bool clockShown =
        s.Title == 1 || (connectTimeShown && s.LampCD == 1) || (s.SPYSpeedInDisplay == 1 && s.RDTDSpeedUpdate != 0);
    if (!clockShown) {
        return;
    }
    const DateTime now = m_clock.Now();
    if (DecodeDateTime(now).second != DecodeDateTime(s.LastClockRepaint).second) {
        RequestRedraw(s, Redraw::Repaint);
        s.LastClockRepaint = now;
    }
}

void PollCycle::Repaint()
{
    m_host.InvalidateClientArea();
    // A window that receives no paint messages is painted here, so the caption lamps
    // and the tray icon still follow the line.
    if (m_host.ClientAreaHidden()) {
        m_host.FormPaint();
    }
}

} // namespace sarvendo
