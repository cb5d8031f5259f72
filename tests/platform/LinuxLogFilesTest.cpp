// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxLogFiles.h"

#include "fakes/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarvendo {
namespace {

unsigned ModeOf(const std::string& path)
{
    struct stat status
    {
    };
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0U;
}

// Sets or clears a file's append-only attribute, under which it can grow but never be cut
// back; false where the file system or the user's rights do not allow it.
bool SetAppendOnly(const std::string& path, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_APPEND_FL : flags & ~FS_APPEND_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

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
    EXPECT_EQ(files.Append(path, "Call: 1\r\n").failure, "");
    EXPECT_EQ(files.Append(path, "Call: 2\r\n").failure, "");
    EXPECT_EQ(fakes::TempDir::Read(path), "Call: 1\r\nCall: 2\r\n");
}

TEST(LinuxLogFiles, AMissingLogDirectoryIsCreatedForTheUserAlone)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    const auto modeOf = ModeOf;
    // As on a first run without SARVENDO_HOME: neither ~/.local/state nor its sarvendo
    // folder exists yet.
    const std::string log = dir.File("state/sarvendo/Sarvendo.RI");
    EXPECT_EQ(files.Append(log, "Call: 1\r\n").failure, "");
    EXPECT_EQ(fakes::TempDir::Read(log), "Call: 1\r\n");
    EXPECT_EQ(modeOf(dir.File("state/sarvendo")), 0700U);
    EXPECT_EQ(modeOf(dir.File("state")), 0700U);

    // A directory that already exists keeps the mode its owner gave it.
    ASSERT_EQ(::mkdir(dir.File("shared").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dir.File("shared").c_str(), 0755), 0);
    EXPECT_EQ(files.Append(dir.File("shared/Sarvendo.DCD"), "x").failure, "");
    EXPECT_EQ(modeOf(dir.File("shared")), 0755U);
}

TEST(LinuxLogFiles, FailuresAreReportedAndChangeNothing)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    // A file where the log directory should be.
    fakes::TempDir::Write(dir.File("state"), "not a directory");
    EXPECT_NE(files.Append(dir.File("state/Sarvendo.RI"), "x").failure, "");
    EXPECT_EQ(fakes::TempDir::Read(dir.File("state")), "not a directory");
    // A directory where the log should be.
    EXPECT_NE(files.Append(dir.Path(), "x").failure, "");
    EXPECT_EQ(files.LastLineLength(dir.Path()), 0U);
}

TEST(LinuxLogFiles, FullDeviceLeavesTheFileAsItWas)
{
    // /dev/full refuses every write, as a full disk does; it is no regular file, so the
    // append is refused before anything is written.
    LinuxLogFiles files;
    EXPECT_NE(files.Append("/dev/full", "Call: 1\r\n").failure, "");
}

TEST(LinuxLogFiles, AFailedAppendIsTakenBackOrSaysWhatStayed)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    const std::string path = dir.File("Sarvendo.RI");
    const std::string first = "Call: 1\r\n";
    const std::string record = "Call: 2, cut off by a full disk\r\n";
    ASSERT_EQ(files.Append(path, first).failure, "");
    // A limit on the file's size lets ten bytes of the record through and then fails the
    // write, as a full disk does; the second time the file may only grow.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit unlimited{};
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit limit{first.size() + 10, unlimited.rlim_max};
    for (const bool appendOnly : {false, true}) {
        SCOPED_TRACE(appendOnly ? "append-only" : "ordinary file");
        if (appendOnly && !SetAppendOnly(path, true)) {
            GTEST_SKIP() << "the append-only attribute cannot be set here";
        }
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const AppendResult result = files.Append(path, record);
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        SetAppendOnly(path, false);
        EXPECT_NE(result.failure, "");
        EXPECT_EQ(result.bytesInFile, appendOnly ? 10U : 0U);
        EXPECT_EQ(fakes::TempDir::Read(path), first + record.substr(0, result.bytesInFile));
    }
}

TEST(LinuxLogFiles, SideFilesAreReplacedWholeForTheUserAloneAndRemoved)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    const std::string path = dir.File("state/sarvendo/Sarvendo.RI.held");
    EXPECT_EQ(files.ReadSideFile(path).status, SideFileContent::Status::Missing);
    EXPECT_EQ(files.RemoveSideFile(path), "");
    const mode_t umask = ::umask(0);
    EXPECT_EQ(files.ReplaceSideFile(path, "a longer first set of records"), "");
    ::umask(umask);
    EXPECT_EQ(ModeOf(path), 0600U);
    EXPECT_EQ(ModeOf(dir.File("state/sarvendo")), 0700U);
    ASSERT_EQ(files.ReplaceSideFile(path, "second"), "");
    EXPECT_EQ(files.ReadSideFile(path).text, "second");
    const auto entries = std::distance(std::filesystem::directory_iterator(dir.File("state/sarvendo")), {});
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
    EXPECT_EQ(files.RemoveSideFile(path), "");
    EXPECT_EQ(files.ReadSideFile(path).status, SideFileContent::Status::Missing);

    // A run killed while it wrote the side file left its temporary; the next one clears
    // it, but not the temporary of a run still writing.
    const std::string killed = dir.File("state/sarvendo/.Sarvendo.RI.held.2147483646.0.tmp");
    const std::string running = dir.File("state/sarvendo/.Sarvendo.RI.held." + std::to_string(::getpid()) + ".99.tmp");
    fakes::TempDir::Write(killed, "half a side fi");
    fakes::TempDir::Write(running, "being written");
    ASSERT_EQ(files.ReplaceSideFile(path, "third"), "");
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_TRUE(std::filesystem::exists(running));
}

TEST(LinuxLogFiles, WhatIsNoSideFileIsNeitherReadNorReplaced)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    ASSERT_EQ(::mkdir(dir.File("directory").c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    fakes::TempDir::Write(dir.File("huge"), "");
    std::filesystem::resize_file(dir.File("huge"), 17 * 1024 * 1024);
    for (const char* name : {"directory", "fifo", "huge"}) {
        const SideFileContent content = files.ReadSideFile(dir.File(name));
        EXPECT_EQ(content.status, SideFileContent::Status::Unreadable) << name;
        EXPECT_NE(content.problem, "") << name;
    }
    EXPECT_NE(files.ReplaceSideFile(dir.File("directory"), "records"), "");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("directory")));
    // Below a file where a directory should be there is no side file, and none can be made.
    EXPECT_EQ(files.ReadSideFile(dir.File("huge/Sarvendo.RI.held")).status, SideFileContent::Status::Missing);
    EXPECT_NE(files.ReplaceSideFile(dir.File("huge/Sarvendo.RI.held"), "records"), "");
}

TEST(LinuxLogFiles, HoldsAtComparesTheBytesFromAnOffset)
{
    fakes::TempDir dir;
    LinuxLogFiles files;
    const std::string path = dir.File("Sarvendo.RI");
    EXPECT_FALSE(files.SizeOf(path).has_value());
    EXPECT_FALSE(files.HoldsAt(path, 0, ""));
    fakes::TempDir::Write(path, "Call: 1\r\nCall: 2\r\n");
    EXPECT_EQ(files.SizeOf(path), std::optional<std::uint64_t>(18));
    const std::tuple<std::uint64_t, const char*, bool> cases[] = {
        {0, "Call: 1\r\n", true}, {9, "Call: 2\r\n", true}, {9, "Call: 2\r\nmore", false}, {0, "Call: 2\r\n", false},
        {18, "", true},           {19, "", false},          {9, "Call: 1\r\n", false},
    };
    for (const auto& [offset, text, holds] : cases) {
        EXPECT_EQ(files.HoldsAt(path, offset, text), holds) << offset << " " << text;
    }
    EXPECT_FALSE(files.SizeOf(dir.Path()).has_value()) << "a directory has no size as a log";
}

} // namespace
} // namespace sarvendo
