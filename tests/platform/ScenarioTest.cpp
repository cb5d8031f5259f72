// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sim/Scenario.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using Kind = ScenarioEvent::Kind;

TEST(ScenarioTest, ReadsEveryEventWithAbsoluteAndRelativeTimes)
{
    const auto parsed = ParseScenario("# a test\n"
                                      "LOOP\r\n"
                                      "port 2\n"
                                      "0 dsr on\n"
                                      "1.5 ring   # first ring\n"
                                      "+0.25 open Minicom\n"
                                      "+0 params 38400 7E2\n"
                                      "4 carrier 28800\n"
                                      "+1 traffic 100 2000\n"
                                      "+2 carrier off\n"
                                      "+0 close\n"
                                      "+3 end\n");
    ASSERT_TRUE(parsed.scenario) << parsed.error;
    const Scenario& s = *parsed.scenario;
    EXPECT_TRUE(s.loop);
    EXPECT_EQ(s.port, 2);
    EXPECT_EQ(s.lengthMs, 10000U);
    ASSERT_EQ(s.events.size(), 8U);
    EXPECT_EQ(s.events[0].kind, Kind::Line);
    EXPECT_EQ(s.events[0].signal, ScenarioEvent::Signal::Dsr);
    EXPECT_TRUE(s.events[0].on);
    EXPECT_EQ(s.events[1].atMs, 1500U);
    EXPECT_EQ(s.events[2].atMs, 1750U);
    EXPECT_EQ(s.events[2].program, "Minicom");
    EXPECT_EQ(s.events[3].first, 38400U);
    EXPECT_EQ(s.events[3].byteSize, 7);
    EXPECT_EQ(s.events[3].parity, 2);
    EXPECT_EQ(s.events[3].stopBits, 2);
    EXPECT_EQ(s.events[4].first, 28800U);
    EXPECT_EQ(s.events[5].second, 2000U);
    EXPECT_EQ(s.events[6].kind, Kind::Carrier);
    EXPECT_EQ(s.events[6].first, 0U);
    EXPECT_EQ(s.events[7].kind, Kind::Close);
}

TEST(ScenarioTest, BrokenTextNamesTheLine)
{
    const struct
    {
        const char* text;
        const char* error;
    } cases[] = {
        {"0 fly away", "line 1: unknown event \"fly\" or wrong values"},
        {"\n\nx ring", "line 3: \"x\" is not a time in seconds"},
        {"5 ring\n2 ring", "line 2: events must come in time order"},
        {"0 carrier fast", "line 1: carrier needs a speed in bps or \"off\""},
        {"0 traffic 10", "line 1: unknown event \"traffic\" or wrong values"},
        {"0 params 9600 9N1", "line 1: params needs a baud rate and a frame such as 8N1"},
        {"0 end\n1 ring", "line 2: nothing may follow \"end\""},
        {"loop\n0 ring", "a looping scenario must last longer than 0 seconds"},
        {"port 12", "line 1: the port must be 1 to 9"},
        {"1e9 ring", "line 1: \"1e9\" is not a time in seconds"},
        {"999999999 ring", "line 1: a scenario lasts at most a week"},
        {"0 dtr maybe", "line 1: unknown event \"dtr\" or wrong values"},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseScenario(c.text);
        EXPECT_FALSE(parsed.scenario) << c.text;
        EXPECT_EQ(parsed.error, c.error) << c.text;
    }
}

TEST(ScenarioTest, EmptyTextIsAQuietLine)
{
    const auto parsed = ParseScenario("");
    ASSERT_TRUE(parsed.scenario);
    EXPECT_TRUE(parsed.scenario->events.empty());
    EXPECT_FALSE(parsed.scenario->loop);
}

TEST(ScenarioTest, BuiltInScenarioPlaysAWholeCallOnALoop)
{
    const auto parsed = ParseScenario(BuiltInScenarioText());
    ASSERT_TRUE(parsed.scenario) << parsed.error;
    const Scenario& s = *parsed.scenario;
    EXPECT_TRUE(s.loop);
    int rings = 0;
    bool answered = false;
    bool hungUp = false;
    for (const auto& event : s.events) {
        rings += event.kind == Kind::Ring ? 1 : 0;
        if (event.kind == Kind::Carrier && event.first != 0) {
            answered = event.first == 33600 || event.first == 28800;
        }
        hungUp = hungUp || (answered && event.kind == Kind::Carrier && event.first == 0);
    }
    EXPECT_GE(rings, 2);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(hungUp);
    EXPECT_GT(s.lengthMs, s.events.back().atMs);
}

} // namespace
} // namespace sarvendo
