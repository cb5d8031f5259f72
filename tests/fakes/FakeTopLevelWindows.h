// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TopLevelWindows.h"

#include <string>
#include <vector>

namespace sarvendo::fakes {

// A desktop of windows the test lays out; records what was done to them.
class FakeTopLevelWindows final : public TopLevelWindows
{
public:
    struct Window
    {
        std::string title;
        bool minimised = false;
        int raised = 0;
        int restored = 0;
    };

    std::optional<WindowId> FindByTitle(const std::string& title) override
    {
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (windows[i].title == title) {
                return i;
            }
        }
        return std::nullopt;
    }
    bool IsMinimised(WindowId window) override { return windows.at(window).minimised; }
    void Restore(WindowId window) override
    {
        windows.at(window).minimised = false;
        ++windows.at(window).restored;
    }
    void BringToTop(WindowId window) override { ++windows.at(window).raised; }

    std::vector<Window> windows;
};

} // namespace sarvendo::fakes
