// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace sarvendo {

enum class PlatformFamily
{
    Supported, // the family the program was written for
    Other,
};

// Which family of operating system the program runs on. The program refuses to start
// on any family but the supported one; the Linux layer always reports the supported
// family, so only a test double ever takes the refusal path.
class PlatformInfo
{
public:
    virtual ~PlatformInfo() = default;
    virtual PlatformFamily Family() const = 0;
};

} // namespace sarvendo
