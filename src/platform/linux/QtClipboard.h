// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clipboard.h"

namespace sarvendo {

// The application's clipboard through QClipboard.
class QtClipboard final : public Clipboard
{
public:
    void SetText(const std::string& text) override;
};

} // namespace sarvendo
