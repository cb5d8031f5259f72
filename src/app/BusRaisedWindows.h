// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TopLevelWindows.h"

#include <string>

namespace sarvendo {

// The running copy's window as a second copy sees it: the running copy is first asked to
// show itself through the socket beside the lock, then over the session bus; both work on
// every desktop and also bring the window back from the tray. Only when no copy answers
// either way is its window looked for among the desktop's windows.
class BusRaisedWindows final : public TopLevelWindows
{
public:
    // socketPath: where the running copy listens (RaiseSocket); empty for none.
    BusRaisedWindows(TopLevelWindows& desktop, std::string socketPath)
        : m_desktop(desktop), m_socketPath(std::move(socketPath))
    {
    }

    std::optional<WindowId> FindByTitle(const std::string& title) override;
    bool IsMinimised(WindowId window) override;
    void Restore(WindowId window) override;
    void BringToTop(WindowId window) override;

    // What FindByTitle answers when the running copy has already shown itself.
    static constexpr WindowId kShownOverTheBus = ~WindowId{0};

private:
    TopLevelWindows& m_desktop;
    std::string m_socketPath;
};

} // namespace sarvendo
