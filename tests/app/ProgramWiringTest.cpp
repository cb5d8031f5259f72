// SPDX-License-Identifier: GPL-3.0-or-later
// The main window wired to the real line session, poll cycle and engine adapters, with
// only the platform faked: what start-up, ticks and shutdown do to the line.
#include "MainWindowFixture.h"

#include "platform/StatusDriverDevice.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

class ProgramWiringTest : public MainWindowFixture
{
protected:
    TMainWindow::StartOutcome Start(const std::vector<std::string>& arguments = {})
    {
        WriteIni(ini);
        return MainWindowFixture::Start(arguments);
    }

    void Tick()
    {
        clock.Advance(56);
        Window().TimerTimer();
    }

    std::string ini = "[Sarvendo: Main]\r\nShow Logo at Startup=0\r\n";
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
    Window().close();
    EXPECT_EQ(ReadIni(), "[Sarvendo: Main]\r\nShow Logo at Startup=1\r\n");
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
    EXPECT_FALSE(Window().close());
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Still connected! Exit Sarvendo anyway?");
    EXPECT_GT(settings.DriverHandle, 0); // nothing released

    boxes.answers = {MessageResult::Yes};
    EXPECT_TRUE(Window().close());
    Window().FClose();
    EXPECT_EQ(settings.DriverHandle, 0);
    EXPECT_EQ(line.statusDriver.Count(kUnhookComm), 1);
    const double total = settings.TotalConnectNew;
    EXPECT_NEAR(total * 1440.0, 10.0, 0.01);
    const IniFile saved = Ini();
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
