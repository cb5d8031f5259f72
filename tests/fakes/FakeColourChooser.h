// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ColourChooser.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace sarvendo::fakes {

// Notes the colour each opening was preset to and answers with `answer` (nothing: the
// user cancelled).
class FakeColourChooser final : public ColourChooser
{
public:
    std::optional<std::uint32_t> ChooseColour(std::uint32_t initial) override
    {
        presets.push_back(initial);
        return answer;
    }

    std::vector<std::uint32_t> presets;
    std::optional<std::uint32_t> answer;
};

} // namespace sarvendo::fakes
