// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Screen.h"

namespace sarvendo {

// The primary screen as the running Qt application sees it; needs a QGuiApplication.
// Without any screen (a headless start) it reports 640 × 480 so placement stays sane.
class QtScreen final : public Screen
{
public:
    ScreenSize PrimaryScreenSize() const override;
};

} // namespace sarvendo
