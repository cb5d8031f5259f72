#include "platform/linux/LinuxDialUpSource.h"

#include "fakes/FakeSystemCalls.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeSystemCalls;

class LinuxDialUpSourceTest : public ::testing::Test
{
protected:
    LinuxDialUpSourceTest()
    {
        system.existing.insert("/usr/sbin/pppd");
        system.directories["/proc"] = {"1", "412", "self", "900"};
        system.links["/proc/1/exe"] = "/usr/lib/systemd/systemd";
        // A root pppd: its exe link is hidden, its command line is not.
        system.files["/proc/412/cmdline"] = std::string("pppd\0call\0provider\0", 19);
        system.files["/proc/900/cmdline"] = std::string("/usr/bin/editor\0", 16);
        system.existing.insert("/proc/412");
        system.directories["/sys/class/net"] = {"eth0", "lo", "ppp0", "ppp1"};
        Interface("ppp0", 7, "412\n", "0x1091");
        Interface("ppp1", 9, "", "0x1090");
    }

    void Interface(const std::string& name, int index, const std::string& pidFile, const std::string& flags)
    {
        const std::string base = "/sys/class/net/" + name;
        system.files[base + "/ifindex"] = std::to_string(index) + "\n";
        system.files[base + "/flags"] = flags + "\n";
        system.files[base + "/statistics/tx_bytes"] = "1234\n";
        system.files[base + "/statistics/rx_bytes"] = "99999999999\n";
        if (!pidFile.empty()) {
            system.files["/run/pppd/" + name + ".pid"] = pidFile;
        }
    }

    FakeSystemCalls system;
    LinuxDialUpSource source{system, "/var/log/chat-report"};
};

TEST_F(LinuxDialUpSourceTest, FindsPppdEvenWhenItBelongsToRoot)
{
    EXPECT_TRUE(source.ProgramExists("/usr/sbin/pppd"));
    EXPECT_FALSE(source.ProgramExists("/usr/sbin/rnaapp"));
    const auto processes = source.ProcessSnapshot();
    ASSERT_EQ(processes.size(), 3U);
    EXPECT_EQ(processes[0].executable, "/usr/lib/systemd/systemd");
    EXPECT_EQ(processes[1].id, 412);
    EXPECT_EQ(processes[1].executable, "/usr/sbin/pppd");
    EXPECT_EQ(processes[2].executable, "/usr/bin/editor");
}

TEST_F(LinuxDialUpSourceTest, InterfacesAreTheConnectionsOfTheirPppd)
{
    const auto windows = source.WindowsInZOrder();
    ASSERT_EQ(windows.size(), 2U);
    EXPECT_EQ(windows[0].id, 7U);
    EXPECT_EQ(windows[0].processId, 412);
    EXPECT_EQ(windows[1].processId, 0) << "no pid file";
    EXPECT_EQ(source.ClassName(7), std::string(kConnectionClass));
    EXPECT_EQ(source.ClassName(9), std::string("ppp-link-down"));
    EXPECT_FALSE(source.ClassName(8).has_value());
    EXPECT_EQ(source.StatisticsAddress(7), 7U);
    EXPECT_EQ(source.StatisticsAddress(9), 0U);
}

TEST_F(LinuxDialUpSourceTest, CountersAndTheReportedSpeed)
{
    source.WindowsInZOrder();
    auto process = source.OpenProcess(412);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(source.OpenProcess(413), nullptr);
    system.files["/var/log/chat-report"] = "chat:  Dec 08 CONNECT 31200/ARQ/V34\nCONNECT 26400/ARQ\n";
    const auto statistics = source.ReadStatistics(*process, 7);
    ASSERT_TRUE(statistics);
    EXPECT_EQ(statistics->sent, 1234U);
    EXPECT_EQ(statistics->received, 0xFFFFFFFFU);
    EXPECT_EQ(statistics->speed, 26400U);

    system.files.erase("/var/log/chat-report");
    EXPECT_EQ(source.ReadStatistics(*process, 7)->speed, 0U);
}

TEST_F(LinuxDialUpSourceTest, GoneOrReusedInterfaceIsNoConnection)
{
    source.WindowsInZOrder();
    system.files["/sys/class/net/ppp0/ifindex"] = "12\n";
    EXPECT_EQ(source.StatisticsAddress(7), 0U);
    system.files.erase("/sys/class/net/ppp0/ifindex");
    EXPECT_EQ(source.StatisticsAddress(7), 0U);
    auto process = source.OpenProcess(412);
    EXPECT_FALSE(source.ReadStatistics(*process, 7).has_value());
}

TEST(ConnectSpeedTest, TakesTheLastConnectLine)
{
    EXPECT_EQ(LinuxDialUpSource::ParseConnectSpeed(""), 0U);
    EXPECT_EQ(LinuxDialUpSource::ParseConnectSpeed("CONNECT"), 0U);
    EXPECT_EQ(LinuxDialUpSource::ParseConnectSpeed("CONNECT 33600\r\nCONNECT fast\r\n"), 33600U);
    EXPECT_EQ(LinuxDialUpSource::ParseConnectSpeed("CONNECT 99999999999999"), 0U);
}

} // namespace
} // namespace sarvendo
