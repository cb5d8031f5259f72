// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/QtNotificationArea.h"

#include <QCoreApplication>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>
#include <vector>

namespace sarvendo {
namespace {

using Msg = TrayMouseMessage;

// The tray host's activations as the component receives them. Offscreen there is no
// XEmbed tray, so the icon has no geometry, as under a StatusNotifierItem host.
TEST(QtNotificationAreaTest, ActivationsBecomeMouseMessagesAfterAMove)
{
    QtNotificationArea area;
    std::vector<Msg> seen;
    area.SetMessageHandler([&](Msg message) { seen.push_back(message); });
    area.Add(QImage(), QStringLiteral("tip"));
    auto* icon = area.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolTip(), QStringLiteral("tip"));
    EXPECT_TRUE(area.IconGeometry().isEmpty());

    struct Case
    {
        QSystemTrayIcon::ActivationReason reason;
        std::vector<Msg> expected;
    };
    for (const Case& c :
         {Case{QSystemTrayIcon::DoubleClick, {Msg::MouseMove, Msg::LeftButtonDoubleClick}},
          Case{QSystemTrayIcon::Context, {Msg::MouseMove, Msg::RightButtonDown}},
          Case{QSystemTrayIcon::MiddleClick, {Msg::MouseMove, Msg::MiddleButtonDown}},
          // Without geometry the host sends no double clicks: the primary activation is one.
          Case{QSystemTrayIcon::Trigger, {Msg::MouseMove, Msg::LeftButtonDown, Msg::LeftButtonDoubleClick}}}) {
        seen.clear();
        emit icon->activated(c.reason);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(seen, c.expected) << c.reason;
    }
}

TEST(QtNotificationAreaTest, ModifyChangesNothingWhileTheIconIsAway)
{
    QtNotificationArea area;
    area.Modify(QImage(), QStringLiteral("early"));
    area.Add(QImage(), QStringLiteral("shown"));
    area.Delete();
    area.Modify(QImage(), QStringLiteral("late"));
    EXPECT_EQ(area.findChild<QSystemTrayIcon*>()->toolTip(), QStringLiteral("shown"));
}

} // namespace
} // namespace sarvendo
