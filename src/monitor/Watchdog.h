// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "monitor/MonotonicMark.h"

namespace sarvendo {

class Clock;
class EventSounds;
class MonitoredLine;
class MessageBoxes;
class MonitorHost;
struct Settings;

// The rules that act on an idle connection and on a lost carrier: the automatic exit
// some seconds after the carrier dropped, the automatic disconnect of a connection idle
// for too long, and the warning before it. The limits and the exit delay are measured on
// the monotonic clock, so a change of the wall clock neither shortens nor stretches them. Their message boxes are modal
// and may run further ticks; each rule's busy flag keeps it from opening a second box of its kind.
class Watchdog
{
public:
    Watchdog(Settings& settings, const Clock& clock, MonitoredLine& line, MessageBoxes& boxes, MonitorHost& host,
             EventSounds& sounds);

    // Arms the automatic exit on a disconnect edge with "CD Auto Exit" on; disarms it
    // on any other carrier edge.
    void ArmAutoExit();

    // Ends the program once the armed delay has passed; true when it did, and the tick
    // has nothing more to do.
    bool AutoExitCheck();

    // True once the automatic exit has run the close routine; nothing is left to do.
    bool ExitStarted() const { return m_exitStarted; }

    // Hangs up a connection idle for the "Disconnect time if Inactive" limit.
    void InactivityDisconnectCheck();

    // Asks whether to hang up a connection idle for the "Warn time if Inactive" limit.
    void InactivityWarningCheck();

    // Restarts the idle time: LastActivity becomes now.
    void NoteActivity();

    // The setup dialog's switches: toggling a rule releases its busy flag and restarts
    // the idle time.
    void WarnIfInactiveToggled();
    void DisconnectIfInactiveToggled();

private:
    Settings& m_settings;
    const Clock& m_clock;
    MonitoredLine& m_line;
    MessageBoxes& m_boxes;
    MonitorHost& m_host;
    EventSounds& m_sounds;
    bool m_exitStarted = false;
    MonotonicMark m_lastActivity;
    MonotonicMark m_disconnectTime;
};

} // namespace sarvendo
