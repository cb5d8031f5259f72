// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace sarvendo {

// Sets or clears one window flag on the window as it is: making the native window anew
// would move it by its frame.
void SetWindowFlagInPlace(QWidget& window, Qt::WindowType flag, bool on);

} // namespace sarvendo
