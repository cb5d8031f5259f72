// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/NotificationArea.h"

#include <QFlags>

#include <functional>

class QObject;

namespace sarvendo {

// Which picture the tray icon shows: Icon, DisabledIcon, or the animation's frames.
enum class TPGTrayIconState
{
    tsEnabled,
    tsDisabled,
    tsAnimated,
};

// toMinimizeToTray: minimising the application hides it to the tray while the icon is
// shown. toUnclutterTaskBar is kept for the settings that name it and changes nothing.
enum TPGTrayIconOption
{
    toMinimizeToTray = 0x1,
    toUnclutterTaskBar = 0x2,
};
Q_DECLARE_FLAGS(TPGTrayIconOptions, TPGTrayIconOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPGTrayIconOptions)

// Where the animation's frames come from: pictures of the program by name, or files.
enum class TPGTrayIconAnimationOptions
{
    aoIconsInExe,
    aoIconsAreFiles,
};

// The component's events. Sender is the component; mouse events carry the keys and
// buttons held down and the cursor's last position on the icon, in screen coordinates.
using NotifyEvent = std::function<void(QObject& sender)>;
using MouseMoveEvent = std::function<void(QObject& sender, ShiftState shift, int x, int y)>;
// May change the state about to be set; it must not set the state itself.
using TPGTrayIconStateChangingEvent = std::function<void(QObject& sender, TPGTrayIconState& newState)>;

} // namespace sarvendo
