// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PlatformInfo.h"

namespace sarvendo {

// Linux is the family this program supports.
class LinuxPlatformInfo final : public PlatformInfo
{
public:
    PlatformFamily Family() const override { return PlatformFamily::Supported; }
};

} // namespace sarvendo
