// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace sarvendo {

// The desktop's clipboard: SetText replaces its content with plain text.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void SetText(const std::string& text) = 0;
};

} // namespace sarvendo
