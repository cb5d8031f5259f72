// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

// The desktop's default sound: the bell, through the application. Handed to the wave
// player as what to play when a file cannot be.
void QtBeep();

} // namespace sarvendo
