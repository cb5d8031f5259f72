// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Directories.h"

#include <functional>
#include <optional>
#include <string>

namespace sarvendo {

// The program's directories on a Linux desktop: SARVENDO_HOME, when set, holds both the
// INI file and the logs (handy for tests and portable use); otherwise the XDG config and
// state directories do. The program file is the real executable.
class LinuxDirectories final : public Directories
{
public:
    using Environment = std::function<std::optional<std::string>(const char* name)>;

    // The environment is looked up through a function so tests need not touch the real one.
    explicit LinuxDirectories(Environment environment = SystemEnvironment(), std::string programFile = {});

    std::string WindowsDirectory() const override;
    std::string SystemDirectory() const override;
    std::string ProgramFile() const override;
    std::string ProgramDirectory() const override;
    std::string LogDirectory() const override;
    std::string SoundDirectory() const override;

    static Environment SystemEnvironment();

private:
    std::string XdgDirectory(const char* variable, const char* fallbackBelowHome) const;

    Environment m_environment;
    std::string m_programFile;
};

} // namespace sarvendo
