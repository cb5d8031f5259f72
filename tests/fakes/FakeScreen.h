#pragma once

#include "platform/Screen.h"

namespace sarvendo::fakes {

class FakeScreen final : public Screen
{
public:
    explicit FakeScreen(ScreenSize size = {1024, 768}) : size(size) {}
    ScreenSize PrimaryScreenSize() const override { return size; }

    ScreenSize size;
};

} // namespace sarvendo::fakes
