// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clipboard.h"

#include <string>
#include <vector>

namespace sarvendo::fakes {

// Keeps every text put on it, the last one being the content.
class FakeClipboard final : public Clipboard
{
public:
    void SetText(const std::string& text) override { texts.push_back(text); }

    std::vector<std::string> texts;
};

} // namespace sarvendo::fakes
