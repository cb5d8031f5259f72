// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Directories.h"

#include <string>

namespace sarvendo::fakes {

// Every directory set by the test, by default all inside one root directory.
class FakeDirectories final : public Directories
{
public:
    explicit FakeDirectories(std::string root = "/nonexistent")
        : windows(root), system(root + "/sbin"), programFile(root + "/bin/sarvendo"), log(root), sound(root + "/sounds")
    {
    }

    std::string WindowsDirectory() const override { return windows; }
    std::string SystemDirectory() const override { return system; }
    std::string ProgramFile() const override { return programFile; }
    std::string ProgramDirectory() const override { return programFile.substr(0, programFile.rfind('/')); }
    std::string LogDirectory() const override { return log; }
    std::string SoundDirectory() const override { return sound; }

    std::string windows;
    std::string system;
    std::string programFile;
    std::string log;
    std::string sound;
};

} // namespace sarvendo::fakes
