#include "app/TMainWindow.h"

#include "RecordingStartup.h"
#include "core/IniFile.h"
#include "core/SettingsStore.h"

#include "app/THelpWindow.h"
#include "app/TSetupDlg.h"
#include "app/TSplashForm.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakePlatformInfo.h"
#include "fakes/FakeProgramStarter.h"
#include "fakes/FakeScreen.h"
#include "fakes/TempDir.h"
#include "platform/linux/PosixTextFiles.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace sarvendo {
namespace {

const PosixTextFiles kFiles;

using fakes::TempDir;
using testing::StepLog;

constexpr std::string_view kWelcome =
    "WELCOME to Sarvendo for Windows 95!\r\r"
    "All settings can be reached by clicking with the RIGHT MOUSE BUTTON on Sarvendo!\r\r"
    "You should start by selecting a \"Port to Monitor\" in the Setup & About Dialog, General Settings. ";
constexpr std::string_view kPortNotAvailable = "Port not available! Sarvendo95 will not start.";

// Closes every splash form a test left open, so tests do not see each other's.
void CloseSplashForms()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* splash = qobject_cast<TSplashForm*>(widget)) {
            splash->TimerSplashTimer();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest()
    {
        directories.windows = dir.Path();
        directories.programFile = dir.File("bin/sarvendo");
        directories.system = dir.File("sbin");
        boxes.whileOpen = [this](const fakes::FakeMessageBoxes::Shown& shown) {
            log.push_back("Box " + shown.text.substr(0, 20));
        };
    }
    ~MainWindowTest() override { CloseSplashForms(); }

    std::string IniPath() const { return dir.File("SARVENDO.INI"); }
    void WriteIni(const std::string& text) const { TempDir::Write(IniPath(), text); }
    std::string ReadIni() const { return TempDir::Read(IniPath()); }
    IniFile Ini() const { return IniFile::Load(kFiles, IniPath()); }

    TMainWindow& Window()
    {
        if (!window) {
            window = std::make_unique<TMainWindow>(
                MainWindowServices{settings, directories, kFiles, screen, platform, boxes, sound, programs, line});
            window->AttachEngine(&engine);
            window->AttachDisplay(&display);
        }
        return *window;
    }

    TMainWindow::StartOutcome Start(const std::vector<std::string>& arguments = {})
    {
        return Window().FormCreate(arguments);
    }

    int Count(const std::string& step) const { return static_cast<int>(std::ranges::count(log, step)); }
    bool Logged(const std::string& step) const { return Count(step) > 0; }

    TempDir dir;
    Settings settings;
    StepLog log;
    fakes::FakeDirectories directories;
    fakes::FakeScreen screen;
    fakes::FakePlatformInfo platform;
    fakes::FakeMessageBoxes boxes;
    testing::RecordingSound sound{log};
    fakes::FakeProgramStarter programs;
    testing::RecordingLine line{settings, log};
    testing::RecordingEngine engine{settings, log};
    testing::RecordingDisplay display{log};
    std::unique_ptr<TMainWindow> window;
};

TEST_F(MainWindowTest, StartUpRunsItsStepsInOrder)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=1\r\n"
             "[Sarvendo on COM1]\r\nInitModem=1\r\nShowTrayIcon=1\r\nAuto Run=1\r\n"
             "Auto Run Program=\"/opt/my dialer/dial\" --quiet\r\n");
    std::filesystem::create_directories(directories.ProgramDirectory());
    TempDir::Write(directories.ProgramDirectory() + "/Sarvendo.wav", "RIFF");
    line.openable = {1, 2};

    ASSERT_EQ(Start({"2", "-AUTOCHECK"}), TMainWindow::StartOutcome::Running);

    const StepLog expected{"LoadDrawingObjects", "ProbePort 1",
                           "ProbePort 2",        "ProbePort 3",
                           "ProbePort 4",        "SendModemInit",
                           "ProbePort 2",        "StartSession",
                           "CreateDisplayFont",  "PlayWave " + directories.ProgramDirectory() + "/Sarvendo.wav",
                           "OpenStatusDriver",   "InstallMinimizeHandlers",
                           "ActivateTrayIcon",   "RestoreFromTray",
                           "DetectDialUpKind"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(Window().isVisible());
    ASSERT_EQ(programs.started.size(), 1U);
    EXPECT_EQ(programs.started[0], (std::vector<std::string>{"/opt/my dialer/dial", "--quiet"}));
    EXPECT_EQ(settings.DefaultPort, 2);
    EXPECT_EQ(settings.DriverHandle, 7);
    EXPECT_EQ(settings.DialUpKind, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, ShutdownRunsItsStepsInOrderExactlyOnce)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=3\r\n[Sarvendo on COM3]\r\nTitle=1\r\n");
    Start();
    log.clear();
    settings.LampCD = 1;
    Window().HelpClick();
    ASSERT_TRUE(Window().HelpWindow()->isVisible());
    Window().move(120, 80);

    Window().FClose();
    Window().FClose();
    Window().FormClose();

    const StepLog expected{"RedrawForegroundCaption", "AddRunningSessionToTotal", "WriteUnwrittenLogs",
                           "ReleaseStatusDriver",     "CloseDialUpProcess",       "FreeDrawingObjects"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(settings.ClosedDown, 1);
    EXPECT_EQ(settings.DriverHandle, 0);
    EXPECT_FALSE(Window().HelpWindow()->isVisible());
    const IniFile ini = Ini();
    EXPECT_EQ(ini.ReadInt("Sarvendo: Main", "Default Port", 0), 3);
    EXPECT_EQ(ini.ReadInt("Sarvendo on COM3", "Window Position X", 0), 120);
    EXPECT_EQ(ini.ReadInt("Sarvendo on COM3", "Window Position Y", 0), 80);
    EXPECT_EQ(ini.ReadInt("Sarvendo: Main", "Show Logo at Startup", 5), 1);
}

TEST_F(MainWindowTest, RefusedWhenNotTheSupportedPlatform)
{
    platform.family = PlatformFamily::Other;
    EXPECT_EQ(Start({"1"}), TMainWindow::StartOutcome::Refused);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text,
              "This version of Sarvendo only runs with Windows 95, not WinNT! Sarvendo will not start.");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(log, StepLog{"Box This version of Sarv"});
    EXPECT_FALSE(Window().isVisible());
    EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

// Arguments 2 and -AUTOCHECK: COM2 takes over the stored port's settings and keeps them.
TEST_F(MainWindowTest, CommandLinePortTakesOverTheStoredPortsSettings)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n"
             "[Sarvendo on COM1]\r\nNewOrientation=4\r\nTimer Interval=9\r\n");
    line.openable = {1, 2};

    ASSERT_EQ(Start({"2", "-AUTOCHECK"}), TMainWindow::StartOutcome::Running);
    EXPECT_EQ(settings.AssumePortsPresent, 0);
    EXPECT_EQ(settings.DefaultPort, 2);
    EXPECT_EQ(settings.NewOrientation, 4);
    EXPECT_EQ(Window().Timer()->interval(), 111);
    EXPECT_TRUE(boxes.shown.empty());

    Window().close();
    const IniFile ini = Ini();
    EXPECT_EQ(ini.ReadInt("Sarvendo: Main", "Default Port", 0), 2);
    EXPECT_EQ(ini.ReadInt("Sarvendo on COM2", "NewOrientation", 0), 4);
    EXPECT_EQ(ini.ReadInt("Sarvendo on COM2", "Timer Interval", 0), 9);
    // The old port's section is left as it was.
    EXPECT_EQ(ini.ReadInt("Sarvendo on COM1", "NewOrientation", 0), 4);
}

TEST_F(MainWindowTest, RefusedWhenTheCommandLinePortOrTheStoredPortCannotBeOpened)
{
    struct Case
    {
        std::set<int> openable;
        const char* why;
    };
    for (const Case& c : {Case{{1, 3, 4}, "COM2 busy"}, Case{{2, 3, 4}, "stored COM1 busy"}}) {
        SCOPED_TRACE(c.why);
        WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n");
        const std::string before = ReadIni();
        Settings fresh;
        settings = fresh;
        boxes.shown.clear();
        window.reset();
        line.openable = c.openable;

        EXPECT_EQ(Start({"2", "-AUTOCHECK"}), TMainWindow::StartOutcome::Refused);
        ASSERT_EQ(boxes.shown.size(), 1U);
        EXPECT_EQ(boxes.shown[0].text, kPortNotAvailable);
        EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
        EXPECT_FALSE(Window().isVisible());
        EXPECT_FALSE(Window().Timer()->isActive());
        window.reset(); // a refused start ends without the close routine
        EXPECT_EQ(ReadIni(), before);
    }
}

TEST_F(MainWindowTest, LowerCaseAutocheckProbesThePorts)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=4\r\n");
    line.openable = {1, 2, 3};
    EXPECT_EQ(Start({"-autocheck"}), TMainWindow::StartOutcome::Refused);
    EXPECT_EQ(settings.AssumePortsPresent, 0);
    EXPECT_TRUE(Logged("ProbePort 4"));
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kPortNotAvailable);
}

TEST_F(MainWindowTest, WithoutAutocheckPortsAreTakenAsPresent)
{
    line.openable = {};
    ASSERT_EQ(Start({"4"}), TMainWindow::StartOutcome::Running);
    EXPECT_EQ(settings.DefaultPort, 4);
    // Only the monitored port is opened, to read its line parameters.
    EXPECT_EQ(Count("ProbePort 1"), 0);
    EXPECT_EQ(Count("ProbePort 4"), 1);
}

TEST_F(MainWindowTest, InvalidPortArgumentsAreRefusedWithoutProbing)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"7"}, std::vector<std::string>{"9", "3"}, std::vector<std::string>{"0"}}) {
        SCOPED_TRACE(arguments.front());
        settings = Settings{};
        log.clear();
        boxes.shown.clear();
        window.reset();
        EXPECT_EQ(Start(arguments), TMainWindow::StartOutcome::Refused);
        EXPECT_EQ(settings.CommandLinePort, -89);
        ASSERT_EQ(boxes.shown.size(), 1U);
        EXPECT_EQ(boxes.shown[0].text, kPortNotAvailable);
        EXPECT_EQ(std::ranges::count_if(log, [](const std::string& step) { return step.starts_with("Probe"); }), 0);
    }
}

TEST_F(MainWindowTest, FirstArgumentWinsWhenBothAreNumbers)
{
    ASSERT_EQ(Start({"3", "9"}), TMainWindow::StartOutcome::Running);
    EXPECT_EQ(settings.CommandLinePort, 3);
    EXPECT_EQ(settings.DefaultPort, 3);
}

TEST_F(MainWindowTest, FirstStartWelcomesAndStoresOnlyTheLogoSetting)
{
    settings.InitModem = 1; // whatever the record held before, the file's defaults rule
    ASSERT_EQ(Start(), TMainWindow::StartOutcome::RunningWithoutPort);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kWelcome);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(settings.DefaultPort, 0);
    EXPECT_FALSE(Logged("SendModemInit"));
    EXPECT_EQ(std::ranges::count_if(log, [](const std::string& step) { return step.starts_with("Probe"); }), 0);
    EXPECT_TRUE(Window().isVisible());

    Window().close();
    EXPECT_EQ(ReadIni(), "[Sarvendo: Main]\r\nShow Logo at Startup=1\r\n");
}

TEST_F(MainWindowTest, WelcomeBoxMarksADialogShowing)
{
    std::int32_t duringBox = 0;
    boxes.whileOpen = [&](const auto&) { duringBox = settings.DialogShowing; };
    Start();
    EXPECT_EQ(duringBox, 1);
    EXPECT_EQ(settings.DialogShowing, 0);
}

TEST_F(MainWindowTest, TimerPeriodFollowsTheIntervalSetting)
{
    struct Case
    {
        int interval;
        int periodMs;
    };
    for (const Case c : {Case{3, 333}, Case{18, 56}, Case{7, 143}, Case{16, 62}, Case{1, 1000}}) {
        SCOPED_TRACE(c.interval);
        WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nTimer Interval=" +
                 std::to_string(c.interval) + "\r\n");
        settings = Settings{};
        window.reset();
        Start();
        EXPECT_TRUE(Window().Timer()->isActive());
        EXPECT_EQ(Window().Timer()->interval(), c.periodMs);
        EXPECT_EQ(Window().UpdateLampsNowItem(), nullptr);
    }
}

TEST_F(MainWindowTest, IntervalZeroTicksOnlyOnRequestAndTheItemFollowsTheSetupDialog)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nTimer Interval=0\r\n");
    Start();
    TSetupDlg setup(&Window());
    Window().AttachSetupDialog(&setup);
    EXPECT_FALSE(Window().Timer()->isActive());
    QAction* item = Window().UpdateLampsNowItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Update Lamps &Now!"));
    EXPECT_TRUE(Window().PopupMenu()->actions().contains(item));

    item->trigger();
    EXPECT_EQ(engine.ticks, 1);
    Window().WMSysCommand(TMainWindow::kUpdateLampsNow);
    EXPECT_EQ(engine.ticks, 2);

    // The user sets 5 polls a second in the dialog: the item goes, the timer runs.
    std::int32_t showingInDialog = 0;
    QTimer::singleShot(0, &setup, [&] {
        showingInDialog = settings.DialogShowing;
        settings.TimerInterval = 5;
        setup.accept();
    });
    Window().WMSysCommand(TMainWindow::kSetupAbout);
    EXPECT_EQ(showingInDialog, 1);
    EXPECT_EQ(settings.DialogShowing, 0);
    EXPECT_EQ(settings.RepaintNeeded, 1);
    EXPECT_EQ(Window().UpdateLampsNowItem(), nullptr);
    EXPECT_TRUE(Window().Timer()->isActive());
    EXPECT_EQ(Window().Timer()->interval(), 200);

    // And back to 0.
    QTimer::singleShot(0, &setup, [&] {
        settings.TimerInterval = 0;
        setup.accept();
    });
    Window().ShowSetupDialog();
    EXPECT_NE(Window().UpdateLampsNowItem(), nullptr);
    EXPECT_FALSE(Window().Timer()->isActive());
    EXPECT_EQ(engine.ticks, 2);
}

TEST_F(MainWindowTest, SetupDialogHasItsTitle)
{
    TSetupDlg setup;
    EXPECT_EQ(setup.windowTitle(), QStringLiteral("Setup & About / Sarvendo for Windows 95"));
    EXPECT_TRUE(setup.isModal());
}

TEST_F(MainWindowTest, CloseQueryWhileConnectedAsksAndNoKeepsEverything)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=2\r\n");
    const std::string before = ReadIni();
    Start();
    settings.LampCD = 1;
    log.clear();
    boxes.answers = {MessageResult::No};

    EXPECT_FALSE(Window().close());
    EXPECT_TRUE(Window().isVisible());
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "Still connected! Exit Sarvendo anyway?");
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(settings.ClosedDown, 0);
    EXPECT_EQ(ReadIni(), before);
    EXPECT_FALSE(Logged("AddRunningSessionToTotal"));

    // Yes: the query runs the close routine, and the close that follows does not again.
    boxes.answers = {MessageResult::Yes};
    EXPECT_TRUE(Window().close());
    EXPECT_EQ(Count("AddRunningSessionToTotal"), 1);
    EXPECT_EQ(Count("ReleaseStatusDriver"), 1);
    EXPECT_DOUBLE_EQ(settings.TotalConnectNew, 0.25);
    EXPECT_EQ(settings.ClosedDown, 1);
}

TEST_F(MainWindowTest, ExitWhileConnectedWithWarnWhenExitingAsksNothingAndSavesTheSession)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=2\r\n[Sarvendo on COM2]\r\nWarn when Exiting=1\r\n");
    Start();
    settings.LampCD = 1;
    int endRequests = 0;
    QObject::connect(&Window(), &TMainWindow::ApplicationEndRequested, [&endRequests] { ++endRequests; });

    Window().PopupMenu()->findChild<QAction*>(QStringLiteral("ExitSarvendo"))->trigger();

    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Count("AddRunningSessionToTotal"), 1);
    const std::string total = Ini().ReadString("Sarvendo on COM2", "TotalConnectNew", "", 100);
    EXPECT_NE(total.find("2.5"), std::string::npos) << total;
}

TEST_F(MainWindowTest, SignalEndSavesWithoutAsking)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=2\r\n");
    Start();
    settings.LampCD = 1;
    Window().CloseWithoutQuery();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Count("AddRunningSessionToTotal"), 1);
    EXPECT_EQ(Ini().ReadInt("Sarvendo: Main", "Default Port", 0), 2);
}

TEST_F(MainWindowTest, PopupMenuItemsFollowTheCarrier)
{
    Start({"1"});
    QMenu* menu = Window().PopupMenu();
    auto item = [menu](const char* name) { return menu->findChild<QAction*>(QString::fromUtf8(name)); };
    EXPECT_EQ(item("SetupAbout")->text(), QStringLiteral("&Setup && About"));
    EXPECT_EQ(menu->defaultAction(), item("SetupAbout"));
    EXPECT_EQ(item("ToggleTitlebarOnOff")->text(), QStringLiteral("Toggle Titlebar &On/Off"));
    EXPECT_EQ(item("ResetTotalConnectTime")->text(), QStringLiteral("Reset &Total Connect Time"));
    EXPECT_EQ(item("HELP")->text(), QStringLiteral("&Help"));
    EXPECT_EQ(item("ExitSarvendo")->text(), QStringLiteral("&Exit"));
    EXPECT_EQ(item("SystemSetupAbout")->text(), QStringLiteral("&Setup && About..."));
    EXPECT_EQ(item("SystemHelp")->text(), QStringLiteral("&HELP"));
    EXPECT_FALSE(item("HangupNOW")->isEnabled());
    EXPECT_FALSE(item("ResetSessionConnectTime")->isEnabled());

    settings.LampCD = 1;
    Window().PopupMenuPopup();
    EXPECT_TRUE(item("HangupNOW")->isEnabled());
    EXPECT_TRUE(item("ResetSessionConnectTime")->isEnabled());
    item("HangupNOW")->trigger();
    EXPECT_TRUE(Logged("HangUp"));

    settings.LampCD = 0;
    Window().PopupMenuPopup();
    EXPECT_FALSE(item("HangupNOW")->isEnabled());
}

TEST_F(MainWindowTest, HelpOpensAtTheContentsPage)
{
    Start({"1"});
    Window().WMSysCommand(TMainWindow::kHelp);
    THelpWindow* help = Window().HelpWindow();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentContext(), 1);
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("Getting started")));
    help->ShowContext(42);
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("no help page")));
    // Every context the program and its setup dialog open has a page of its own.
    for (const int context : {1, 2, 5, 6, 8, 9, 10, 11, 12, 14}) {
        SCOPED_TRACE(context);
        help->ShowContext(context);
        EXPECT_FALSE(help->toPlainText().contains(QStringLiteral("no help page")));
    }
}

TEST_F(MainWindowTest, SplashShowsTheLogoAndClosesItself)
{
    Start({"1"});
    TSplashForm* splash = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* candidate = qobject_cast<TSplashForm*>(widget); candidate && candidate->isVisible()) {
            splash = candidate;
        }
    }
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->size(), QSize(322, 240));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    auto* picture = splash->findChild<QLabel*>(QStringLiteral("Splash"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    auto* timer = splash->findChild<QTimer*>(QStringLiteral("TimerSplash"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 3000);
    EXPECT_TRUE(timer->isActive());

    QPointer<TSplashForm> watched(splash);
    splash->TimerSplashTimer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
}

TEST_F(MainWindowTest, NoSplashAndNoSoundWhenTheLogoIsOff)
{
    WriteIni("[Sarvendo: Main]\r\nShow Logo at Startup=0\r\nDefault Port=1\r\n");
    std::filesystem::create_directories(directories.ProgramDirectory());
    TempDir::Write(directories.ProgramDirectory() + "/Sarvendo.wav", "RIFF");
    Start();
    EXPECT_EQ(std::ranges::count_if(log, [](const std::string& step) { return step.starts_with("PlayWave"); }), 0);
    Window().close();
    EXPECT_EQ(Ini().ReadInt("Sarvendo: Main", "Show Logo at Startup", 1), 0);
}

TEST_F(MainWindowTest, StartUpSoundIsLookedForInTheCurrentDirectoryFirst)
{
    std::filesystem::create_directories(directories.ProgramDirectory());
    TempDir::Write(directories.ProgramDirectory() + "/Sarvendo.wav", "RIFF");
    TempDir working;
    TempDir::Write(working.File("Sarvendo.wav"), "RIFF");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(working.Path());
    Start({"1"});
    std::filesystem::current_path(previous);
    EXPECT_TRUE(Logged("PlayWave " + working.File("Sarvendo.wav")));
    EXPECT_EQ(std::ranges::count_if(log, [](const std::string& step) { return step.starts_with("PlayWave"); }), 1);
}

TEST_F(MainWindowTest, DialUpNotificationKeepsTheSecondNumberAndStartsLightsSafely)
{
    Start({"1"});
    Window().WMCopyData(1, "12 345 ppp0 /dev/ttyS0");
    EXPECT_EQ(settings.NotifyValue2, 345);
    EXPECT_TRUE(programs.started.empty());

    settings.RunLights = 1;
    Window().WMCopyData(1, "1 2 $(touch /tmp/x); rm -rf ~ `id`");
    ASSERT_EQ(programs.started.size(), 1U);
    const std::vector<std::string> expected{"lights!.exe", "1", "2", "$(touch", "/tmp/x);", "rm", "-rf", "~", "`id`"};
    EXPECT_EQ(programs.started[0], expected);

    // Other tags are not notifications.
    Window().WMCopyData(2, "1 99 x");
    EXPECT_EQ(settings.NotifyValue2, 2);
    EXPECT_EQ(programs.started.size(), 1U);

    // A burst starts the program once; a second later it starts again.
    Window().WMCopyData(1, "7 8 again");
    EXPECT_EQ(settings.NotifyValue2, 8);
    EXPECT_EQ(programs.started.size(), 1U);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));

    // A text of any length is cut; nothing overflows and the program is still started.
    const std::string longText = "3 4 " + std::string(5000, 'x');
    Window().WMCopyData(1, longText);
    EXPECT_EQ(settings.NotifyValue2, 4);
    ASSERT_EQ(programs.started.size(), 2U);
    std::size_t length = 0;
    for (std::size_t i = 1; i < programs.started[1].size(); ++i) {
        length += programs.started[1][i].size() + 1;
    }
    EXPECT_EQ(length - 1, 259U);

    Window().FClose();
    Window().WMCopyData(1, "5 6 late");
    EXPECT_EQ(programs.started.size(), 2U);
}

TEST_F(MainWindowTest, DialUpKindTwoSaysTheLightsProgramCanBeStarted)
{
    Start({"1"});
    EXPECT_EQ(settings.DialUpKind, 1);

    window.reset();
    programs.findable = {"lights!.exe"};
    Start({"1"});
    EXPECT_EQ(settings.DialUpKind, 2);

    // Without the dial-up program there is nothing to notify the lights of.
    window.reset();
    line.dialUpKind = 0;
    Start({"1"});
    EXPECT_EQ(settings.DialUpKind, 0);
}

TEST_F(MainWindowTest, TicksStopOnceTheWindowHasClosed)
{
    Start({"1"});
    Window().TimerTimer();
    EXPECT_EQ(engine.ticks, 1);
    Window().close();
    EXPECT_FALSE(Window().Timer()->isActive());
    Window().TimerTimer();
    EXPECT_EQ(engine.ticks, 1);
}

TEST_F(MainWindowTest, StoredPortAboveTheMappedRangeIsRefused)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=12\r\n");
    EXPECT_EQ(Start(), TMainWindow::StartOutcome::Refused);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kPortNotAvailable);
}

TEST_F(MainWindowTest, StoredPortFiveToNineIsProbedWhenACheckIsAsked)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=6\r\n");
    line.openable = {6};
    EXPECT_EQ(Start({"-AUTOCHECK"}), TMainWindow::StartOutcome::Running);
    EXPECT_EQ(settings.DefaultPort, 6);
    line.openable = {};
    settings = Settings{};
    window.reset();
    EXPECT_EQ(Start({"-AUTOCHECK"}), TMainWindow::StartOutcome::Refused);
}

} // namespace
} // namespace sarvendo
