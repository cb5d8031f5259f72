// The setup dialog acting on the running main window: the poll timer, the port switch
// and the hang-up button, with only the platform faked.
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
#include "setup/TPageControl.h"
#include "setup/TSetupDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

const PosixTextFiles kFiles;

using fakes::TempDir;

class SetupDialogWindowTest : public ::testing::Test
{
protected:
    SetupDialogWindowTest()
    {
        directories.windows = dir.Path();
        directories.programFile = dir.File("bin/sarvendo");
        directories.system = dir.File("sbin");
        line.statusDriver.openAnyPath = true;
        line.statusDriver.Answer(kHookComm, 0);
        for (int port = 1; port <= 4; ++port) {
            line.serialDevices.Add(port);
        }
        // A modem that never answers must not hold the start-up exchange up for ever.
        line.eventPump.onEvents = [this] { clock.Advance(10); };
    }

    void Start(const std::string& ini)
    {
        TempDir::Write(dir.File("SARVENDO.INI"), ini);
        window.FormCreate(IniFile::Load(kFiles, dir.File("SARVENDO.INI")), {});
    }

    TSetupDlg& Dialog() { return *window.SetupDialog(); }
    template <typename T> T* Find(const char* name)
    {
        T* found = Dialog().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void ShowPage(int index) { Dialog().Setup()->Tab(index)->click(); }
    void Type(const char* field, const char* text)
    {
        QLineEdit* edit = Find<QLineEdit>(field);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }
    void Tick(std::uint8_t lineStatus)
    {
        line.statusDriver.Answer(kReadLineStatus, lineStatus);
        clock.Advance(56);
        window.TimerTimer();
    }

    static constexpr int kGeneralPage = 0;
    static constexpr int kAboutPage = 8;

    TempDir dir;
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
    fakes::FakeColourChooser colours;
    fakes::FakeFileChooser fileChooser;
    fakes::FakeUrlOpener urls;
    fakes::FakeClipboard clipboard;
    PosixLogFileActions logActions;
    fakes::FakeNotificationArea notificationArea;
    fakes::FakeTimerSource trayTimer{clock};
    fakes::FakeForegroundWindow foregroundWindow;
    fakes::FakeCaptionOverlay captionOverlay;
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

TEST_F(SetupDialogWindowTest, TypedRatesSetThePollPeriodAndDoubleZeroStopsIt)
{
    Start("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n");
    ASSERT_EQ(window.UpdateLampsNowItem(), nullptr);
    QTimer::singleShot(0, &Dialog(), [this] {
        ShowPage(kGeneralPage);
        Type("Timer", "16");
        EXPECT_TRUE(window.Timer()->isActive());
        EXPECT_EQ(window.Timer()->interval(), 62); // 1000 / 16 = 62.5, halves to the even side
        Type("Timer", "00");
        Find<QPushButton>("Ok")->click();
    });
    window.ShowSetupDialog();
    EXPECT_EQ(settings.TimerInterval, 0);
    EXPECT_FALSE(window.Timer()->isActive());
    ASSERT_NE(window.UpdateLampsNowItem(), nullptr);
    EXPECT_EQ(window.UpdateLampsNowItem()->text(), QStringLiteral("Update Lamps &Now!"));
}

TEST_F(SetupDialogWindowTest, SwitchingPortsAndBackRestoresEveryChangedSettingAndTheBoxesFollow)
{
    Start("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n"
          "[Sarvendo on COM1]\r\nWarn when Exiting=1\r\nLog RI=1\r\nCD Auto Exit=1\r\nInitModem=1\r\n"
          "Status in Display=1\r\nTrigger RD=1\r\n");
    Dialog().show();
    ShowPage(kGeneralPage);
    // Changed on COM1 before the first switch: kept only in the record until then.
    Find<QCheckBox>("CBAutoRun")->setChecked(true);
    Type("ExitDelay", "77");
    const std::vector<const char*> tickedOnCom1{
        "WarnExit", "CheckBoxLogRI", "CBAutoExit", "CBModemInit", "CBCommStatusDisplay", "CBTriggerRD", "CBAutoRun"};
    for (const char* name : tickedOnCom1) {
        EXPECT_TRUE(Find<QCheckBox>(name)->isChecked()) << name;
    }

    auto* ports = Find<QComboBox>("Ports");
    ports->setCurrentIndex(1);
    ASSERT_EQ(settings.DefaultPort, 2);
    // The switch itself leaves the controls alone; the next page shows COM2's values.
    ShowPage(kAboutPage);
    for (const char* name : tickedOnCom1) {
        EXPECT_FALSE(Find<QCheckBox>(name)->isChecked()) << name;
    }
    EXPECT_EQ(Find<QLineEdit>("ExitDelay")->text(), QStringLiteral("30"));

    ShowPage(kGeneralPage);
    ports->setCurrentIndex(0);
    ASSERT_EQ(settings.DefaultPort, 1);
    EXPECT_EQ(settings.AutoRun, 1);
    EXPECT_EQ(settings.CDAutoExitDelay, 77);
    EXPECT_EQ(settings.WarnWhenExiting, 1);
    EXPECT_EQ(settings.TriggerRD, 1);
    ShowPage(kAboutPage);
    for (const char* name : tickedOnCom1) {
        EXPECT_TRUE(Find<QCheckBox>(name)->isChecked()) << name;
    }
    Dialog().accept();
}

TEST_F(SetupDialogWindowTest, HangUpButtonFollowsTheCarrierWhileTheDialogIsOpen)
{
    Start("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n");
    Dialog().show();
    auto* hangUp = Find<QPushButton>("BtnHangupNOW");
    EXPECT_FALSE(hangUp->isEnabled());
    line.statusDriver.SetPortOpen(true);
    Tick(0x80);
    ASSERT_EQ(settings.LampCD, 1);
    EXPECT_TRUE(hangUp->isEnabled());
    Tick(0x00);
    ASSERT_EQ(settings.LampCD, 0);
    EXPECT_FALSE(hangUp->isEnabled());
    Dialog().accept();
}

} // namespace
} // namespace sarvendo
