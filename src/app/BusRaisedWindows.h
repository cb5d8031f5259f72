#pragma once

#include "platform/TopLevelWindows.h"

namespace sarvendo {

// The running copy's window as a second copy sees it: the running copy is first asked
// over the session bus to show itself, which works on every desktop and also brings the
// window back from the tray; only when no copy answers there is its window looked for
// among the desktop's windows.
class BusRaisedWindows final : public TopLevelWindows
{
public:
    explicit BusRaisedWindows(TopLevelWindows& desktop) : m_desktop(desktop) {}

    std::optional<WindowId> FindByTitle(const std::string& title) override;
    bool IsMinimised(WindowId window) override;
    void Restore(WindowId window) override;
    void BringToTop(WindowId window) override;

    // What FindByTitle answers when the running copy has already shown itself.
    static constexpr WindowId kShownOverTheBus = ~WindowId{0};

private:
    TopLevelWindows& m_desktop;
};

} // namespace sarvendo
