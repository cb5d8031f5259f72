// The window's own behaviour: painting, the caption, staying on top and the tray.
#include "MainWindowFixture.h"

#include "app/TImage.h"
#include "components/TPGTrayIcon95.h"
#include "platform/StatusDriverDevice.h"
#include "setup/TSetupDlg.h"

#include <QAction>
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using MainWindowDisplayTest = FullStartFixture;

TEST_F(MainWindowDisplayTest, AnIdleLineRepaintsNothing)
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

TEST_F(MainWindowDisplayTest, TheTopRowShowsThePanelsBackground)
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

// The picture is only as large as the client area; the control beyond it must not show
// whatever the paint buffer held.
TEST_F(MainWindowDisplayTest, TheImageControlBeyondThePanelsPictureShowsItsBackground)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nBackgroundColor=255\r\n"); // red
    Start();
    QCoreApplication::processEvents();
    TImage& image = *Window().Image();
    ASSERT_LT(image.Picture().width(), image.width());
    ASSERT_LT(image.Picture().height(), image.height());
    const QImage shot = image.grab().toImage();
    for (const QPoint at : {QPoint(image.Picture().width(), 0), QPoint(0, image.Picture().height()),
                            QPoint(shot.width() - 1, shot.height() - 1)}) {
        EXPECT_EQ(QColor(shot.pixel(at)), QColor(255, 0, 0)) << at.x() << "," << at.y();
    }
}

TEST_F(MainWindowDisplayTest, TheCaptionTogglesInPlaceButNotWhileMinimised)
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

TEST_F(MainWindowDisplayTest, AnotherScreenRebuildsThePanelLikeAThemeChange)
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

TEST_F(MainWindowDisplayTest, AStoredHiddenCaptionIsHiddenAtTheFirstPaint)
{
    WriteIni("[Sarvendo: Main]\r\nDefault Port=1\r\n[Sarvendo on COM1]\r\nNo Title Bar=1\r\n");
    Start();
    EXPECT_EQ(settings.NoTitleBar, 1);
    EXPECT_TRUE(Window().windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST_F(MainWindowDisplayTest, StayOnTopWaitsForTheSetupDialogToClose)
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

TEST_F(MainWindowDisplayTest, MinimisingGoesToTheTrayAndTheDoubleClickBringsItBack)
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

TEST_F(MainWindowDisplayTest, WithoutTheTrayOptionMinimisingKeepsTheTaskbarEntry)
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

TEST_F(MainWindowDisplayTest, AProgramClosedInTheTrayStartsThereAndKeepsTheSign)
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

TEST_F(MainWindowDisplayTest, AWindowIsOnlyHiddenWhileATrayHostCanBringItBack)
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

} // namespace
} // namespace sarvendo
