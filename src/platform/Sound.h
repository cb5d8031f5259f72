// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace sarvendo {

// The program's sounds. PlayWave returns only when the sound has played; a file that
// cannot be played gives the default sound instead. Beep is the desktop's default beep.
class Sound
{
public:
    virtual ~Sound() = default;
    virtual void PlayWave(const std::string& path) = 0;
    virtual void Beep() = 0;
};

} // namespace sarvendo
