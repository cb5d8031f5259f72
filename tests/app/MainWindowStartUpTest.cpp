// The main window's start-up: the ports and arguments it takes or refuses, the first start's
// welcome, the splash and the start-up sound, and an end that comes while it starts.
#include "MainWindowFixture.h"

#include "app/TSplashForm.h"
#include "platform/StatusDriverDevice.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string_view>
#include <sys/stat.h>

namespace sarvendo {
namespace {

using fakes::TempDir;

using MainWindowStartUpTest = FullStartFixture;

constexpr std::string_view kWelcome =
    "WELCOME to Sarvendo for Windows 95!\r\r"
    "All settings can be reached by clicking with the RIGHT MOUSE BUTTON on Sarvendo!\r\r"
    "You should start by selecting a \"Port to Monitor\" in the Setup & About Dialog, General Settings. ";
constexpr std::string_view kPortNotAvailable = "Port not available! Sarvendo95 will not start.";

TEST_F(MainWindowStartUpTest, StartUpRunsItsStepsInOrder)
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

TEST_F(MainWindowStartUpTest, RefusedWhenNotTheSupportedPlatform)
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
TEST_F(MainWindowStartUpTest, CommandLinePortTakesOverTheStoredPortsSettings)
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

TEST_F(MainWindowStartUpTest, RefusedWhenTheCommandLinePortOrTheStoredPortCannotBeOpened)
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

TEST_F(MainWindowStartUpTest, LowerCaseAutocheckProbesThePorts)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=4\r\n");
    SetOpenable({1, 2, 3});
    EXPECT_EQ(Start({"-autocheck"}), TMainWindow::StartOutcome::Refused);
    EXPECT_EQ(settings.AssumePortsPresent, 0);
    EXPECT_TRUE(Logged("ProbePort 4"));
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kPortNotAvailable);
}

TEST_F(MainWindowStartUpTest, WithoutAutocheckPortsAreTakenAsPresent)
{
    SetOpenable({});
    ASSERT_EQ(Start({"4"}), TMainWindow::StartOutcome::Running);
    EXPECT_EQ(settings.DefaultPort, 4);
    // Only the monitored port is opened, to read its line parameters.
    EXPECT_EQ(Count("ProbePort 1"), 0);
    EXPECT_EQ(Count("ProbePort 4"), 1);
}

TEST_F(MainWindowStartUpTest, InvalidPortArgumentsAreRefusedWithoutProbing)
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

TEST_F(MainWindowStartUpTest, FirstArgumentWinsWhenBothAreNumbers)
{
    ASSERT_EQ(Start({"3", "9"}), TMainWindow::StartOutcome::Running);
    EXPECT_EQ(settings.CommandLinePort, 3);
    EXPECT_EQ(settings.DefaultPort, 3);
}

TEST_F(MainWindowStartUpTest, StoredPortAboveTheMappedRangeIsRefused)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=12\r\n");
    EXPECT_EQ(Start(), TMainWindow::StartOutcome::Refused);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kPortNotAvailable);
}

TEST_F(MainWindowStartUpTest, StoredPortFiveToNineIsProbedWhenACheckIsAsked)
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

TEST_F(MainWindowStartUpTest, ARefusedStartSaysWhichDeviceAndWhy)
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

TEST_F(MainWindowStartUpTest, FirstStartWelcomesAndStoresOnlyTheLogoSetting)
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
TEST_F(MainWindowStartUpTest, ASettingsFileThatCannotBeReadIsSaidAndLeftAlone)
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

TEST_F(MainWindowStartUpTest, WelcomeBoxMarksADialogShowing)
{
    std::int32_t duringBox = 0;
    boxes.whileOpen = [&](const auto&) { duringBox = settings.DialogShowing; };
    Start();
    EXPECT_EQ(duringBox, 1);
    EXPECT_EQ(settings.DialogShowing, 0);
}

TEST_F(MainWindowStartUpTest, AnEndDuringAStartUpBoxEndsStartUpWithoutShowingTheWindow)
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

TEST_F(MainWindowStartUpTest, TimerPeriodFollowsTheIntervalSetting)
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

TEST_F(MainWindowStartUpTest, SplashShowsTheLogoAndClosesItself)
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

TEST_F(MainWindowStartUpTest, TheSplashIsOnTheScreenBeforeTheStartUpSoundPlays)
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

TEST_F(MainWindowStartUpTest, NoSplashAndNoSoundWhenTheLogoIsOff)
{
    WriteIni("[Sarvendo: Main]\r\nShow Logo at Startup=0\r\nDefault Port=1\r\n");
    std::filesystem::create_directories(directories.ProgramDirectory());
    TempDir::Write(directories.ProgramDirectory() + "/Sarvendo.wav", "RIFF");
    Start();
    EXPECT_EQ(std::ranges::count_if(log, [](const std::string& step) { return step.starts_with("PlayWave"); }), 0);
    Window().close();
    EXPECT_EQ(Ini().ReadInt("Sarvendo: Main", "Show Logo at Startup", 1), 0);
}

TEST_F(MainWindowStartUpTest, StartUpSoundIsLookedForInTheCurrentDirectoryFirst)
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

TEST_F(MainWindowStartUpTest, DialUpKindTwoSaysTheLightsProgramCanBeStarted)
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

} // namespace
} // namespace sarvendo
