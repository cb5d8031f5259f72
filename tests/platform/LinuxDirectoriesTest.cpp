// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxDirectories.h"

#include <gtest/gtest.h>
#include <map>

namespace sarvendo {
namespace {

LinuxDirectories::Environment EnvironmentOf(std::map<std::string, std::string> values)
{
    return [values](const char* name) -> std::optional<std::string> {
        const auto found = values.find(name);
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

TEST(LinuxDirectories, SarvendoHomeHoldsTheIniFileAndTheLogs)
{
    const LinuxDirectories directories(EnvironmentOf({{"SARVENDO_HOME", "/srv/modem"}, {"HOME", "/home/u"}}),
                                       "/opt/sarvendo/bin/sarvendo");
    EXPECT_EQ(directories.WindowsDirectory(), "/srv/modem");
    EXPECT_EQ(directories.LogDirectory(), "/srv/modem");
}

TEST(LinuxDirectories, XdgDirectoriesWhenNoHomeIsForced)
{
    const LinuxDirectories directories(
        EnvironmentOf({{"XDG_CONFIG_HOME", "/cfg"}, {"XDG_STATE_HOME", "/state"}, {"HOME", "/home/u"}}), "/x/s");
    EXPECT_EQ(directories.WindowsDirectory(), "/cfg/sarvendo");
    EXPECT_EQ(directories.LogDirectory(), "/state/sarvendo");
}

TEST(LinuxDirectories, FallsBackBelowHomeAndIgnoresRelativeXdgPaths)
{
    const LinuxDirectories directories(EnvironmentOf({{"XDG_CONFIG_HOME", "relative"}, {"HOME", "/home/u"}}), "/x/s");
    EXPECT_EQ(directories.WindowsDirectory(), "/home/u/.config/sarvendo");
    EXPECT_EQ(directories.LogDirectory(), "/home/u/.local/state/sarvendo");
}

TEST(LinuxDirectories, ProgramFileAndItsDirectory)
{
    const LinuxDirectories directories(EnvironmentOf({}), "/opt/sarvendo/bin/sarvendo");
    EXPECT_EQ(directories.ProgramFile(), "/opt/sarvendo/bin/sarvendo");
    EXPECT_EQ(directories.ProgramDirectory(), "/opt/sarvendo/bin");
    EXPECT_EQ(directories.SystemDirectory(), "/usr/sbin");
    EXPECT_EQ(directories.SoundDirectory(), "/usr/share/sounds");
}

TEST(LinuxDirectories, RealProgramFileIsThisExecutable)
{
    const LinuxDirectories directories;
    EXPECT_NE(directories.ProgramFile().find("sarvendo_platform_system_tests"), std::string::npos);
}

} // namespace
} // namespace sarvendo
