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
