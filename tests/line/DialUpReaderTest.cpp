// SPDX-License-Identifier: GPL-3.0-or-later
#include "line/DialUpReader.h"

#include "core/Settings.h"

#include "fakes/FakeDialUpSource.h"
#include "fakes/FakeDirectories.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeDialUpSource;
using fakes::FakeDirectories;

class DialUpReaderTest : public ::testing::Test
{
protected:
    DialUpReaderTest()
    {
        directories.system = "/usr/sbin";
        source.installedAt = "/usr/sbin/pppd";
        settings.DialUpKind = DetectDialUpKind(source, directories);
        source.processes = {{1, "/sbin/init"}, {412, "/usr/sbin/pppd"}, {500, "/usr/bin/pppd"}};
    }

    void Connect(std::uint64_t window, std::uint32_t sent, std::uint32_t received, std::uint32_t speed)
    {
        source.windows.push_back({window, 412});
        source.connections[window].statistics = DialUpSource::Statistics{sent, received, speed};
        source.connections[window].address = window * 16;
    }

    Settings settings;
    FakeDirectories directories;
    FakeDialUpSource source;
    DialUpReader reader{source, directories};
};

TEST_F(DialUpReaderTest, NoDialUpProgramMeansNoSearchAtAll)
{
    source.installedAt.clear();
    settings.DialUpKind = DetectDialUpKind(source, directories);
    EXPECT_EQ(settings.DialUpKind, 0);
    Connect(3, 10, 20, 28800);
    for (int tick = 0; tick < 3; ++tick) {
        const auto reading = reader.ReadDialUpCounters(settings);
        EXPECT_EQ(reading.counts.sent, 0);
        EXPECT_EQ(reading.counts.received, 0);
        EXPECT_FALSE(reading.connected);
    }
    EXPECT_EQ(source.snapshots, 0);
}

TEST_F(DialUpReaderTest, FoundConnectionGivesItsCountsAsksForAFreshBaseAndMeansCarrier)
{
    EXPECT_EQ(settings.DialUpKind, 1);
    Connect(3, 1500, 64000, 33600);
    const auto reading = reader.ReadDialUpCounters(settings);
    EXPECT_EQ(reading.counts.sent, 1500);
    EXPECT_EQ(reading.counts.received, 64000);
    EXPECT_EQ(reading.counts.speed, 33600);
    EXPECT_EQ(settings.DialUpFound, 1);
    EXPECT_EQ(settings.DialUpWindow, 3U);
    EXPECT_TRUE(reading.connected);
    EXPECT_TRUE(reading.newConnection);
    EXPECT_EQ(settings.LampCD, 0) << "the reader reports; the poll cycle lights the lamp";

    // Once found, reads go straight to the block: no new search, no reset.
    source.connections[3].statistics = DialUpSource::Statistics{1600, 65000, 33600};
    const auto next = reader.ReadDialUpCounters(settings);
    EXPECT_EQ(next.counts.sent, 1600);
    EXPECT_EQ(source.snapshots, 1);
    EXPECT_TRUE(next.connected);
    EXPECT_FALSE(next.newConnection);
}

TEST_F(DialUpReaderTest, OnlyTheExactProgramPathMatches)
{
    source.processes = {{500, "/usr/bin/pppd"}, {501, "/USR/SBIN/PPPD"}};
    source.windows = {{3, 500}, {4, 501}};
    EXPECT_EQ(reader.ReadDialUpCounters(settings).counts.sent, 0);
    EXPECT_EQ(settings.DialUpFound, 0);
    EXPECT_EQ(source.processOpens, 0);
}

TEST_F(DialUpReaderTest, FirstWindowNotTheConnectionSearchesEveryTickWithoutPilingHandles)
{
    source.windows.push_back({2, 412});
    source.connections[2].className = "SomethingElse";
    Connect(3, 10, 20, 28800);
    for (int tick = 0; tick < 5; ++tick) {
        const auto reading = reader.ReadDialUpCounters(settings);
        EXPECT_EQ(reading.counts.sent, 0);
        EXPECT_EQ(settings.DialUpFound, 0);
        EXPECT_FALSE(reading.connected);
    }
    EXPECT_EQ(source.snapshots, 5);
    EXPECT_EQ(source.processOpens, 5);
    EXPECT_EQ(source.openHandles, 1);
    reader.CloseProcess();
    EXPECT_EQ(source.openHandles, 0);
}

TEST_F(DialUpReaderTest, UnreadableClassNameIsNotAConnection)
{
    Connect(3, 10, 20, 28800);
    source.connections[3].className.reset();
    EXPECT_EQ(reader.ReadDialUpCounters(settings).counts.sent, 0);
    EXPECT_EQ(settings.DialUpFound, 0);
}

TEST_F(DialUpReaderTest, SeveralWindowsTheFirstOfTheProcessDecides)
{
    source.windows.push_back({1, 77}); // another program's window comes first
    Connect(5, 111, 222, 28800);
    Connect(6, 333, 444, 33600);
    const auto reading = reader.ReadDialUpCounters(settings);
    EXPECT_EQ(reading.counts.sent, 111);
    EXPECT_EQ(settings.DialUpWindow, 5U);
}

TEST_F(DialUpReaderTest, ClosedConnectionGivesOneTickOfZerosThenSearchesAgain)
{
    Connect(3, 10, 20, 28800);
    ASSERT_EQ(reader.ReadDialUpCounters(settings).counts.sent, 10);
    source.connections[3].address = 0;
    settings.LampCD = 0;
    const auto closed = reader.ReadDialUpCounters(settings);
    EXPECT_EQ(closed.counts.sent, 0);
    EXPECT_EQ(closed.counts.received, 0);
    EXPECT_EQ(settings.DialUpFound, 0);
    EXPECT_FALSE(closed.connected);
    EXPECT_EQ(source.snapshots, 1);

    source.windows.clear();
    source.connections.clear();
    Connect(8, 5, 6, 33600);
    const auto again = reader.ReadDialUpCounters(settings);
    EXPECT_EQ(source.snapshots, 2);
    EXPECT_EQ(again.counts.sent, 5);
    EXPECT_EQ(source.openHandles, 1);
}

TEST_F(DialUpReaderTest, NoWindowOrNoProcessKeepsSearching)
{
    EXPECT_EQ(reader.ReadDialUpCounters(settings).counts.sent, 0);
    source.processes.clear();
    EXPECT_EQ(reader.ReadDialUpCounters(settings).counts.sent, 0);
    EXPECT_EQ(source.snapshots, 2);
    EXPECT_EQ(settings.DialUpFound, 0);
    EXPECT_EQ(source.processOpens, 0);
}

TEST_F(DialUpReaderTest, FailedReadGivesZerosButKeepsTheConnection)
{
    Connect(3, 10, 20, 28800);
    source.connections[3].statistics.reset();
    const auto reading = reader.ReadDialUpCounters(settings);
    EXPECT_EQ(reading.counts.sent, 0);
    EXPECT_EQ(reading.counts.speed, 0);
    EXPECT_EQ(settings.DialUpFound, 1);
    EXPECT_TRUE(reading.connected);
}

TEST_F(DialUpReaderTest, LargeCountsAndFastLinksAreNotCut)
{
    Connect(3, 20'000'000, 0xFFFFFFFFU, 115200);
    const auto reading = reader.ReadDialUpCounters(settings);
    EXPECT_EQ(reading.counts.sent, 20'000'000);
    EXPECT_EQ(reading.counts.received, 0x7FFFFFFF);
    EXPECT_EQ(reading.counts.speed, 115200);
}

} // namespace
} // namespace sarvendo
