#include "platform/linux/LinuxLogFiles.h"

#include "fakes/TempDir.h"

#include <gtest/gtest.h>

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

TEST(LinuxLogFiles, FailuresAreReportedAndChangeNothing)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    EXPECT_NE(files.Append(dir.File("missing/Sarvendo.RI"), "x"), "");
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
