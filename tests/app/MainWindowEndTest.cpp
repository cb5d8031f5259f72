// The main window's end: the close routine and what it saves, the question while
// connected, the exit item, a termination signal, and the log records held at the end.
#include "MainWindowFixture.h"

#include "app/THelpWindow.h"
#include "platform/StatusDriverDevice.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>
#include <string>

namespace sarvendo {
namespace {

using MainWindowEndTest = FullStartFixture;

constexpr double kQuarterDay = 0.25;

TEST_F(MainWindowEndTest, ShutdownRunsItsStepsInOrderExactlyOnce)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=3\r\n[Sarvendo on COM3]\r\nTitle=1\r\n");
    Start();
    log.clear();
    settings.LampCD = 1;
    clock.Advance(6 * 60 * 60 * 1000);
    Window().HelpClick();
    ASSERT_TRUE(Window().HelpWindow()->isVisible());
    Window().move(120, 80);

    Window().FClose();
    Window().FClose();
    Window().FormClose();

    EXPECT_EQ(log, StepLog{"ReleaseStatusDriver"});
    // The running session is added to the total once, however often the routine runs.
    EXPECT_NEAR(settings.TotalConnectNew, kQuarterDay, 1e-9);
    EXPECT_EQ(settings.ClosedDown, 1);
    EXPECT_EQ(settings.DriverHandle, 0);
    EXPECT_FALSE(Window().HelpWindow()->isVisible());
    const IniFile ini = Ini();
    EXPECT_EQ(ini.ReadInt("Sarvendo: Main", "Default Port", 0), 3);
    EXPECT_EQ(ini.ReadInt("Sarvendo on COM3", "Window Position X", 0), 120);
    EXPECT_EQ(ini.ReadInt("Sarvendo on COM3", "Window Position Y", 0), 80);
    EXPECT_EQ(ini.ReadInt("Sarvendo: Main", "Show Logo at Startup", 5), 1);
}

TEST_F(MainWindowEndTest, CloseQueryWhileConnectedAsksAndNoKeepsEverything)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=2\r\n");
    const std::string before = ReadIni();
    Start();
    settings.LampCD = 1;
    clock.Advance(6 * 60 * 60 * 1000);
    log.clear();
    boxes.answers = {MessageResult::No};

    EXPECT_FALSE(Window().close());
    EXPECT_TRUE(Window().isVisible());
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Still connected! Exit Sarvendo anyway?");
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(settings.ClosedDown, 0);
    EXPECT_EQ(ReadIni(), before);
    EXPECT_EQ(settings.TotalConnectNew, 0.0);

    // Yes: the query runs the close routine, and the close that follows does not again.
    boxes.answers = {MessageResult::Yes};
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(Count("ReleaseStatusDriver"), 1);
    EXPECT_NEAR(settings.TotalConnectNew, kQuarterDay, 1e-9);
    EXPECT_EQ(settings.ClosedDown, 1);
}

TEST_F(MainWindowEndTest, ExitWhileConnectedWithWarnWhenExitingAsksNothingAndSavesTheSession)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=2\r\n[Sarvendo on COM2]\r\nWarn when Exiting=1\r\n");
    Start();
    settings.LampCD = 1;
    clock.Advance(6 * 60 * 60 * 1000);
    int endRequests = 0;
    QObject::connect(&Window(), &TMainWindow::ApplicationEndRequested, [&endRequests] { ++endRequests; });

    Window().PopupMenu()->findChild<QAction*>(QStringLiteral("ExitSarvendo"))->trigger();

    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(Window().isVisible());
    EXPECT_NEAR(settings.TotalConnectNew, kQuarterDay, 1e-9);
    const std::string total = Ini().ReadString("Sarvendo on COM2", "TotalConnectNew", "", 100);
    EXPECT_NE(total.find("2.5"), std::string::npos) << total;
}

TEST_F(MainWindowEndTest, SignalEndSavesWithoutAsking)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=2\r\n");
    Start();
    settings.LampCD = 1;
    clock.Advance(6 * 60 * 60 * 1000);
    Window().CloseWithoutQuery();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(Window().isVisible());
    EXPECT_NEAR(settings.TotalConnectNew, kQuarterDay, 1e-9);
    EXPECT_EQ(Ini().ReadInt("Sarvendo: Main", "Default Port", 0), 2);
}

TEST_F(MainWindowEndTest, TicksStopOnceTheWindowHasClosed)
{
    Start({"1"});
    Window().TimerTimer();
    EXPECT_EQ(Ticks(), 1);
    Window().close();
    EXPECT_FALSE(Window().Timer()->isActive());
    Window().TimerTimer();
    EXPECT_EQ(Ticks(), 1);
}

TEST_F(MainWindowEndTest, TheCloseRoutineRunsNoTickAndAsksNothingAboutTheLogs)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nLog RI=1\r\n");
    Start();
    // Neither the log nor a side file beside it or beside the settings can be written.
    logFiles.failing = {directories.LogDirectory() + "/Sarvendo.RI", directories.LogDirectory() + "/Sarvendo.RI.held",
                        directories.WindowsDirectory() + "/Sarvendo.RI.held"};
    // A ring that cannot be logged: its box is told once, then the record waits.
    line.statusDriver.Answer(kReadLineStatus, 0x40);
    Window().TimerTimer();
    line.statusDriver.Answer(kReadLineStatus, 0x00);
    for (int i = 0; i < 200; ++i) { // until the call is over and its record due
        clock.Advance(56);
        Window().TimerTimer();
    }
    const std::size_t boxesBefore = boxes.shown.size();
    const int ticksBefore = Ticks();

    CapturedErrors errors;
    boxes.whileOpen = [this](const auto&) { Window().TimerTimer(); };
    Window().FClose();
    EXPECT_EQ(boxes.shown.size(), boxesBefore);
    EXPECT_EQ(Ticks(), ticksBefore);
    EXPECT_NE(errors.Text().find("Sarvendo.RI could not be written and are lost"), std::string::npos) << errors.Text();
    EXPECT_EQ(settings.ClosedDown, 1);
}

TEST_F(MainWindowEndTest, LogRecordsHeldAtTheEndAreWrittenAtTheNextStart)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nLog RI=1\r\n");
    Start();
    const std::string ringLog = directories.LogDirectory() + "/Sarvendo.RI";
    logFiles.failing.insert(ringLog);
    line.statusDriver.Answer(kReadLineStatus, 0x40);
    Window().TimerTimer();
    line.statusDriver.Answer(kReadLineStatus, 0x00);
    for (int i = 0; i < 200; ++i) {
        clock.Advance(56);
        Window().TimerTimer();
    }
    CapturedErrors errors;
    Window().FClose();
    EXPECT_NE(errors.Text().find("Sarvendo: log records held for " + ringLog + " are kept in " + ringLog +
                                 ".held and written at the next start"),
              std::string::npos)
        << errors.Text();

    logFiles.failing.clear();
    settings = Settings{};
    window.reset();
    Start();
    EXPECT_TRUE(logFiles.files[ringLog].starts_with("Call: ")) << logFiles.files[ringLog];
    EXPECT_FALSE(logFiles.files.contains(ringLog + ".held"));
    EXPECT_NE(errors.Text().find("Sarvendo: log records held since an earlier run were written to " + ringLog),
              std::string::npos);
}

} // namespace
} // namespace sarvendo
