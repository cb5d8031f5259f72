// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

// What the setup dialog asks of the main window that owns it. The dialog writes the
// Settings record itself and sets its repaint requests; these calls carry out what only
// the window can do, at once, while the dialog is still open.
class SetupHost
{
public:
    virtual ~SetupHost() = default;

    // Applies "Timer Interval": the poll period, or a stopped timer with the "Update
    // Lamps &Now!" item when it is below 1.
    virtual void ApplyTimerInterval() = 0;

    // Saves the monitored port's settings and goes on with port n and its settings.
    virtual void SwitchPort(int port) = 0;

    // Shows or hides the notification-area icon; hiding it brings the window back.
    virtual void SetTrayIconActive(bool active) = 0;

    // Composes the window anew from the record's repaint requests.
    virtual void RepaintWindow() = 0;

    // "&Hang-up NOW!".
    virtual void HangUpNow() = 0;

    // Shows the program's help at a context number.
    virtual void ShowHelp(int context) = 0;
};

} // namespace sarvendo
