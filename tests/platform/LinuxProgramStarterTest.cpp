// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxProgramStarter.h"

#include "fakes/TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace sarvendo {
namespace {

bool AppearsWithin(const std::string& path, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (std::filesystem::exists(path)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::filesystem::exists(path);
}

TEST(LinuxProgramStarterTest, ArgumentsReachTheProgramUntouched)
{
    fakes::TempDir dir;
    LinuxProgramStarter starter;
    // Blanks, quotes and shell syntax stay inside the one argument: no shell splits them.
    const std::string name = dir.File("a b; touch \"$(x)\" `y` *");
    ASSERT_TRUE(starter.Start({"touch", name})); // found on PATH
    EXPECT_TRUE(AppearsWithin(name, std::chrono::seconds(10)));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(LinuxProgramStarterTest, AProgramThatEndsIsCollectedAtOnceNotLeftAZombie)
{
    fakes::TempDir dir;
    LinuxProgramStarter starter;
    const std::string pidFile = dir.File("pid");
    ASSERT_TRUE(starter.Start({"sh", "-c", "echo $$ >\"$0.tmp\" && mv \"$0.tmp\" \"$0\"", pidFile}));
    ASSERT_TRUE(AppearsWithin(pidFile, std::chrono::seconds(10)));
    const std::string proc = "/proc/" + std::to_string(std::stoi(fakes::TempDir::Read(pidFile)));
    // Nothing else is started: the child must be gone from the process table by itself.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::filesystem::exists(proc) && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(std::filesystem::exists(proc)) << fakes::TempDir::Read(proc + "/stat");
}

TEST(LinuxProgramStarterTest, ProgramsAreFoundWhereStartLooksForThem)
{
    fakes::TempDir dir;
    LinuxProgramStarter starter;
    EXPECT_TRUE(starter.CanFind("sh"));
    EXPECT_TRUE(starter.CanFind("/bin/sh"));
    EXPECT_FALSE(starter.CanFind("sarvendo-no-such-program-on-path"));
    EXPECT_FALSE(starter.CanFind(""));
    // A file that may not be run, and a directory, are not programs.
    fakes::TempDir::Write(dir.File("lights!.exe"), "#!/bin/sh\n");
    EXPECT_FALSE(starter.CanFind(dir.File("lights!.exe")));
    std::filesystem::permissions(dir.File("lights!.exe"), std::filesystem::perms::owner_all);
    EXPECT_TRUE(starter.CanFind(dir.File("lights!.exe")));
    EXPECT_FALSE(starter.CanFind(dir.Path()));
}

TEST(LinuxProgramStarterTest, ProgramsThatCannotStartAreReported)
{
    LinuxProgramStarter starter;
    EXPECT_FALSE(starter.Start({}));
    EXPECT_FALSE(starter.Start({""}));
    EXPECT_FALSE(starter.Start({"/nonexistent/program"}));
    EXPECT_FALSE(starter.Start({"sarvendo-no-such-program-on-path"}));
}

} // namespace
} // namespace sarvendo
