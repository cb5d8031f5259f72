// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace sarvendo {

// The desktop's colour chooser, one shared dialog for every caller. Colours are given
// and returned as the settings file stores them: red in the low byte, then green, then
// blue. ChooseColour opens the chooser preset to the given colour and returns the
// colour the user took, or nothing when the user cancelled.
class ColourChooser
{
public:
    virtual ~ColourChooser() = default;
    virtual std::optional<std::uint32_t> ChooseColour(std::uint32_t initial) = 0;
};

} // namespace sarvendo
