// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowFlags.h"

#include <QWindow>

namespace sarvendo {

void SetWindowFlagInPlace(QWidget& window, Qt::WindowType flag, bool on)
{
    Qt::WindowFlags flags = window.windowFlags();
    if (flags.testFlag(flag) == on) {
        return;
    }
    flags.setFlag(flag, on);
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle()) {
        handle->setFlags(flags);
    }
}

} // namespace sarvendo
