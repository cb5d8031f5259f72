// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PlatformInfo.h"

namespace sarvendo::fakes {

class FakePlatformInfo final : public PlatformInfo
{
public:
    PlatformFamily Family() const override { return family; }

    PlatformFamily family = PlatformFamily::Supported;
};

} // namespace sarvendo::fakes
