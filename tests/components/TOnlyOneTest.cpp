// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/TOnlyOne.h"

#include "fakes/FakeInstanceMarkers.h"
#include "fakes/FakeTopLevelWindows.h"
#include "fakes/TempDir.h"
#include "platform/linux/LinuxInstanceMarkers.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sarvendo {
namespace {

using fakes::FakeInstanceMarkers;
using fakes::FakeTopLevelWindows;
using Outcome = TOnlyOne::Outcome;

// Two copies of the program: each its own process with its own markers, one desktop.
struct TwoCopies
{
    FakeInstanceMarkers firstProcess;
    FakeInstanceMarkers secondProcess{firstProcess.SharedRegistry()};
    FakeTopLevelWindows desktop;
};

TEST(TOnlyOneTest, SecondCopyBringsTheFirstToTheTopAndMustEnd)
{
    TwoCopies copies;
    TOnlyOne first(copies.firstProcess, copies.desktop);
    ASSERT_EQ(first.Loaded("Sarvendo"), Outcome::OnlyCopy);
    copies.desktop.windows = {{"Editor"}, {"Sarvendo"}};

    TOnlyOne second(copies.secondProcess, copies.desktop);
    EXPECT_EQ(second.Loaded("Sarvendo"), Outcome::AnotherCopyRunning);
    EXPECT_EQ(copies.desktop.windows[1].raised, 1);
    EXPECT_EQ(copies.desktop.windows[1].restored, 0);
    EXPECT_EQ(copies.desktop.windows[0].raised, 0);
}

TEST(TOnlyOneTest, MinimisedFirstCopyIsRestored)
{
    TwoCopies copies;
    TOnlyOne first(copies.firstProcess, copies.desktop);
    first.Loaded("Sarvendo");
    copies.desktop.windows = {{"Sarvendo", true}};

    TOnlyOne second(copies.secondProcess, copies.desktop);
    EXPECT_EQ(second.Loaded("Sarvendo"), Outcome::AnotherCopyRunning);
    EXPECT_EQ(copies.desktop.windows[0].restored, 1);
    EXPECT_EQ(copies.desktop.windows[0].raised, 0);
    EXPECT_FALSE(copies.desktop.windows[0].minimised);
}

TEST(TOnlyOneTest, NoWindowWithTheTitleStillEndsTheSecondCopy)
{
    TwoCopies copies;
    TOnlyOne first(copies.firstProcess, copies.desktop);
    first.Loaded("Sarvendo");
    copies.desktop.windows = {{"Sarvendo - other"}};
    TOnlyOne second(copies.secondProcess, copies.desktop);
    EXPECT_EQ(second.Loaded("Sarvendo"), Outcome::AnotherCopyRunning);
    EXPECT_EQ(copies.desktop.windows[0].raised + copies.desktop.windows[0].restored, 0);
}

TEST(TOnlyOneTest, TitlesSharingTwentyCharactersCountAsOneProgram)
{
    const std::string titleA = "Modem Lights Monitor A";
    const std::string titleB = "Modem Lights Monitor B";
    ASSERT_EQ(titleA.substr(0, 20), titleB.substr(0, 20));
    EXPECT_EQ(TOnlyOne::MarkerName(titleA), "OnlyOneModem Lights Monitor");

    TwoCopies copies;
    copies.desktop.windows = {{titleA}, {titleB}};
    TOnlyOne first(copies.firstProcess, copies.desktop);
    ASSERT_EQ(first.Loaded(titleA), Outcome::OnlyCopy);
    TOnlyOne second(copies.secondProcess, copies.desktop);
    EXPECT_EQ(second.Loaded(titleB), Outcome::AnotherCopyRunning);
    // The window looked for carries the full title.
    EXPECT_EQ(copies.desktop.windows[1].raised, 1);
    EXPECT_EQ(copies.desktop.windows[0].raised, 0);
}

TEST(TOnlyOneTest, MarkerIsGoneWhenTheFirstCopyEndsOrIsKilled)
{
    TwoCopies copies;
    {
        TOnlyOne first(copies.firstProcess, copies.desktop);
        first.Loaded("Sarvendo");
    }
    TOnlyOne afterOrderlyEnd(copies.secondProcess, copies.desktop);
    EXPECT_EQ(afterOrderlyEnd.Loaded("Sarvendo"), Outcome::OnlyCopy);

    // This copy now dies without any clean-up: its process's markers go with it.
    copies.secondProcess.Kill();
    FakeInstanceMarkers thirdProcess(copies.firstProcess.SharedRegistry());
    TOnlyOne third(thirdProcess, copies.desktop);
    EXPECT_EQ(third.Loaded("Sarvendo"), Outcome::OnlyCopy);
}

TEST(TOnlyOneTest, SwitchedOffDoesNothing)
{
    TwoCopies copies;
    TOnlyOne first(copies.firstProcess, copies.desktop);
    first.Loaded("Sarvendo");
    copies.desktop.windows = {{"Sarvendo"}};
    TOnlyOne second(copies.secondProcess, copies.desktop);
    second.SetEnforceOnlyOne(false);
    EXPECT_EQ(second.Loaded("Sarvendo"), Outcome::OnlyCopy);
    EXPECT_EQ(copies.desktop.windows[0].raised, 0);
    EXPECT_EQ(copies.firstProcess.SharedRegistry()->at("OnlyOneSarvendo"), &copies.firstProcess);
}

// The real markers: flock on a lock file, held by the process.
class LinuxInstanceMarkersTest : public ::testing::Test
{
protected:
    fakes::TempDir dir;
};

TEST_F(LinuxInstanceMarkersTest, OneHolderAtATimeAndReleaseFreesIt)
{
    LinuxInstanceMarkers first(dir.Path());
    LinuxInstanceMarkers second(dir.Path());
    EXPECT_TRUE(first.Hold("OnlyOneSarvendo"));
    EXPECT_TRUE(first.Hold("OnlyOneSarvendo")); // holding twice is still holding
    EXPECT_FALSE(second.Hold("OnlyOneSarvendo"));
    EXPECT_TRUE(second.Hold("OnlyOneOther"));
    first.Release("OnlyOneSarvendo");
    EXPECT_TRUE(second.Hold("OnlyOneSarvendo"));
}

TEST_F(LinuxInstanceMarkersTest, NamesOfAnyTextStayInsideTheDirectory)
{
    LinuxInstanceMarkers markers(dir.Path());
    const std::string path = markers.LockFilePath("OnlyOne../../etc/x y\n");
    EXPECT_EQ(std::filesystem::path(path).parent_path(), std::filesystem::path(dir.Path()));
    EXPECT_TRUE(markers.Hold("OnlyOne../../etc/x y\n"));
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(LinuxInstanceMarkersTest, WithoutARuntimeDirectoryTheLockLivesInAPrivateOne)
{
    const std::string own = dir.File("sarvendo-" + std::to_string(getuid()));
    const auto mode = [](const std::string& path) {
        struct stat info
        {
        };
        return lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0U;
    };
    // Made when missing, for the user alone; an open one of the user's is closed again.
    EXPECT_EQ(LinuxInstanceMarkers::PrivateDirectory(dir.Path()), own);
    EXPECT_EQ(mode(own), 0700U);
    chmod(own.c_str(), 0777);
    EXPECT_EQ(LinuxInstanceMarkers::PrivateDirectory(dir.Path()), own);
    EXPECT_EQ(mode(own), 0700U);

    // Taken by a link or a file, as another user could do in /tmp first: refused.
    std::filesystem::remove(own);
    std::filesystem::create_directory(dir.File("elsewhere"));
    std::filesystem::create_directory_symlink(dir.File("elsewhere"), own);
    EXPECT_EQ(LinuxInstanceMarkers::PrivateDirectory(dir.Path()), "");
    std::filesystem::remove(own);
    fakes::TempDir::Write(own, "");
    EXPECT_EQ(LinuxInstanceMarkers::PrivateDirectory(dir.Path()), "");
    std::filesystem::remove(own);

    if (getuid() == 0) {
        // Another user's directory of that name (and a lock file of another user's) is
        // never trusted.
        std::filesystem::create_directory(own);
        ASSERT_EQ(chown(own.c_str(), 65534, 65534), 0);
        EXPECT_EQ(LinuxInstanceMarkers::PrivateDirectory(dir.Path()), "");
        std::filesystem::remove(own);

        LinuxInstanceMarkers markers(dir.Path());
        const std::string lock = markers.LockFilePath("OnlyOneSarvendo");
        fakes::TempDir::Write(lock, "");
        ASSERT_EQ(chown(lock.c_str(), 65534, 65534), 0);
        LinuxInstanceMarkers other(dir.Path());
        EXPECT_TRUE(markers.Hold("OnlyOneSarvendo"));
        EXPECT_TRUE(other.Hold("OnlyOneSarvendo")) << "a stranger's lock file must not decide";
    }
}

TEST_F(LinuxInstanceMarkersTest, KilledHolderLeavesNothingBehind)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LinuxInstanceMarkers markers(dir.Path());
        const char answer = markers.Hold("OnlyOneSarvendo") ? 'y' : 'n';
        (void)!write(ready[1], &answer, 1);
        pause(); // until killed
        _exit(0);
    }
    close(ready[1]);
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    close(ready[0]);
    ASSERT_EQ(answer, 'y');

    LinuxInstanceMarkers parent(dir.Path());
    EXPECT_FALSE(parent.Hold("OnlyOneSarvendo"));

    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(parent.Hold("OnlyOneSarvendo"));
}

TEST_F(LinuxInstanceMarkersTest, UnusableDirectoryDoesNotKeepTheProgramFromStarting)
{
    LinuxInstanceMarkers markers(dir.File("no/such/dir"));
    EXPECT_TRUE(markers.Hold("OnlyOneSarvendo"));
}

} // namespace
} // namespace sarvendo
