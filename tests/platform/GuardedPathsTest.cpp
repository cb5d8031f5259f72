// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/GuardedPaths.h"

#include "fakes/FakeFileCalls.h"
#include "fakes/TempDir.h"
#include "platform/linux/LinuxLogFiles.h"
#include "platform/linux/PosixTextFiles.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

using fakes::FakeFileCalls;
using fakes::TempDir;

constexpr uid_t kStranger = 1234;

// Every way a path the user names can lead somewhere it must not: the logs, their side
// files and the settings file each refuse it with the reason, touch no device and change
// nothing.
TEST(GuardedPaths, APathThatLeadsToADeviceOrThroughAStrangersLinkIsRefusedUnopened)
{
    struct Case
    {
        const char* what;
        std::function<std::string(TempDir&, FakeFileCalls&)> make; // returns the path to use
        const char* reason;
    };
    const Case cases[] = {
        {"a link to a tty",
         [](TempDir& dir, FakeFileCalls& calls) {
             TempDir::Write(dir.File("ttyS0"), "");
             calls.PlayKind(dir.File("ttyS0"), S_IFCHR);
             EXPECT_EQ(::symlink("ttyS0", dir.File("log").c_str()), 0);
             return dir.File("log");
         },
         "ttyS0 is a character device, not a regular file"},
        {"a FIFO",
         [](TempDir& dir, FakeFileCalls&) {
             EXPECT_EQ(::mkfifo(dir.File("log").c_str(), 0600), 0);
             return dir.File("log");
         },
         "it is a FIFO, not a regular file"},
        {"a stranger's link to a file",
         [](TempDir& dir, FakeFileCalls& calls) {
             TempDir::Write(dir.File("root-only"), "");
             EXPECT_EQ(::symlink("root-only", dir.File("log").c_str()), 0);
             calls.PlayOwner(dir.File("log"), kStranger);
             return dir.File("log");
         },
         "log belongs to user 1234, neither to you nor to root, so it is not followed"},
        {"a stranger's link as a folder on the way",
         [](TempDir& dir, FakeFileCalls& calls) {
             EXPECT_EQ(::mkdir(dir.File("elsewhere").c_str(), 0700), 0);
             TempDir::Write(dir.File("elsewhere/log"), "");
             EXPECT_EQ(::symlink("elsewhere", dir.File("logs").c_str()), 0);
             calls.PlayOwner(dir.File("logs"), kStranger);
             return dir.File("logs/log");
         },
         "logs belongs to user 1234"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        FakeFileCalls calls;
        const std::string path = c.make(dir, calls);
        LinuxLogFiles logs(calls);
        const PosixTextFiles settings(calls);

        EXPECT_NE(logs.Append(path, "Call\r\n").failure.find(c.reason), std::string::npos)
            << logs.Append(path, "Call\r\n").failure;
        EXPECT_EQ(logs.LastLineLength(path), 0U);
        EXPECT_FALSE(logs.HoldsAt(path, 0, ""));
        EXPECT_EQ(logs.SizeOf(path), std::nullopt);
        const SideFileContent side = logs.ReadSideFile(path);
        EXPECT_EQ(side.status, SideFileContent::Status::Unreadable);
        EXPECT_NE(side.problem.find(c.reason), std::string::npos) << side.problem;
        EXPECT_NE(logs.ReplaceSideFile(path, "held").find(c.reason), std::string::npos);

        const TextFileContent read = settings.Read(path);
        EXPECT_EQ(read.status, TextFileContent::Status::Unreadable);
        EXPECT_NE(read.problem.find(c.reason), std::string::npos) << read.problem;
        const TextFileSave saved = settings.Replace(path, "[A]\r\n");
        EXPECT_NE(saved.problem.find(c.reason), std::string::npos) << saved.problem;

        EXPECT_EQ(calls.deviceOpens, 0);
        for (const char* name : {"ttyS0", "root-only", "elsewhere/log"}) {
            EXPECT_EQ(TempDir::Read(dir.File(name)), "") << name;
        }
    }
}

// Links of the user's own and root's are followed, in a folder on the way as at the end,
// and a save replaces the file at the end of the chain, leaving the links.
TEST(GuardedPaths, LinksOfTheUserAndOfRootAreFollowed)
{
    TempDir dir;
    FakeFileCalls calls;
    calls.user = 1000;
    ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0700), 0);
    TempDir::Write(dir.File("real/SARVENDO.INI"), "[A]\r\nk=1\r\n");
    ASSERT_EQ(::symlink("real", dir.File("home").c_str()), 0);
    ASSERT_EQ(::symlink("SARVENDO.INI", dir.File("real/settings").c_str()), 0);
    calls.PlayOwner(dir.File("home"), 0);
    calls.PlayOwner(dir.File("real/settings"), 1000);
    const std::string path = dir.File("home/settings");

    const PosixTextFiles settings(calls);
    EXPECT_EQ(settings.Read(path).text, "[A]\r\nk=1\r\n");
    EXPECT_TRUE(settings.Replace(path, "[A]\r\nk=2\r\n"));
    EXPECT_EQ(TempDir::Read(dir.File("real/SARVENDO.INI")), "[A]\r\nk=2\r\n");
    struct stat info
    {
    };
    ASSERT_EQ(::lstat(dir.File("real/settings").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));

    LinuxLogFiles logs(calls);
    EXPECT_EQ(logs.Append(dir.File("home/Sarvendo.RI"), "Call\r\n").failure, "");
    EXPECT_EQ(TempDir::Read(dir.File("real/Sarvendo.RI")), "Call\r\n");
}

// A settings file its owner made read-only, or one in a folder that may not be written, is
// read and never replaced, and says why.
TEST(GuardedPaths, AReadOnlySettingsFileIsReadAndNeverReplaced)
{
    TempDir dir;
    const PosixTextFiles settings;
    const std::string path = dir.File("SARVENDO.INI");
    TempDir::Write(path, "[A]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const TextFileContent read = settings.Read(path);
    EXPECT_EQ(read.status, TextFileContent::Status::Read);
    EXPECT_EQ(read.readOnly, path + " is read-only (mode 0444)");
    TextFileSave saved = settings.Replace(path, "[A]\r\nk=2\r\n");
    EXPECT_TRUE(saved.readOnly);
    EXPECT_EQ(TempDir::Read(path), "[A]\r\nk=1\r\n");

    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_EQ(settings.Read(path).readOnly, "its folder " + dir.Path() + " may not be written");
    saved = settings.Replace(path, "[A]\r\nk=2\r\n");
    EXPECT_TRUE(saved.readOnly);
    EXPECT_EQ(TempDir::Read(path), "[A]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0700), 0);
    EXPECT_TRUE(settings.Replace(path, "[A]\r\nk=2\r\n"));
}

} // namespace
} // namespace sarvendo
