// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sarvendo {

using WindowId = std::uint64_t;

// The desktop's top-level windows of all programs, as far as the single-instance guard
// needs them: found by their exact title, and brought back to the user. Where the
// desktop offers no such access (no X server, a headless run) nothing is ever found.
class TopLevelWindows
{
public:
    virtual ~TopLevelWindows() = default;

    // The first top-level window whose title equals title exactly.
    virtual std::optional<WindowId> FindByTitle(const std::string& title) = 0;
    virtual bool IsMinimised(WindowId window) = 0;
    // Shows a minimised window again in its old place and activates it.
    virtual void Restore(WindowId window) = 0;
    // Puts the window on top of the others and activates it.
    virtual void BringToTop(WindowId window) = 0;
};

} // namespace sarvendo
