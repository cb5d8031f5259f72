// SPDX-License-Identifier: GPL-3.0-or-later
// The main window wired to the real line session, poll cycle and engine adapters, with
// only the platform faked: what start-up, ticks and shutdown do to the line.
#include "core/IniFile.h"
#include "core/Settings.h"

#include "app/TMainWindow.h"
#include "fakes/FakeCaptionOverlay.h"
#include "fakes/FakeClipboard.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeColourChooser.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeFileChooser.h"
#include "fakes/FakeForegroundWindow.h"
#include "fakes/FakeLinePlatform.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeNotificationArea.h"
#include "fakes/FakePlatformInfo.h"
#include "fakes/FakeProgramStarter.h"
#include "fakes/FakeScreen.h"
#include "fakes/FakeSound.h"
#include "fakes/FakeTimerSource.h"
#include "fakes/FakeTrayOwnerWindow.h"
#include "fakes/FakeUrlOpener.h"
#include "fakes/TempDir.h"
#include "line/LineSession.h"
#include "platform/StatusDriverDevice.h"
#include "platform/linux/PosixLogFileActions.h"
#include "platform/linux/PosixTextFiles.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

const PosixTextFiles kFiles;

using fakes::TempDir;

class ProgramWiringTest : public ::testing::Test
{
protected:
    ProgramWiringTest()
    {
        directories.windows = dir.Path();
        directories.programFile = dir.File("bin/sarvendo");
        directories.system = dir.File("sbin");
        line.statusDriver.openAnyPath = true;
        line.statusDriver.Answer(kHookComm, 0);
        for (int port = 1; port <= 4; ++port) {
            line.serialDevices.Add(port);
        }
    }

    TMainWindow::StartOutcome Start(const std::vector<std::string>& arguments = {})
    {
        TempDir::Write(dir.File("SARVENDO.INI"), ini);
        return window.FormCreate(IniFile::Load(kFiles, dir.File("SARVENDO.INI")), arguments);
    }

    void Tick()
    {
        clock.Advance(56);
        window.TimerTimer();
    }

    TempDir dir;
    std::string ini = "[Sarvendo: Main]\r\nShow Logo at Startup=0\r\n";
    Settings settings;
    fakes::FakeClock clock;
    fakes::FakeDirectories directories;
    fakes::FakeScreen screen;
    fakes::FakePlatformInfo platform;
    fakes::FakeMessageBoxes boxes;
    fakes::FakeSound sound;
    fakes::FakeProgramStarter programs;
    fakes::FakeLogFiles logFiles;
    fakes::FakeLinePlatform line;
    DateTimeFormats formats;
    LineSession session{settings, line.View(), clock, directories, boxes};
    fakes::FakeNotificationArea notificationArea;
    fakes::FakeTimerSource trayTimer{clock};
    fakes::FakeForegroundWindow foregroundWindow;
    fakes::FakeCaptionOverlay captionOverlay;
    fakes::FakeColourChooser colours;
    fakes::FakeFileChooser fileChooser;
    fakes::FakeUrlOpener urls;
    fakes::FakeClipboard clipboard;
    PosixLogFileActions logActions;
    TMainWindow window{MainWindowServices{
        settings,         directories,    kFiles,
        screen,           platform,       clock,
        formats,          boxes,          sound,
        programs,         logFiles,       session,
        notificationArea, trayTimer,      [](QWidget&) { return std::make_unique<fakes::FakeTrayOwnerWindow>(); },
        foregroundWindow, captionOverlay, colours,
        fileChooser,      urls,           clipboard,
        logActions}};
};

TEST_F(ProgramWiringTest, FirstStartTicksDoNothing)
{
    ini.clear();
    ASSERT_EQ(Start(), TMainWindow::StartOutcome::RunningWithoutPort);
    ASSERT_EQ(boxes.shown.size(), 1U); // the welcome, no driver warning
    line.statusDriver.ResetCounts();
    for (int i = 0; i < 20; ++i) {
        Tick();
    }
    EXPECT_TRUE(line.statusDriver.calls.empty());
    EXPECT_EQ(settings.LampCD, 0);
    window.close();
    EXPECT_EQ(TempDir::Read(dir.File("SARVENDO.INI")), "[Sarvendo: Main]\r\nShow Logo at Startup=1\r\n");
}

TEST_F(ProgramWiringTest, ConnectionSeenByTicksIsAddedToTheTotalOnceAtExit)
{
    ini += "[Sarvendo on COM2]\r\nWarn when Exiting=0\r\n";
    ASSERT_EQ(Start({"2"}), TMainWindow::StartOutcome::Running);
    EXPECT_GT(settings.DriverHandle, 0);
    EXPECT_TRUE(boxes.shown.empty());

    line.statusDriver.SetPortOpen(true);
    line.statusDriver.Answer(kReadLineStatus, 0x80);
    Tick();
    ASSERT_EQ(settings.LampCD, 1);
    clock.Advance(10 * 60 * 1000); // ten minutes online

    boxes.answers = {MessageResult::No};
    EXPECT_FALSE(window.close());
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Still connected! Exit Sarvendo anyway?");
    EXPECT_GT(settings.DriverHandle, 0); // nothing released

    boxes.answers = {MessageResult::Yes};
    EXPECT_TRUE(window.close());
    window.FClose();
    EXPECT_EQ(settings.DriverHandle, 0);
    EXPECT_EQ(line.statusDriver.Count(kUnhookComm), 1);
    const double total = settings.TotalConnectNew;
    EXPECT_NEAR(total * 1440.0, 10.0, 0.01);
    const IniFile saved = IniFile::Load(kFiles, dir.File("SARVENDO.INI"));
    EXPECT_EQ(saved.ReadInt("Sarvendo: Main", "Default Port", 0), 2);
    EXPECT_FALSE(saved.ReadString("Sarvendo on COM2", "TotalConnectNew", "", 100).empty());
}

TEST_F(ProgramWiringTest, PortThatCannotBeOpenedIsRefusedOnlyWhenChecked)
{
    line.serialDevices.ports.erase(3);
    ini += "Default Port=3\r\n";
    EXPECT_EQ(Start({"-AUTOCHECK"}), TMainWindow::StartOutcome::Refused);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Port not available! Sarvendo95 will not start.");
    EXPECT_EQ(settings.PortAvailable[2], 0);
    EXPECT_EQ(settings.PortAvailable[0], 1);
    // The driver was never opened on a refused start.
    EXPECT_TRUE(line.statusDriver.openedPaths.empty());
}

} // namespace
} // namespace sarvendo
