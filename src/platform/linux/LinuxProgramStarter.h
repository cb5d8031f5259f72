// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramStarter.h"

namespace sarvendo {

// Starts programs with posix_spawnp: the first argument is looked up on PATH, the rest
// are passed untouched. The child gets the default handling of the signals the program
// catches or ignores. A small thread per child waits for it, so a program that ends is
// collected at once and never lingers as a zombie.
class LinuxProgramStarter final : public ProgramStarter
{
public:
    bool Start(const std::vector<std::string>& arguments) override;
    bool CanFind(const std::string& program) const override;
};

} // namespace sarvendo
