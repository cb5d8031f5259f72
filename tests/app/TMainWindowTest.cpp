// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TMainWindow.h"

#include "core/IniFile.h"
#include "core/SettingsStore.h"

#include "app/THelpWindow.h"
#include "app/TSplashForm.h"
#include "app/TerminationSignals.h"
#include "components/TPGTrayIcon95.h"
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
#include "fakes/FakeTimerSource.h"
#include "fakes/FakeTrayOwnerWindow.h"
#include "fakes/FakeUrlOpener.h"
#include "fakes/TempDir.h"
#include "line/LineSession.h"
#include "platform/Sound.h"
#include "platform/SystemMetrics.h"
#include "platform/linux/PosixLogFileActions.h"
#include "platform/linux/PosixTextFiles.h"
#include "platform/linux/QtMessageBoxes.h"
#include "setup/TSetupDlg.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace sarvendo {
namespace {

const PosixTextFiles kFiles;

using fakes::TempDir;
// What the window did, in order: the line's opens and the driver's open and close as the
// fakes note them, the sounds played and the boxes shown.
using StepLog = std::vector<std::string>;

// Plays nothing; notes each sound in the step log.
class RecordingSound final : public Sound
{
public:
    explicit RecordingSound(StepLog& log) : m_log(log) {}
    void PlayWave(const std::string& path) override
    {
        m_log.push_back("PlayWave " + path);
        if (whilePlaying) {
            whilePlaying();
        }
    }
    std::function<void()> whilePlaying;
    void Beep() override { m_log.emplace_back("Beep"); }

private:
    StepLog& m_log;
};

constexpr double kQuarterDay = 0.25;

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
        line.statusDriver.openAnyPath = true;
        line.statusDriver.Answer(kHookComm, 0);
        line.statusDriver.SetPortOpen(true);
        line.dialUp.installedAt = directories.SystemDirectory() + "/pppd";
        line.serialDevices.journal = &log;
        line.statusDriver.journal = &log;
        line.dialUp.journal = &log;
        // A modem that never answers must not hold the exchange up for ever.
        line.eventPump.onEvents = [this] { clock.Advance(10); };
        SetOpenable({1, 2, 3, 4});
    }
    ~MainWindowTest() override { CloseSplashForms(); }

    // The ports whose devices exist and can be opened; all others are missing.
    void SetOpenable(const std::set<int>& ports)
    {
        line.serialDevices.ports.clear();
        for (const int port : ports) {
            line.serialDevices.Add(port);
        }
    }

    std::string IniPath() const { return dir.File("SARVENDO.INI"); }
    void WriteIni(const std::string& text) const { TempDir::Write(IniPath(), text); }
    std::string ReadIni() const { return TempDir::Read(IniPath()); }
    IniFile Ini() const { return IniFile::Load(kFiles, IniPath()); }

    TMainWindow& Window()
    {
        if (!window) {
            window = std::make_unique<TMainWindow>(
                MainWindowServices{settings,         directories,  kFiles,    screen,           platform,       clock,
                                   formats,          *windowBoxes, sound,     programs,         logFiles,       session,
                                   notificationArea, trayTimer,    trayOwner, foregroundWindow, captionOverlay, colours,
                                   fileChooser,      urls,         clipboard, logActions});
        }
        return *window;
    }

    TMainWindow::StartOutcome Start(const std::vector<std::string>& arguments = {})
    {
        return Window().FormCreate(Ini(), arguments);
    }

    // Ticks are seen by the driver requests they make: each reads the line status once.
    int Ticks() const { return line.statusDriver.Count(kReadLineStatus); }

    int Count(const std::string& step) const { return static_cast<int>(std::ranges::count(log, step)); }
    bool Logged(const std::string& step) const { return Count(step) > 0; }

    TempDir dir;
    Settings settings;
    StepLog log;
    fakes::FakeClock clock;
    DateTimeFormats formats;
    fakes::FakeDirectories directories;
    fakes::FakeScreen screen;
    fakes::FakePlatformInfo platform;
    fakes::FakeMessageBoxes boxes;
    // The window's boxes: the fake, or real ones for what only a real box's loop shows.
    QtMessageBoxes realBoxes;
    MessageBoxes* windowBoxes = &boxes;
    RecordingSound sound{log};
    fakes::FakeProgramStarter programs;
    fakes::FakeLogFiles logFiles;
    fakes::FakeLinePlatform line;
    LineSession session{settings, line.View(), clock, directories, boxes};
    fakes::FakeNotificationArea notificationArea;
    fakes::FakeTimerSource trayTimer{clock};
    fakes::FakeForegroundWindow foregroundWindow;
    fakes::FakeCaptionOverlay captionOverlay;
    // The window operations of the tray are the fake's; the test keeps a pointer to them.
    fakes::FakeTrayOwnerWindow* trayWindow = nullptr;
    std::function<std::unique_ptr<TrayOwnerWindow>(QWidget&)> trayOwner = [this](QWidget&) {
        auto made = std::make_unique<fakes::FakeTrayOwnerWindow>();
        trayWindow = made.get();
        return made;
    };
    fakes::FakeColourChooser colours;
    fakes::FakeFileChooser fileChooser;
    fakes::FakeUrlOpener urls;
    fakes::FakeClipboard clipboard;
    PosixLogFileActions logActions;
    std::unique_ptr<TMainWindow> window;
};

TEST_F(MainWindowTest, StartUpRunsItsStepsInOrder)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=1\r\n"
             "[Sarvendo on COM1]\r\nInitModem=1\r\nShowTrayIcon=1\r\nAuto Run=1\r\n"
             "Auto Run Program=\"/opt/my dialer/dial\" --quiet\r\n");
    std::filesystem::create_directories(directories.ProgramDirectory());
    TempDir::Write(directories.ProgramDirectory() + "/Sarvendo.wav", "RIFF");
    SetOpenable({1, 2});

    ASSERT_EQ(Start({"2", "-AUTOCHECK"}), TMainWindow::StartOutcome::Running);

    // The modem initialisation is the read-write open of the chosen port.
    const StepLog expected{"ProbePort 1",
                           "ProbePort 2",
                           "ProbePort 3",
                           "ProbePort 4",
                           "OpenPort 2",
                           "ProbePort 2",
                           "PlayWave " + directories.ProgramDirectory() + "/Sarvendo.wav",
                           "OpenStatusDriver",
                           "ProgramExists"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(Window().isVisible());
    ASSERT_EQ(programs.started.size(), 1U);
    EXPECT_EQ(programs.started[0], (std::vector<std::string>{"/opt/my dialer/dial", "--quiet"}));
    EXPECT_EQ(settings.DefaultPort, 2);
    EXPECT_GT(settings.DriverHandle, 0);
    EXPECT_EQ(settings.DialUpKind, 1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, ShutdownRunsItsStepsInOrderExactlyOnce)
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
    SetOpenable({1, 2});

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
        SetOpenable(c.openable);

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
    SetOpenable({1, 2, 3});
    EXPECT_EQ(Start({"-autocheck"}), TMainWindow::StartOutcome::Refused);
    EXPECT_EQ(settings.AssumePortsPresent, 0);
    EXPECT_TRUE(Logged("ProbePort 4"));
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kPortNotAvailable);
}

TEST_F(MainWindowTest, WithoutAutocheckPortsAreTakenAsPresent)
{
    SetOpenable({});
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
    EXPECT_FALSE(Logged("OpenPort 0"));
    EXPECT_EQ(std::ranges::count_if(log, [](const std::string& step) { return step.starts_with("Probe"); }), 0);
    EXPECT_TRUE(Window().isVisible());

    Window().close();
    EXPECT_EQ(ReadIni(), "[Sarvendo: Main]\r\nShow Logo at Startup=1\r\n");
}

// A settings file that cannot be read is said in one box instead of the welcome, and left
// as it is at a port switch, which says so too, and at the end.
TEST_F(MainWindowTest, ASettingsFileThatCannotBeReadIsSaidAndLeftAlone)
{
    ASSERT_EQ(::mkfifo(IniPath().c_str(), 0600), 0);
    ASSERT_EQ(Start(), TMainWindow::StartOutcome::RunningWithoutPort);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, "The settings file " + IniPath() +
                                       " could not be read: it is a FIFO, not a regular file.\n\nSarvendo runs on its "
                                       "default settings and does not overwrite that file, so changes made in this run "
                                       "are not saved.");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);

    settings.DefaultPort = 1;
    Window().SwitchPort(2);
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[1].text, "The settings of COM1 were not saved to " + IniPath() +
                                       ": it could not be read (it is a FIFO, not a regular file), so it is left as it "
                                       "was.");
    Window().close();
    EXPECT_TRUE(std::filesystem::is_fifo(IniPath()));
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
    TSetupDlg& setup = *Window().SetupDialog();
    EXPECT_FALSE(Window().Timer()->isActive());
    QAction* item = Window().UpdateLampsNowItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Update Lamps &Now!"));
    // It stands with the other commands of the window menu, in the "System" submenu.
    EXPECT_TRUE(Window().PopupMenu()->findChild<QMenu*>(QStringLiteral("SystemMenu"))->actions().contains(item));

    item->trigger();
    EXPECT_EQ(Ticks(), 1);
    Window().WMSysCommand(TMainWindow::kUpdateLampsNow);
    EXPECT_EQ(Ticks(), 2);

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
    EXPECT_EQ(Ticks(), 2);
}

TEST_F(MainWindowTest, SetupDialogHasItsTitle)
{
    const TSetupDlg& setup = *Window().SetupDialog();
    EXPECT_EQ(setup.windowTitle(), QStringLiteral("Setup & About / Sarvendo for Windows 95"));
    EXPECT_TRUE(setup.isModal());
}

TEST_F(MainWindowTest, CloseQueryWhileConnectedAsksAndNoKeepsEverything)
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

TEST_F(MainWindowTest, ExitWhileConnectedWithWarnWhenExitingAsksNothingAndSavesTheSession)
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

TEST_F(MainWindowTest, SignalEndSavesWithoutAsking)
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
    line.modemLines.SetLines(1, 0x03, 0x00);
    clock.StepOnEveryRead(100); // the hang-up waits a second by the clock
    item("HangupNOW")->trigger();
    clock.StepOnEveryRead(0);
    EXPECT_GT(line.modemLines.Writes(), 0); // DTR dropped and raised again

    settings.LampCD = 0;
    Window().PopupMenuPopup();
    EXPECT_FALSE(item("HangupNOW")->isEnabled());
}

TEST_F(MainWindowTest, HelpOpensAtTheContentsPage)
{
    Start({"1"});
    // Most runs never open the help, so it is not built until it is.
    EXPECT_EQ(Window().HelpWindow(), nullptr);
    Window().WMSysCommand(TMainWindow::kHelp);
    THelpWindow* help = Window().HelpWindow();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentContext(), 1);
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("Getting started")));
    // The licence, and the README of the source tree this test was built from.
    EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("GNU General Public License, version 3 or later")));
    EXPECT_TRUE(help->toHtml().contains(QUrl::fromLocalFile(QStringLiteral(SARVENDO_SOURCE_README)).toString()));
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

TEST_F(MainWindowTest, TheSplashIsOnTheScreenBeforeTheStartUpSoundPlays)
{
    std::filesystem::create_directories(directories.ProgramDirectory());
    TempDir::Write(directories.ProgramDirectory() + "/Sarvendo.wav", "RIFF");
    bool splashShown = false;
    sound.whilePlaying = [&splashShown] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* splash = qobject_cast<TSplashForm*>(widget); splash && splash->windowHandle() != nullptr) {
                splashShown = splashShown || splash->windowHandle()->isExposed();
            }
        }
    };
    Start({"1"});
    EXPECT_TRUE(splashShown);
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
    line.dialUp.installedAt.clear();
    Start({"1"});
    EXPECT_EQ(settings.DialUpKind, 0);
}

TEST_F(MainWindowTest, TicksStopOnceTheWindowHasClosed)
{
    Start({"1"});
    Window().TimerTimer();
    EXPECT_EQ(Ticks(), 1);
    Window().close();
    EXPECT_FALSE(Window().Timer()->isActive());
    Window().TimerTimer();
    EXPECT_EQ(Ticks(), 1);
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
    SetOpenable({6});
    EXPECT_EQ(Start({"-AUTOCHECK"}), TMainWindow::StartOutcome::Running);
    EXPECT_EQ(settings.DefaultPort, 6);
    SetOpenable({});
    settings = Settings{};
    window.reset();
    EXPECT_EQ(Start({"-AUTOCHECK"}), TMainWindow::StartOutcome::Refused);
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// The window's own behaviour: painting, the caption, staying on top and the tray.
TEST_F(MainWindowTest, AnIdleLineRepaintsNothing)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nTitle=1\r\n");
    Start();
    QCoreApplication::processEvents();
    const int before = Window().Image()->Repaints();
    for (int i = 0; i < 60; ++i) { // over three seconds of ticks, clock repaints included
        clock.Advance(56);
        Window().TimerTimer();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(Window().Image()->Repaints(), before);

    // A lamp that lights is shown.
    line.statusDriver.Answer(kReadLineStatus, 0x10);
    clock.Advance(56);
    Window().TimerTimer();
    QCoreApplication::processEvents();
    EXPECT_GT(Window().Image()->Repaints(), before);
    EXPECT_EQ(settings.RepaintNeeded, 0);
}

TEST_F(MainWindowTest, TheCaptionTogglesInPlaceButNotWhileMinimised)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nWindow Position X=200\r\n"
             "Window Position Y=150\r\n");
    Start();
    const QPoint panel = Window().geometry().topLeft();
    Window().ImageDblClick();
    EXPECT_EQ(settings.NoTitleBar, 1);
    EXPECT_TRUE(Window().windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(Window().geometry().topLeft(), panel);
    Window().PopupMenu()->findChild<QAction*>(QStringLiteral("ToggleTitlebarOnOff"))->trigger();
    EXPECT_EQ(settings.NoTitleBar, 0);
    EXPECT_FALSE(Window().windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(Window().geometry().topLeft(), panel);

    settings.NewOrientation = -3;
    Window().ImageDblClick();
    EXPECT_EQ(settings.NoTitleBar, 0);
}

TEST_F(MainWindowTest, AnotherScreenRebuildsThePanelLikeAThemeChange)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n");
    Start();
    QCoreApplication::processEvents();
    ASSERT_NE(Window().windowHandle(), nullptr);
    settings.RebuildWindowLamps = 0;
    settings.RepaintNeeded = 0;
    emit Window().windowHandle()->screenChanged(QGuiApplication::primaryScreen());
    EXPECT_EQ(settings.RebuildWindowLamps, 1);
    EXPECT_EQ(settings.RepaintNeeded, 1);
}

TEST_F(MainWindowTest, AStoredHiddenCaptionIsHiddenAtTheFirstPaint)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nNo Title Bar=1\r\n");
    Start();
    EXPECT_EQ(settings.NoTitleBar, 1);
    EXPECT_TRUE(Window().windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(MainWindowTest, StayOnTopWaitsForTheSetupDialogToClose)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nOnTop=1\r\n");
    Start();
    EXPECT_TRUE(Window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    bool onTopInDialog = true;
    QTimer::singleShot(0, Window().SetupDialog(), [&] {
        settings.RepaintNeeded = 1;
        Window().RepaintWindow();
        QCoreApplication::processEvents();
        onTopInDialog = Window().windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        Window().SetupDialog()->accept();
    });
    Window().ShowSetupDialog();
    EXPECT_FALSE(onTopInDialog);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindowTest, MinimisingGoesToTheTrayAndTheDoubleClickBringsItBack)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nShowTrayIcon=1\r\nNewOrientation=4\r\n");
    Start();
    EXPECT_TRUE(Window().TrayIcon()->Active());
    QAction* minimize = Window().PopupMenu()->findChild<QAction*>(QStringLiteral("Minimize"));

    minimize->trigger();
    QCoreApplication::processEvents(); // the tray's deferred call
    EXPECT_EQ(settings.NewOrientation, -4);
    EXPECT_FALSE(minimize->isEnabled());
    EXPECT_NE(std::ranges::count(trayWindow->calls, "HideApplicationWindow"), 0);

    trayWindow->calls.clear();
    Window().TrayIconDblClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(settings.NewOrientation, 4);
    EXPECT_TRUE(minimize->isEnabled());
    EXPECT_NE(std::ranges::count(trayWindow->calls, "BringToForeground"), 0);
}

TEST_F(MainWindowTest, WithoutTheTrayOptionMinimisingKeepsTheTaskbarEntry)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n");
    Start();
    EXPECT_FALSE(Window().TrayIcon()->Active());
    Window().AppOnMinimize();
    QCoreApplication::processEvents();
    EXPECT_EQ(settings.NewOrientation, -3);
    EXPECT_EQ(std::ranges::count(trayWindow->calls, "HideApplicationWindow"), 0);
    Window().AppOnRestore();
    EXPECT_EQ(settings.NewOrientation, 3);
    EXPECT_EQ(settings.RebuildWindowLamps, 1);
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

TEST_F(MainWindowTest, TheTopRowShowsThePanelsBackground)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nBackgroundColor=255\r\n"); // red
    Start();
    QCoreApplication::processEvents();
    const QImage shot = Window().grab().toImage();
    ASSERT_GT(shot.width(), 10);
    for (const int x : {0, shot.width() / 2, shot.width() - 1}) {
        EXPECT_EQ(QColor(shot.pixel(x, 0)), QColor(255, 0, 0)) << "x " << x;
    }
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// Whatever the program writes to standard error while the test runs.
class CapturedErrors
{
public:
    CapturedErrors() : m_previous(std::cerr.rdbuf(m_text.rdbuf())) {}
    ~CapturedErrors() { std::cerr.rdbuf(m_previous); }
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;
    std::string Text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

TEST_F(MainWindowTest, AProgramClosedInTheTrayStartsThereAndKeepsTheSign)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nShowTrayIcon=1\r\nNewOrientation=-4\r\n");
    Start();
    QCoreApplication::processEvents(); // the tray's deferred call
    EXPECT_TRUE(Window().isMinimized());
    EXPECT_EQ(std::ranges::count(trayWindow->calls, "HideApplicationWindow"), 1);
    EXPECT_EQ(std::ranges::count(trayWindow->calls, "RestoreApplication"), 0);
    Window().FClose();
    EXPECT_EQ(Ini().ReadInt("Sarvendo on COM1", "NewOrientation", 0), -4);
}

TEST_F(MainWindowTest, AWindowIsOnlyHiddenWhileATrayHostCanBringItBack)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nShowTrayIcon=1\r\nNewOrientation=4\r\n");
    notificationArea.hostPresent = false;
    const CapturedErrors errors;
    Start();
    Window().AppOnMinimize();
    QCoreApplication::processEvents();
    EXPECT_EQ(std::ranges::count(trayWindow->calls, "HideApplicationWindow"), 0);
    EXPECT_TRUE(Window().isMinimized());
    Window().SetTrayIconActive(true);
    const std::string said = errors.Text();
    const std::string why = "no tray host is running";
    ASSERT_NE(said.find(why), std::string::npos) << said;
    EXPECT_EQ(said.find(why, said.find(why) + 1), std::string::npos) << "said more than once: " << said;

    Window().AppOnRestore();
    notificationArea.SetHost(true);
    Window().AppOnMinimize();
    QCoreApplication::processEvents();
    EXPECT_EQ(std::ranges::count(trayWindow->calls, "HideApplicationWindow"), 1);
    EXPECT_EQ(settings.NewOrientation, -4);

    // The host goes while the window is in the tray: it comes back, shown.
    trayWindow->calls.clear();
    notificationArea.SetHost(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(settings.NewOrientation, 4);
    EXPECT_NE(std::ranges::count(trayWindow->calls, "ShowApplicationWindow"), 0);
}

TEST_F(MainWindowTest, ARefusedStartSaysWhichDeviceAndWhy)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n");
    SetOpenable({2});
    line.serialDevices.ports[3].openError = PortOpenError::Busy;
    CapturedErrors errors;
    EXPECT_EQ(Start({"-AUTOCHECK"}), TMainWindow::StartOutcome::Refused);
    EXPECT_NE(errors.Text().find("COM1"), std::string::npos) << errors.Text();
    EXPECT_NE(errors.Text().find("no such device"), std::string::npos) << errors.Text();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kPortNotAvailable); // the box itself is unchanged

    WriteIni("[Sarvendo: Main]\r\nDefault Port=3\r\n");
    settings = Settings{};
    window.reset();
    CapturedErrors busy;
    EXPECT_EQ(Start({"-AUTOCHECK"}), TMainWindow::StartOutcome::Refused);
    EXPECT_NE(busy.Text().find("COM3 (/dev/fake3) cannot be monitored: busy"), std::string::npos) << busy.Text();
}

TEST_F(MainWindowTest, AnEndDuringAStartUpBoxEndsStartUpWithoutShowingTheWindow)
{
    struct Case
    {
        const char* why;
        std::function<void()> duringBox;
    };
    const Case cases[] = {
        {"a termination signal", [this] { Window().CloseWithoutQuery(); }},
        {"the program closing itself", [this] { Window().FClose(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        settings = Settings{};
        window.reset();
        boxes.whileOpen = [&c](const auto&) { c.duringBox(); };
        EXPECT_EQ(Start(), TMainWindow::StartOutcome::Ended); // the first start's welcome box
        EXPECT_FALSE(Window().isVisible());
        EXPECT_FALSE(Window().Timer()->isActive());
    }
}

TEST_F(MainWindowTest, TheCloseRoutineRunsNoTickAndAsksNothingAboutTheLogs)
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

TEST_F(MainWindowTest, LogRecordsHeldAtTheEndAreWrittenAtTheNextStart)
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

TEST_F(MainWindowTest, NoTwoItemsOfAMenuShareAnAccelerator)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nTimer Interval=0\r\n");
    Start();
    for (QMenu* menu : {Window().PopupMenu(), Window().PopupMenu()->findChild<QMenu*>(QStringLiteral("SystemMenu"))}) {
        ASSERT_NE(menu, nullptr);
        std::set<QChar> keys;
        for (const QAction* action : menu->actions()) {
            const QString text = action->text().replace(QStringLiteral("&&"), QString());
            const qsizetype at = text.indexOf(QLatin1Char('&'));
            if (at >= 0 && at + 1 < text.size()) {
                EXPECT_TRUE(keys.insert(text[at + 1].toUpper()).second) << action->text().toStdString();
            }
        }
    }
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// Counts the mouse presses that reach a widget while it lives.
class PressCounter final : public QObject
{
public:
    PressCounter(QObject* watched, int& presses) : m_presses(presses) { watched->installEventFilter(this); }
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            ++m_presses;
        }
        return false;
    }

private:
    int& m_presses;
};

// A request to end from outside while one of the program's real boxes is open: the
// signal arrives in the box's own event loop, as it does in the running program. Should
// the box still be open a while after the signal, it is answered, so that a fault fails
// the test instead of hanging it.
class SignalInsideABox
{
public:
    SignalInsideABox()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            if (shownText.isEmpty()) {
                shownText = box->text();
                m_sent.start();
                ::kill(::getpid(), SIGTERM);
            } else if (m_sent.elapsed() > 5000) {
                stillOpenAfterSignal = true;
                box->buttons().front()->click();
            }
        });
        m_poll.start(5);
        QObject::connect(&m_signals, &TerminationSignals::Received, [this](int /*number*/) {
            if (m_window != nullptr) {
                m_window->CloseWithoutQuery();
            }
        });
        m_signals.Listen();
    }

    void For(TMainWindow& window)
    {
        m_window = &window;
        // As the program does: the end of the application ends every event loop, the
        // open box's too.
        QObject::connect(&window, &TMainWindow::ApplicationEndRequested, [] { QCoreApplication::exit(0); });
    }

    // The application's end holds for every later event loop; a loop of its own, ended at
    // once, clears it for the tests that follow.
    ~SignalInsideABox()
    {
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
        QCoreApplication::exec();
    }

    QString shownText;
    bool stillOpenAfterSignal = false;

private:
    TerminationSignals m_signals;
    QTimer m_poll;
    QElapsedTimer m_sent;
    TMainWindow* m_window = nullptr;
};

TEST_F(MainWindowTest, AnEndInsideATicksBoxEndsThatTickBeforeItHangsUp)
{
    // Polled by hand only, so no tick runs inside the box.
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nLog RI=1\r\n"
             "Timer Interval=0\r\nDisconnect if Inactive=1\r\nDisconnect time if Inactive=0\r\n"
             "Disconnect time if Inactive, Seconds=1\r\n");
    windowBoxes = &realBoxes;
    realBoxes.SetOwner(&Window());
    ASSERT_EQ(Start(), TMainWindow::StartOutcome::Running);
    logFiles.failing = {directories.LogDirectory() + "/Sarvendo.RI"};
    line.modemLines.SetLines(1, 0x03, 0x00);
    line.statusDriver.Answer(kReadLineStatus, 0xC0); // a call rings on a connected line
    Window().TimerTimer();
    ASSERT_EQ(settings.LampCD, 1);
    // The call is over and the connection idle beyond its limit: the next tick logs the
    // call, whose box says the log cannot be written, and would then hang up.
    clock.Advance(20'000);
    line.statusDriver.Answer(kReadLineStatus, 0x80);
    const int writesBefore = line.modemLines.Writes();
    clock.StepOnEveryRead(100); // a hang-up waits a second by the clock

    SignalInsideABox end;
    end.For(Window());
    Window().TimerTimer();

    EXPECT_TRUE(end.shownText.contains(QStringLiteral("could not be written"))) << end.shownText.toStdString();
    EXPECT_FALSE(end.stillOpenAfterSignal);
    EXPECT_EQ(settings.ClosedDown, 1);
    EXPECT_EQ(Count("ReleaseStatusDriver"), 1);
    // The line the close routine let go of is left alone.
    EXPECT_EQ(line.modemLines.Writes(), writesBefore);
}

TEST_F(MainWindowTest, AnEndInsideARealStartUpBoxEndsStartUpAndWritesNothing)
{
    struct Case
    {
        const char* why;
        const char* ini;
        std::vector<std::string> arguments;
        TMainWindow::StartOutcome outcome;
        const char* boxStart;
    };
    const Case cases[] = {
        {"the welcome", "", {}, TMainWindow::StartOutcome::Ended, "WELCOME to Sarvendo"},
        {"the refused port",
         "[Sarvendo: Main]\r\nDefault Port=3\r\n",
         {"-AUTOCHECK"},
         TMainWindow::StartOutcome::Refused,
         "Port not available!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        settings = Settings{};
        window.reset();
        SetOpenable({1, 2});
        WriteIni(c.ini);
        windowBoxes = &realBoxes;
        realBoxes.SetOwner(&Window());
        SignalInsideABox end;
        end.For(Window());
        EXPECT_EQ(Start(c.arguments), c.outcome);
        EXPECT_TRUE(end.shownText.startsWith(QString::fromLatin1(c.boxStart))) << end.shownText.toStdString();
        EXPECT_FALSE(end.stillOpenAfterSignal);
        EXPECT_FALSE(Window().isVisible());
        EXPECT_FALSE(Window().Timer()->isActive());
        EXPECT_EQ(ReadIni(), c.ini);
    }
}

TEST_F(MainWindowTest, HelpFromTheSetupDialogIsAWindowAboveItThatTakesInput)
{
    Start({"1"});
    TSetupDlg& setup = *Window().SetupDialog();
    struct Opened
    {
        const char* button;
        int context;
        int pressesTaken = 0;
        bool aboveTheDialog = false;
    };
    std::vector<Opened> opened{{"BitBtn8", 5}, {"BitBtn2", 2}, {"BitBtn3", 1}};
    QTimer::singleShot(0, &setup, [&] {
        for (Opened& o : opened) {
            setup.findChild<QPushButton*>(QString::fromLatin1(o.button))->click();
            THelpWindow& help = *Window().HelpWindow();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
            EXPECT_EQ(help.CurrentContext(), o.context);
            o.aboveTheDialog = help.windowHandle()->transientParent() == setup.windowHandle();
            // A click goes the way the window system's would, where a modal dialog
            // blocks the windows that are not its own.
            int presses = 0;
            PressCounter counter(help.viewport(), presses);
            QTest::mouseClick(help.windowHandle(), Qt::LeftButton, {}, QPoint(40, 40));
            o.pressesTaken = presses;
        }
        setup.accept();
    });
    Window().ShowSetupDialog();
    for (const Opened& o : opened) {
        EXPECT_EQ(o.pressesTaken, 1) << o.button;
        EXPECT_TRUE(o.aboveTheDialog) << o.button;
    }
    // Once the dialog is closed the help stays open, the main window's again.
    const THelpWindow& help = *Window().HelpWindow();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.parentWidget(), &Window());
}

TEST_F(MainWindowTest, BoxesOfTheSetupDialogAreItsOwnAndShownOverIt)
{
    windowBoxes = &realBoxes;
    realBoxes.SetOwner(&Window());
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n");
    Start();
    Window().move(0, 0); // the dialog is centred on the screen, far from the window
    TSetupDlg& setup = *Window().SetupDialog();
    QWidget* owner = nullptr;
    QPoint offset;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box->isVisible()) {
            owner = box->parentWidget();
            offset = box->frameGeometry().center() - setup.frameGeometry().center();
            box->buttons().front()->click();
        }
    });
    answer.start(5);
    QTimer::singleShot(0, &setup, [&] {
        setup.findChild<QPushButton*>(QStringLiteral("ButtonDeleteLogRI"))->click(); // no log yet: a box says so
        setup.accept();
    });
    Window().ShowSetupDialog();
    EXPECT_EQ(owner, &setup);
    EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
}

} // namespace
} // namespace sarvendo
