// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DialUpNotification.h"

#include "app/DialUpLights.h"
#include "app/DialUpNotifyService.h"
#include "fakes/FakeProgramStarter.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace sarvendo {
namespace {

using namespace std::chrono_literals;

TEST(DialUpNotificationTest, SecondNumber)
{
    EXPECT_EQ(NotificationSecondNumber("12 345 rest"), 345);
    EXPECT_EQ(NotificationSecondNumber("12 345"), 345);
    EXPECT_EQ(NotificationSecondNumber("12 -7 x"), -7);
    EXPECT_EQ(NotificationSecondNumber("12"), 0);
    EXPECT_EQ(NotificationSecondNumber(""), 0);
    EXPECT_EQ(NotificationSecondNumber("12  345"), 0); // the text between the blanks is empty
    EXPECT_EQ(NotificationSecondNumber("12 3x4 rest"), 0);
    EXPECT_EQ(NotificationSecondNumber("12 99999999999 rest"), 0);
}

TEST(DialUpNotificationTest, TextIsCutSafely)
{
    EXPECT_EQ(CutNotificationText("1 2 abc"), "1 2 abc");
    EXPECT_EQ(CutNotificationText(std::string(259, 'a')).size(), 259U);
    EXPECT_EQ(CutNotificationText(std::string(100000, 'a')).size(), 259U);
    EXPECT_EQ(CutNotificationText(std::string("1 2 ab\0cd", 9)), "1 2 ab");
    // A cut never splits a character.
    std::string accents;
    for (int i = 0; i < 200; ++i) {
        accents += "\xC3\xA9";
    }
    const std::string cut = CutNotificationText(accents);
    EXPECT_EQ(cut.size(), 258U);
    EXPECT_EQ(cut, accents.substr(0, 258));
}

TEST(DialUpLights, StartsAtMostOnceASecondAndDropsTheRest)
{
    fakes::FakeProgramStarter programs;
    std::chrono::steady_clock::time_point now{};
    DialUpLights lights(programs, [&now] { return now; });

    const struct
    {
        std::chrono::milliseconds after; // since the previous notification
        bool started;
    } burst[] = {{0ms, true}, {10ms, false}, {500ms, false}, {489ms, false}, {1ms, true}, {999ms, false}, {2s, true}};
    int index = 0;
    for (const auto& [after, started] : burst) {
        now += after;
        EXPECT_EQ(lights.Start(std::to_string(index) + " 2 ppp0"), started) << index;
        ++index;
    }
    ASSERT_EQ(programs.started.size(), 3U);
    EXPECT_EQ(programs.started[0], (std::vector<std::string>{"lights!.exe", "0", "2", "ppp0"}));
    EXPECT_EQ(programs.started[1][1], "4");
    EXPECT_EQ(programs.started[2][1], "6");

    // A program that cannot start is not retried within the second either.
    programs.succeed = false;
    now += 5s;
    EXPECT_FALSE(lights.Start("1 2 x"));
    now += 100ms;
    EXPECT_FALSE(lights.Start("1 2 x"));
    EXPECT_EQ(programs.started.size(), 4U);
}

TEST(CutNotificationText, BytesThatAreNoUtf8AreCutAtTheLimitNotDropped)
{
    const std::pair<std::string, std::string> cases[] = {
        {std::string(300, '\xB9'), std::string(259, '\xB9')},
        {std::string(258, 'a') + "\xE2\x82\xAC", std::string(258, 'a')},
        {std::string(257, 'a') + "\xC3\xA9" + "x", std::string(257, 'a') + "\xC3\xA9"},
        {std::string(256, 'a') + "\xF0\x9F\x93\x9E", std::string(256, 'a')},
    };
    for (const auto& [sent, kept] : cases) {
        EXPECT_EQ(CutNotificationText(sent), kept) << sent.size();
    }
}

TEST(DialUpNotifyService, AHugeTextIsCutBeforeItIsConverted)
{
    DialUpNotifyService service;
    std::vector<std::pair<unsigned, std::string>> received;
    QObject::connect(&service, &DialUpNotifyService::Received,
                     [&received](unsigned tag, const std::string& text) { received.emplace_back(tag, text); });
    const struct
    {
        QString sent;
        std::string kept;
    } cases[] = {
        {QStringLiteral("1 2 ppp0"), "1 2 ppp0"},
        {QString(10'000'000, QLatin1Char('x')), std::string(kNotificationTextLimit, 'x')},
        // "é" is two bytes: the 130th would end past the limit and is left out whole.
        {QString(200, QChar(0xE9)),
         [] {
             std::string text;
             for (int i = 0; i < 129; ++i) {
                 text += "\xC3\xA9";
             }
             return text;
         }()},
        {QStringLiteral("1 2 a") + QChar(0) + QStringLiteral("hidden"), "1 2 a"},
    };
    for (const auto& [sent, kept] : cases) {
        received.clear();
        service.Notify(sent);
        ASSERT_EQ(received.size(), 1U);
        EXPECT_EQ(received[0].first, 1U);
        EXPECT_EQ(received[0].second, kept) << sent.left(20).toStdString();
    }
}

} // namespace
} // namespace sarvendo
