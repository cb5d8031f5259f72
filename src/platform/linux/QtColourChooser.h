// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ColourChooser.h"

#include <memory>

class QColorDialog;

namespace sarvendo {

// The colour chooser as one QColorDialog, made at its first use and kept, so it
// remembers its custom colours between uses. It is shown modally over whatever modal
// window is up (the setup dialog).
class QtColourChooser final : public ColourChooser
{
public:
    QtColourChooser();
    ~QtColourChooser() override;

    std::optional<std::uint32_t> ChooseColour(std::uint32_t initial) override;

private:
    std::unique_ptr<QColorDialog> m_dialog;
};

} // namespace sarvendo
