// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramStarter.h"

#include <algorithm>
#include <string>
#include <vector>

namespace sarvendo::fakes {

// Records every argument vector it is asked to start; fails when told to.
class FakeProgramStarter final : public ProgramStarter
{
public:
    bool Start(const std::vector<std::string>& arguments) override
    {
        started.push_back(arguments);
        return succeed;
    }

    bool CanFind(const std::string& program) const override
    {
        return std::find(findable.begin(), findable.end(), program) != findable.end();
    }

    std::vector<std::vector<std::string>> started;
    bool succeed = true;
    std::vector<std::string> findable; // the programs CanFind finds
};

} // namespace sarvendo::fakes
