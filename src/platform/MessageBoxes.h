// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace sarvendo {

enum class MessageButtons
{
    Ok,
    OkCancel,
    YesNo,
    YesNoCancel,
    AbortRetry,
};

enum class MessageIcon
{
    None,
    Information,
    Warning, // the exclamation icon
    Error,
    Question,
};

enum class MessageResult
{
    Ok,
    Cancel,
    Yes,
    No,
    Abort,
    Retry,
};

enum class MessageStacking
{
    Normal,
    Topmost,
};

// Modal message boxes titled "Sarvendo for Windows 95" and owned by the main window.
// Show returns when the user has answered; the program's timers keep running while a
// box is open, so a caller must expect re-entry of its own tick during the call.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual MessageResult Show(std::string_view text, MessageButtons buttons, MessageIcon icon,
                               MessageStacking stacking = MessageStacking::Normal) = 0;
};

inline constexpr std::string_view kMessageBoxTitle = "Sarvendo for Windows 95";

} // namespace sarvendo
