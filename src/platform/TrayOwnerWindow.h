// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace sarvendo {

// The application window as the tray icon component sees it: the window that goes into
// the notification area and comes back, and the application-wide minimise and restore
// notifications. Hiding to the tray takes the window off the taskbar so that only the
// icon remains; restoring shows it again in front of the others. The component calls
// these from its deferred calls, never while the tray host's callback is running.
class TrayOwnerWindow
{
public:
    using Hook = std::function<void()>;

    virtual ~TrayOwnerWindow() = default;

    // Replaces the handlers called after the application was minimised or restored by
    // the user or the window manager. Empty handlers are allowed.
    virtual void SetApplicationHooks(Hook onMinimize, Hook onRestore) = 0;

    virtual bool IsApplicationMinimized() const = 0;
    virtual void RestoreApplication() = 0;
    virtual bool IsMainFormVisible() const = 0;
    virtual void ShowMainForm() = 0;
    // Gives the application its taskbar entry back, in its restored size.
    virtual void ShowApplicationWindow() = 0;
    virtual void BringToForeground() = 0;
    // Minimises the application; does nothing (and notifies nobody) when it already is.
    virtual void MinimizeApplication() = 0;
    // Removes the application's taskbar entry.
    virtual void HideApplicationWindow() = 0;

    // Holds back the repaints of the application's windows while they are rearranged.
    virtual void LockScreenUpdates(bool locked) = 0;

    // Lets the application handle its pending events; callers must expect re-entry.
    virtual void ProcessPendingEvents() = 0;
};

} // namespace sarvendo
