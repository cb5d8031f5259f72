#pragma once

#include "platform/ProgramStarter.h"

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

    std::vector<std::vector<std::string>> started;
    bool succeed = true;
};

} // namespace sarvendo::fakes
