#pragma once

#include "platform/ProgramStarter.h"

#include <sys/types.h>
#include <vector>

namespace sarvendo {

// Starts programs with posix_spawnp: the first argument is looked up on PATH, the rest
// are passed untouched. The child gets the default handling of the signals the program
// catches or ignores. Children that have ended are collected at the next start, so
// none lingers for long as a zombie.
class LinuxProgramStarter final : public ProgramStarter
{
public:
    bool Start(const std::vector<std::string>& arguments) override;

private:
    void CollectEnded();

    std::vector<pid_t> m_children;
};

} // namespace sarvendo
