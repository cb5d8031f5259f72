// SPDX-License-Identifier: GPL-3.0-or-later
#include "Watchdog.h"

#include "core/Settings.h"

#include "line/MonitoredLine.h"
#include "monitor/ElapsedTime.h"
#include "monitor/EventSounds.h"
#include "monitor/MonitorHost.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/TickPath.h"

#include <string>

namespace sarvendo {
namespace {

constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMsPerMinute = 60 * kMsPerSecond;

// True when at least the limit of minutes and seconds has passed since the last activity.
bool LimitPassed(std::int64_t idleMs, std::int32_t minutes, std::int32_t seconds)
{
    const std::int64_t limitMs = minutes * kMsPerMinute + seconds * kMsPerSecond;
    return idleMs >= limitMs;
}

std::string InactiveText(std::int32_t minutes, std::int32_t seconds, std::string_view ending)
{
    std::string text = "Your connection has been inactive for ";
    text += std::to_string(minutes);
    text += " minute(s) and ";
    text += std::to_string(seconds);
    text += " seconds(s). ";
    text += ending;
    return text;
}

} // namespace

Watchdog::Watchdog(Settings& settings, const Clock& clock, MonitoredLine& line, MessageBoxes& boxes, MonitorHost& host,
                   EventSounds& sounds)
    : m_settings(settings), m_clock(clock), m_line(line), m_boxes(boxes), m_host(host), m_sounds(sounds)
{
}

void Watchdog::ArmAutoExit()
{
    if (m_settings.LampCD == 0 && m_settings.CDAutoExit == 1) {
        m_settings.AutoExitPending = 1;
        m_disconnectTime.Set(m_settings.DisconnectTime, m_clock);
    } else {
        m_settings.AutoExitPending = 0;
    }
}

SARVENDO_TICK_PATH bool Watchdog::AutoExitCheck()
{
    Settings& s = m_settings;
    if (s.AutoExitPending != 1 ||
        m_disconnectTime.ElapsedMs(s.DisconnectTime, m_clock) <= std::int64_t{s.CDAutoExitDelay} * kMsPerSecond) {
        return false;
    }
    // The close query may show a box whose loop runs further ticks; the exit must not
    // start a second time from one of them.
    s.AutoExitPending = 0;
    m_exitStarted = true;
    if (m_line.DriverPresent()) {
        m_line.ReleaseStatusDriver();
    }
    m_host.StopPollTimer();
    m_host.RunCloseQuery();
    m_host.RequestApplicationEnd();
    return true;
}

SARVENDO_TICK_PATH void Watchdog::InactivityDisconnectCheck()
{
    Settings& s = m_settings;
    if (s.AutoDisconnectBusy != 0 || s.LampCD != 1 || s.LastActivity == 0.0 || s.DisconnectIfInactive != 1 ||
        !LimitPassed(m_lastActivity.ElapsedMs(s.LastActivity, m_clock), s.DisconnectTimeIfInactive,
                     s.DisconnectTimeIfInactiveSeconds)) {
        return;
    }
    s.AutoDisconnectBusy = 1;
    const HangUpResult hangUp = m_line.HangUp();
    // The box never claims a disconnect that did not happen: when the lines could not be
    // reached it says so and why, and the rule fires again after another full limit.
    const std::string text =
        InactiveText(s.DisconnectTimeIfInactive, s.DisconnectTimeIfInactiveSeconds,
                     hangUp.performed ? "Automatic disconnect performed!" : HangUpFailureText(hangUp));
    m_host.MakeTopmost();
    m_boxes.Show(text, MessageButtons::Ok, MessageIcon::Warning, MessageStacking::Topmost);
    s.AutoDisconnectBusy = 0;
    NoteActivity();
}

SARVENDO_TICK_PATH void Watchdog::InactivityWarningCheck()
{
    Settings& s = m_settings;
    if (s.InactivityWarnBusy != 0 || s.LampCD != 1 || s.LastActivity == 0.0 || s.WarnIfInactive != 1 ||
        !LimitPassed(m_lastActivity.ElapsedMs(s.LastActivity, m_clock), s.WarnTimeIfInactive,
                     s.WarnTimeIfInactiveSeconds)) {
        return;
    }
    m_sounds.Play(SoundEvent::WarnInactive);
    s.InactivityWarnBusy = 1;
    const std::string text =
        InactiveText(s.WarnTimeIfInactive, s.WarnTimeIfInactiveSeconds, "Do You want to disconnect?");
    m_host.MakeTopmost();
    const MessageResult answer =
        m_boxes.Show(text, MessageButtons::YesNo, MessageIcon::Warning, MessageStacking::Topmost);
    if (answer == MessageResult::Yes) {
        const HangUpResult hangUp = m_line.HangUp();
        if (!hangUp.performed) {
            m_boxes.Show(HangUpFailureText(hangUp), MessageButtons::Ok, MessageIcon::Warning, MessageStacking::Topmost);
        }
    }
    s.InactivityWarnBusy = 0;
    NoteActivity();
}

void Watchdog::NoteActivity()
{
    m_lastActivity.Set(m_settings.LastActivity, m_clock);
}

void Watchdog::WarnIfInactiveToggled()
{
    m_settings.InactivityWarnBusy = 0;
    NoteActivity();
}

void Watchdog::DisconnectIfInactiveToggled()
{
    m_settings.AutoDisconnectBusy = 0;
    NoteActivity();
}

} // namespace sarvendo
