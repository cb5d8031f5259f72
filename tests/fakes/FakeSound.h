// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Sound.h"

#include <string>
#include <vector>

namespace sarvendo::fakes {

// Records what was played, in order: a path for a wave, "<beep>" for the beep.
class FakeSound final : public Sound
{
public:
    void PlayWave(const std::string& path) override { played.push_back(path); }
    void Beep() override { played.emplace_back("<beep>"); }

    std::vector<std::string> played;
};

} // namespace sarvendo::fakes
