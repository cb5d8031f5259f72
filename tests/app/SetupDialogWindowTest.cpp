// SPDX-License-Identifier: GPL-3.0-or-later
// The setup dialog acting on the running main window: the poll timer, the port switch,
// the tray box and the hang-up button, with only the platform faked and the window's own
// operations for the tray real.
#include "MainWindowFixture.h"

#include "components/TPGTrayIcon95.h"
#include "platform/StatusDriverDevice.h"
#include "platform/linux/QtTrayOwnerWindow.h"
#include "setup/TPageControl.h"
#include "setup/TSetupDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

class SetupDialogWindowTest : public MainWindowFixture
{
protected:
    SetupDialogWindowTest()
    {
        trayOwner = [](QWidget& shown) { return std::make_unique<QtTrayOwnerWindow>(shown); };
    }

    void Start(const std::string& ini, const std::vector<std::string>& arguments = {})
    {
        WriteIni(ini);
        MainWindowFixture::Start(arguments);
    }
    QStringList Listed()
    {
        QStringList names;
        auto* ports = Find<QComboBox>("Ports");
        for (int i = 0; i < ports->count(); ++i) {
            names << ports->itemText(i);
        }
        return names;
    }

    TSetupDlg& Dialog() { return *Window().SetupDialog(); }
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
        Window().TimerTimer();
    }

    static constexpr int kGeneralPage = 0;
    static constexpr int kAboutPage = 8;
};

TEST_F(SetupDialogWindowTest, TypedRatesSetThePollPeriodAndDoubleZeroStopsIt)
{
    Start("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n");
    ASSERT_EQ(Window().UpdateLampsNowItem(), nullptr);
    QTimer::singleShot(0, &Dialog(), [this] {
        ShowPage(kGeneralPage);
        Type("Timer", "16");
        EXPECT_TRUE(Window().Timer()->isActive());
        EXPECT_EQ(Window().Timer()->interval(), 62); // 1000 / 16 = 62.5, halves to the even side
        Type("Timer", "00");
        Find<QPushButton>("Ok")->click();
    });
    Window().ShowSetupDialog();
    EXPECT_EQ(settings.TimerInterval, 0);
    EXPECT_FALSE(Window().Timer()->isActive());
    ASSERT_NE(Window().UpdateLampsNowItem(), nullptr);
    EXPECT_EQ(Window().UpdateLampsNowItem()->text(), QStringLiteral("Update Lamps &Now!"));
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
    // The button hangs the line up: DTR is dropped and raised again.
    line.modemLines.SetLines(1, 0x03, 0x00);
    clock.StepOnEveryRead(100); // the hang-up waits a second by the clock
    hangUp->click();
    clock.StepOnEveryRead(0);
    EXPECT_EQ(line.modemLines.Writes(), 2);
    Tick(0x00);
    ASSERT_EQ(settings.LampCD, 0);
    EXPECT_FALSE(hangUp->isEnabled());
    Dialog().accept();
}

TEST_F(SetupDialogWindowTest, TheMenusAndTheDialogAreMadeAtTheirFirstUseWithWhatCameBefore)
{
    Start("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n[Sarvendo on COM1]\r\nTimer Interval=0\r\n");
    // A session comes and goes; its byte counts stay in the dialog.
    line.statusDriver.SetPortOpen(true);
    Tick(0x80);
    Tick(0x00);
    ASSERT_EQ(settings.LampCD, 0);
    EXPECT_EQ(Window().findChild<QMenu*>(), nullptr);
    EXPECT_EQ(Window().findChild<TSetupDlg*>(), nullptr);

    emit Window().customContextMenuRequested(QPoint(2, 2));
    QMenu* popup = Window().findChild<QMenu*>(QStringLiteral("PopupMenu"));
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    popup->close();
    // Offered at the start, before the menu was made.
    EXPECT_NE(popup->findChild<QAction*>(QStringLiteral("UpdateLampsNow")), nullptr);

    Dialog().show();
    EXPECT_FALSE(Find<QPushButton>("BtnHangupNOW")->isEnabled());
    EXPECT_TRUE(Find<QLabel>("LabelTD")->text().startsWith(QStringLiteral("Transmitted bytes: ")))
        << Find<QLabel>("LabelTD")->text().toStdString();
    Dialog().accept();
}

TEST_F(SetupDialogWindowTest, ClearingTheTrayBoxBringsTheWindowBackFromTheTray)
{
    Start("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n"
          "[Sarvendo on COM1]\r\nShowTrayIcon=1\r\nNewOrientation=4\r\n");
    Window().AppOnMinimize();
    QCoreApplication::processEvents(); // the tray's deferred hide
    ASSERT_FALSE(Window().isVisible());
    ASSERT_EQ(settings.NewOrientation, -4);

    Dialog().show();
    ShowPage(kGeneralPage);
    Find<QCheckBox>("CBSysTray")->setChecked(false);
    QCoreApplication::processEvents(); // the tray's deferred restore
    EXPECT_FALSE(Window().TrayIcon()->Active());
    EXPECT_TRUE(Window().isVisible());
    EXPECT_FALSE(Window().isMinimized());
    EXPECT_EQ(settings.NewOrientation, 4);
    Dialog().accept();
}

// A port that cannot be opened, before and after start-up: what a switch does to the
// monitored port, and that the list stays as start-up made it either way.
struct PortSwitchCase
{
    const char* why;
    std::vector<std::string> arguments;
    int portAfter;
    std::vector<const char*> listed;
};

class PortSwitchOnTheWindowTest : public SetupDialogWindowTest, public ::testing::WithParamInterface<PortSwitchCase>
{
};

TEST_P(PortSwitchOnTheWindowTest, ChoosingCom3AfterItWentAway)
{
    const PortSwitchCase& c = GetParam();
    line.serialDevices.ports.erase(4);
    const std::string ini = "[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n";
    Start(ini, c.arguments);
    ASSERT_EQ(settings.DefaultPort, 1);
    line.serialDevices.ports.erase(3);
    Dialog().show();
    ShowPage(kGeneralPage);
    QStringList listed;
    for (const char* name : c.listed) {
        listed << QString::fromLatin1(name);
    }
    ASSERT_EQ(Listed(), listed);

    Find<QComboBox>("Ports")->setCurrentIndex(2);
    EXPECT_EQ(settings.DefaultPort, c.portAfter);
    // A refused switch saves nothing; a switch saves the port it leaves.
    EXPECT_EQ(ReadIni() == ini, c.portAfter == 1);
    ShowPage(kAboutPage);
    EXPECT_EQ(Listed(), listed);
    EXPECT_EQ(Find<QComboBox>("Ports")->currentText(), QStringLiteral("COM%1").arg(c.portAfter));
    Dialog().accept();
}

INSTANTIATE_TEST_SUITE_P(
    WithAndWithoutTheCheck, PortSwitchOnTheWindowTest,
    ::testing::Values(PortSwitchCase{"taken as present: refused", {}, 1, {"COM1", "COM2", "COM3", "COM4"}},
                      PortSwitchCase{
                          "checked at start-up: switched untested", {"-AUTOCHECK"}, 3, {"COM1", "COM2", "COM3"}}));

TEST_F(SetupDialogWindowTest, TheHighSpeedLampComesBackAfterASwitchDuringAFastConnection)
{
    // pppd carries a 28800 bps connection; both ports show the Courier layout.
    line.dialUp.installedAt = directories.SystemDirectory() + "/pppd";
    line.dialUp.processes = {{412, line.dialUp.installedAt}};
    line.dialUp.windows = {{7, 412}};
    line.dialUp.connections[7].statistics = DialUpSource::Statistics{1000, 20000, 28800};
    Start("[Sarvendo: Main]\r\nDefault Port=1\r\nShow Logo at Startup=0\r\n"
          "[Sarvendo on COM1]\r\nNewOrientation=5\r\n[Sarvendo on COM2]\r\nNewOrientation=5\r\n");
    Tick(0x00);
    ASSERT_EQ(settings.LampCD, 1);
    Window().WMCopyData(1, "412 1 ppp0"); // pppd's ip-up
    Tick(0x00);
    ASSERT_EQ(settings.HighSpeed, 1);
    ASSERT_EQ(settings.NotifyValue2, 1);

    Dialog().show();
    ShowPage(kGeneralPage);
    Find<QComboBox>("Ports")->setCurrentIndex(1);
    ASSERT_EQ(settings.DefaultPort, 2);
    Tick(0x00);
    // The lamp shows HighSpeed while NotifyValue2 is 1.
    EXPECT_EQ(settings.LampCD, 1);
    EXPECT_EQ(settings.HighSpeed, 1);
    EXPECT_EQ(settings.NotifyValue2, 1);
    Dialog().accept();
}

} // namespace
} // namespace sarvendo
