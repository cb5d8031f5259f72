// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxDirectories.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace sarvendo {
namespace {

std::string ReadProgramFile()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return "sarvendo";
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

} // namespace

LinuxDirectories::LinuxDirectories(Environment environment, std::string programFile)
    : m_environment(std::move(environment)),
      m_programFile(programFile.empty() ? ReadProgramFile() : std::move(programFile))
{
}

LinuxDirectories::Environment LinuxDirectories::SystemEnvironment()
{
    return [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr) {
            return std::nullopt;
        }
        return std::string(value);
    };
}

std::string LinuxDirectories::XdgDirectory(const char* variable, const char* fallbackBelowHome) const
{
    if (auto home = m_environment("SARVENDO_HOME"); home && !home->empty()) {
        return *home;
    }
    if (auto base = m_environment(variable); base && !base->empty() && base->front() == '/') {
        return *base + "/sarvendo";
    }
    std::string home;
    if (auto value = m_environment("HOME"); value && !value->empty()) {
        home = *value;
    } else if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        home = entry->pw_dir;
    } else {
        home = "/tmp";
    }
    return home + "/" + fallbackBelowHome + "/sarvendo";
}

std::string LinuxDirectories::WindowsDirectory() const
{
    return XdgDirectory("XDG_CONFIG_HOME", ".config");
}

std::string LinuxDirectories::SystemDirectory() const
{
    return "/usr/sbin";
}

std::string LinuxDirectories::ProgramFile() const
{
    return m_programFile;
}

std::string LinuxDirectories::ProgramDirectory() const
{
    const auto slash = m_programFile.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : m_programFile.substr(0, slash);
}

std::string LinuxDirectories::LogDirectory() const
{
    return XdgDirectory("XDG_STATE_HOME", ".local/state");
}

std::string LinuxDirectories::SoundDirectory() const
{
    return "/usr/share/sounds";
}

} // namespace sarvendo
