// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/UrlOpener.h"

#include <string>
#include <vector>

namespace sarvendo::fakes {

// Notes every target it is asked to open.
class FakeUrlOpener final : public UrlOpener
{
public:
    bool Open(const std::string& target) override
    {
        opened.push_back(target);
        return succeed;
    }

    std::vector<std::string> opened;
    bool succeed = true;
};

} // namespace sarvendo::fakes
