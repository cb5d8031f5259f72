// SPDX-License-Identifier: GPL-3.0-or-later
#include "components/TPGTimerManager.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeTimerSource.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace sarvendo {
namespace {

class TPGTimerManagerTest : public ::testing::Test
{
protected:
    TPGTimerManagerTest() { manager->SetEnabled(true); }

    // An item that counts its calls in fired[index].
    TPGTimerItem* Add(bool enabled, int interval)
    {
        const std::size_t index = fired.size();
        fired.push_back(0);
        return manager->AddTimer(enabled, interval, [this, index](TPGTimerItem&) { ++fired[index]; });
    }

    fakes::FakeClock clock;
    fakes::FakeTimerSource timer{clock};
    std::unique_ptr<TPGTimerManager> manager = std::make_unique<TPGTimerManager>(timer, clock);
    std::vector<int> fired;
};

TEST_F(TPGTimerManagerTest, SharedTimerTicksAtShortestIntervalButAtLeastEvery150Ms)
{
    struct Case
    {
        std::vector<int> intervals;
        std::uint32_t expected;
    };
    for (const Case& c : std::vector<Case>{{{400}, 150}, {{1000, 70}, 70}, {{55, 400}, 55}, {{10}, 55}}) {
        TPGTimerManager other(timer, clock);
        other.SetEnabled(true);
        for (const int interval : c.intervals) {
            other.AddTimer(true, interval, [](TPGTimerItem&) {});
        }
        EXPECT_EQ(timer.interval, c.expected);
        EXPECT_TRUE(timer.IsActive());
    }
}

TEST_F(TPGTimerManagerTest, NoEnabledItemLeavesTheTimerStopped)
{
    TPGTimerItem* item = Add(true, 400);
    ASSERT_TRUE(timer.IsActive());
    item->SetEnabled(false);
    EXPECT_FALSE(timer.IsActive());
    Add(false, 100);
    EXPECT_FALSE(timer.IsActive());
}

TEST_F(TPGTimerManagerTest, ItemFiresAtTheFirstTickAfterItsInterval)
{
    Add(true, 400);
    timer.Advance(449);
    EXPECT_EQ(fired[0], 0);
    timer.Advance(1);
    EXPECT_EQ(fired[0], 1);
    timer.Advance(450);
    EXPECT_EQ(fired[0], 2);
}

TEST_F(TPGTimerManagerTest, EveryRecalculationRestartsEveryEnabledPeriod)
{
    Add(true, 400);
    timer.Advance(300);
    TPGTimerItem* other = Add(false, 1000);
    other->SetEnabled(true); // the 400-ms item starts over here
    timer.Advance(300);
    EXPECT_EQ(fired[0], 0);
    timer.Advance(150);
    EXPECT_EQ(fired[0], 1);
    timer.Advance(200);
    other->SetInterval(1000); // unchanged: no restart
    other->SetInterval(2000); // the 400-ms item starts over again
    timer.Advance(449);
    EXPECT_EQ(fired[0], 1);
}

TEST_F(TPGTimerManagerTest, ItemsKeepFiringAcrossTheTickCountWrap)
{
    clock.SetTickCount(0xFFFFFF00U);
    Add(true, 100);
    Add(true, 400);
    timer.Advance(2000); // wraps after 256 ms
    EXPECT_EQ(fired[0], 20);
    EXPECT_EQ(fired[1], 5);
}

TEST_F(TPGTimerManagerTest, DisabledManagerStartsNothingUntilEnabled)
{
    TPGTimerManager idle(timer, clock);
    timer.Stop();
    idle.AddTimer(true, 200, [](TPGTimerItem&) {});
    EXPECT_FALSE(timer.IsActive());
    idle.SetEnabled(true);
    EXPECT_TRUE(timer.IsActive());
}

TEST_F(TPGTimerManagerTest, CallbackMayDestroyTheManager)
{
    manager->AddTimer(true, 100, [this](TPGTimerItem&) { manager.reset(); });
    Add(true, 100);
    timer.Advance(500);
    EXPECT_EQ(manager, nullptr);
    EXPECT_FALSE(timer.IsActive());
    EXPECT_EQ(fired[0], 0);
}

} // namespace
} // namespace sarvendo
