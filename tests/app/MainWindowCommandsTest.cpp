// The main window's commands: the two menus, the update-now item, the setup dialog, the
// help and the dial-up program's notifications.
#include "MainWindowFixture.h"

#include "app/THelpWindow.h"
#include "setup/TSetupDlg.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace sarvendo {
namespace {

using MainWindowCommandsTest = FullStartFixture;

TEST_F(MainWindowCommandsTest, IntervalZeroTicksOnlyOnRequestAndTheItemFollowsTheSetupDialog)
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

TEST_F(MainWindowCommandsTest, SetupDialogHasItsTitle)
{
    const TSetupDlg& setup = *Window().SetupDialog();
    EXPECT_EQ(setup.windowTitle(), QStringLiteral("Setup & About / Sarvendo for Windows 95"));
    EXPECT_TRUE(setup.isModal());
}

TEST_F(MainWindowCommandsTest, PopupMenuItemsFollowTheCarrier)
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

TEST_F(MainWindowCommandsTest, NoTwoItemsOfAMenuShareAnAccelerator)
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

TEST_F(MainWindowCommandsTest, HelpOpensAtTheContentsPage)
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

TEST_F(MainWindowCommandsTest, DialUpNotificationKeepsTheSecondNumberAndStartsLightsSafely)
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

} // namespace
} // namespace sarvendo
