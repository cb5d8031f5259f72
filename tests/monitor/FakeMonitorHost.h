// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "monitor/MonitorHost.h"

#include <functional>

namespace sarvendo::fakes {

// Records what the poll cycle asked of the main window.
class FakeMonitorHost final : public MonitorHost
{
public:
    void InvalidateClientArea() override
    {
        ++invalidations;
        if (onInvalidate) {
            onInvalidate();
        }
    }
    bool ClientAreaHidden() const override { return hidden; }
    void FormPaint() override
    {
        ++directPaints;
        if (onPaint) {
            onPaint();
        }
    }
    void SetHangUpButtonEnabled(bool enabled) override
    {
        hangUpButtonEnabled = enabled;
        ++hangUpButtonChanges;
    }
    void MakeTopmost() override { ++topmostRequests; }
    void StopPollTimer() override { timerStopped = true; }
    void RunCloseQuery() override { ++closeQueries; }
    void RequestApplicationEnd() override { ++endRequests; }
    void RedrawForegroundCaption() override { ++captionRedraws; }

    bool hidden = false;
    std::function<void()> onInvalidate;
    std::function<void()> onPaint;
    int invalidations = 0;
    int directPaints = 0;
    bool hangUpButtonEnabled = false;
    int hangUpButtonChanges = 0;
    int topmostRequests = 0;
    bool timerStopped = false;
    int closeQueries = 0;
    int endRequests = 0;
    int captionRedraws = 0;
};

} // namespace sarvendo::fakes
