#include "platform/linux/LinuxLogFiles.h"

#include "fakes/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace sarvendo {
namespace {

TEST(LinuxLogFiles, LastLineLengthFollowsLineByLineReading)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    const std::string path = dir.File("Sarvendo.DCD");
    EXPECT_EQ(files.LastLineLength(path), std::nullopt);
    const std::pair<std::string, std::size_t> cases[] = {
        {"", 0},
        {"abc", 3},
        {"abc\r\n", 3},
        {"first line\r\nde", 2},
        {"first line\r\n\r\n", 0},
        {"unix\nends\n", 4},
        {"old\rmac", 3},
        {std::string(200'000, 'x'), 200'000},
    };
    for (const auto& [content, length] : cases) {
        fakes::TempDir::Write(path, content);
        EXPECT_EQ(files.LastLineLength(path), length) << content.substr(0, 20);
    }
}

TEST(LinuxLogFiles, AppendCreatesThenAppendsExactBytes)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    const std::string path = dir.File("Sarvendo.RI");
    EXPECT_EQ(files.Append(path, "Call: 1\r\n"), "");
    EXPECT_EQ(files.Append(path, "Call: 2\r\n"), "");
    EXPECT_EQ(fakes::TempDir::Read(path), "Call: 1\r\nCall: 2\r\n");
}

TEST(LinuxLogFiles, AMissingLogDirectoryIsCreatedForTheUserAlone)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    const auto modeOf = [](const std::string& path) {
        struct stat status
        {
        };
        return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0U;
    };
    // As on a first run without SARVENDO_HOME: neither ~/.local/state nor its sarvendo
    // folder exists yet.
    const std::string log = dir.File("state/sarvendo/Sarvendo.RI");
    EXPECT_EQ(files.Append(log, "Call: 1\r\n"), "");
    EXPECT_EQ(fakes::TempDir::Read(log), "Call: 1\r\n");
    EXPECT_EQ(modeOf(dir.File("state/sarvendo")), 0700U);
    EXPECT_EQ(modeOf(dir.File("state")), 0700U);

    // A directory that already exists keeps the mode its owner gave it.
    ASSERT_EQ(::mkdir(dir.File("shared").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dir.File("shared").c_str(), 0755), 0);
    EXPECT_EQ(files.Append(dir.File("shared/Sarvendo.DCD"), "x"), "");
    EXPECT_EQ(modeOf(dir.File("shared")), 0755U);
}

TEST(LinuxLogFiles, FailuresAreReportedAndChangeNothing)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    // A file where the log directory should be.
    fakes::TempDir::Write(dir.File("state"), "not a directory");
    EXPECT_NE(files.Append(dir.File("state/Sarvendo.RI"), "x"), "");
    EXPECT_EQ(fakes::TempDir::Read(dir.File("state")), "not a directory");
    // A directory where the log should be.
    EXPECT_NE(files.Append(dir.Path(), "x"), "");
    EXPECT_EQ(files.LastLineLength(dir.Path()), 0U);
}

TEST(LinuxLogFiles, FullDeviceLeavesTheFileAsItWas)
{
    // /dev/full refuses every write, as a full disk does; it is no regular file, so the
    // append is refused before anything is written.
    LinuxLogFiles files;
    EXPECT_NE(files.Append("/dev/full", "Call: 1\r\n"), "");
}

} // namespace
} // namespace sarvendo
