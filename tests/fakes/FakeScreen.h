// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Screen.h"

namespace sarvendo::fakes {

class FakeScreen final : public Screen
{
public:
    explicit FakeScreen(ScreenSize screenSize = {1024, 768}) : size(screenSize) {}
    ScreenSize PrimaryScreenSize() const override { return size; }

    ScreenSize size;
};

} // namespace sarvendo::fakes
