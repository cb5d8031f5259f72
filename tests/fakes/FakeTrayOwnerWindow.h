// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TrayOwnerWindow.h"

#include <string>
#include <vector>

namespace sarvendo::fakes {

// An application window that only keeps its state and records what was done to it; the
// test plays the user or the window manager by calling the installed hooks.
class FakeTrayOwnerWindow final : public TrayOwnerWindow
{
public:
    void SetApplicationHooks(Hook onMinimize, Hook onRestore) override
    {
        minimizeHook = std::move(onMinimize);
        restoreHook = std::move(onRestore);
    }
    bool IsApplicationMinimized() const override { return minimized; }
    void RestoreApplication() override
    {
        calls.emplace_back("RestoreApplication");
        minimized = false;
    }
    bool IsMainFormVisible() const override { return visible; }
    void ShowMainForm() override
    {
        calls.emplace_back("ShowMainForm");
        visible = true;
    }
    void ShowApplicationWindow() override
    {
        calls.emplace_back("ShowApplicationWindow");
        onTaskbar = true;
    }
    void BringToForeground() override { calls.emplace_back("BringToForeground"); }
    void MinimizeApplication() override
    {
        calls.emplace_back("MinimizeApplication");
        minimized = true;
    }
    void HideApplicationWindow() override
    {
        calls.emplace_back("HideApplicationWindow");
        onTaskbar = false;
    }
    void LockScreenUpdates(bool locked) override { calls.emplace_back(locked ? "Lock" : "Unlock"); }
    void ProcessPendingEvents() override { calls.emplace_back("ProcessPendingEvents"); }

    bool minimized = false;
    bool visible = true;
    bool onTaskbar = true;
    Hook minimizeHook;
    Hook restoreHook;
    std::vector<std::string> calls;
};

} // namespace sarvendo::fakes
