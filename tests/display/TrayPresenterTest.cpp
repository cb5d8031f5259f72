// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/TrayPresenter.h"

#include "DisplayFakes.h"
#include "core/Settings.h"

#include "components/TPGTrayIcon95.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeNotificationArea.h"
#include "fakes/FakeTimerSource.h"
#include "fakes/FakeTrayOwnerWindow.h"
#include "resources/Resources.h"

#include <QCoreApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeLineParameters;

// The main window's tray icon on fakes, with a port monitored and the icon wanted.
class TrayPresenterTest : public ::testing::Test
{
protected:
    TrayPresenterTest() { settings.DefaultPort = 2, settings.ShowTrayIcon = 1; }

    QString Hint()
    {
        presenter.Win95Tray();
        return tray->Hint();
    }

    Settings settings;
    FakeLineParameters line;
    fakes::FakeClock clock;
    fakes::FakeTimerSource timer{clock};
    fakes::FakeNotificationArea area;
    fakes::FakeTrayOwnerWindow owner;
    QWidget form;
    TPGTrayIcon95* tray = new TPGTrayIcon95(&form, {area, timer, clock, owner});
    TrayPresenter presenter{settings, line, *tray};
};

TEST_F(TrayPresenterTest, IconFollowsCarrierAndTrafficLamps)
{
    struct Row
    {
        std::uint8_t cd, rd, td;
        const char* name;
    };
    const Row rows[] = {{1, 0, 0, "MODEM1"},    {1, 1, 0, "MODEM2"},    {1, 0, 1, "MODEM3"},    {1, 1, 1, "MODEM4"},
                        {0, 0, 0, "MODEM1_NC"}, {0, 1, 0, "MODEM2_NC"}, {2, 0, 1, "MODEM3_NC"}, {0, 1, 1, "MODEM4_NC"}};
    for (const Row& row : rows) {
        settings.LampCD = row.cd, settings.LampRD = row.rd, settings.LampTD = row.td;
        presenter.Win95Tray();
        EXPECT_EQ(TrayPresenter::TrayIconName(settings), row.name);
        EXPECT_EQ(area.picture, LoadResourceImage(row.name).value()) << row.name;
    }
}

TEST_F(TrayPresenterTest, LampOutsideZeroAndOneKeepsThePreviousIcon)
{
    settings.LampCD = 1, settings.LampRD = 1;
    presenter.Win95Tray();
    for (const auto& [rd, td] : {std::pair<std::uint8_t, std::uint8_t>{2, 0}, {0, 255}}) {
        settings.LampRD = rd, settings.LampTD = td;
        presenter.Win95Tray();
        EXPECT_EQ(TrayPresenter::TrayIconName(settings), "");
        EXPECT_EQ(area.picture, LoadResourceImage("MODEM2").value());
    }
}

TEST_F(TrayPresenterTest, ConnectedWithOnlyReceiveTrafficShowsReceivedCountFirst)
{
    settings.LampCD = 1, settings.LampRD = 1, settings.LampTD = 0;
    settings.RDCounter = 1234, settings.TDCounter = 0, settings.SpeedText = "@ 28800 bps";
    EXPECT_EQ(Hint(), QStringLiteral("1234 bytes received 0 bytes sent @ 28800 bps - COM2"));
    EXPECT_EQ(area.picture, LoadResourceImage("MODEM2").value());
    EXPECT_EQ(area.toolTip, tray->Hint());
}

TEST_F(TrayPresenterTest, LineTextFallsBackFromSpeedToParametersToProgramName)
{
    settings.LampCD = 0, settings.RDCounter = 99, settings.DefaultPort = 3;
    line.parameters = "8N1 57600 ";
    EXPECT_EQ(Hint(), QStringLiteral(" 8N1 57600  - COM3"));
    settings.SpeedText = "@ 9600 bps";
    EXPECT_EQ(Hint(), QStringLiteral(" @ 9600 bps - COM3"));
    settings.SpeedText.clear(), line.parameters.clear();
    EXPECT_EQ(Hint(), QStringLiteral(" Sarvendo 2.0 - COM3"));
}

TEST_F(TrayPresenterTest, PortDigitOnlyForPortsOneToFour)
{
    for (const auto& [port, ending] :
         {std::pair<int, const char*>{1, " - COM1"}, {4, " - COM4"}, {5, " - COM"}, {9, " - COM"}, {-3, " - COM"}}) {
        settings.DefaultPort = port;
        EXPECT_TRUE(Hint().endsWith(QLatin1String(ending))) << port;
    }
}

TEST_F(TrayPresenterTest, LongestHintIsCutToSixtyThreeInTheTray)
{
    settings.LampCD = 1, settings.RDCounter = 123456789, settings.TDCounter = 987654321;
    settings.SpeedText = "@ 115200 bp";
    const QString hint = Hint();
    EXPECT_EQ(hint.size(), 64);
    EXPECT_EQ(area.toolTip, hint.left(63));
}

TEST_F(TrayPresenterTest, NoPortLeavesTheIconAlone)
{
    settings.DefaultPort = 0, settings.ShowTrayIcon = 0;
    tray->SetActive(true); // as the main window creates it
    presenter.Win95Tray();
    EXPECT_TRUE(tray->Active());
    EXPECT_TRUE(tray->Hint().isEmpty());
    EXPECT_TRUE(area.picture.isNull());
}

TEST_F(TrayPresenterTest, ShowTrayIconOffRemovesTheIconAtEveryPaint)
{
    presenter.Win95Tray();
    ASSERT_TRUE(area.shown);
    settings.ShowTrayIcon = 0;
    for (int paint = 0; paint < 3; ++paint) {
        tray->SetActive(true);
        presenter.Win95Tray();
        EXPECT_FALSE(tray->Active());
        EXPECT_FALSE(area.shown);
    }
    settings.ShowTrayIcon = 1;
    presenter.Win95Tray();
    EXPECT_TRUE(area.shown);
}

TEST_F(TrayPresenterTest, DoubleClickShowsTheLayoutAndRestoresTheWindow)
{
    settings.NewOrientation = -4, settings.RebuildWindowLamps = 0;
    owner.minimized = true, owner.visible = false;
    presenter.TrayIconDblClick();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(settings.NewOrientation, 4);
    EXPECT_EQ(settings.RebuildWindowLamps, 1);
    EXPECT_FALSE(owner.minimized);
    EXPECT_TRUE(owner.visible);
}

} // namespace
} // namespace sarvendo
