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

TEST(ConnectSpeedTest, TheLastCallsReportDecides)
{
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"", 0U},
        {"CONNECT", 0U},
        {"CONNECT 33600\r\nCONNECT fast\r\n", 0U},
        {"CONNECT 33600\r\nCONNECT\r\n", 0U},
        {"CONNECT 28800\nCONNECT 33600/LAPM\nDISCONNECT\n", 33600U},
        {"CONNECT 99999999999999", 0U},
    };
    for (const auto& [report, speed] : cases) {
        EXPECT_EQ(LinuxDialUpSource::ParseConnectSpeed(report), speed) << report;
    }
}

TEST_F(LinuxDialUpSourceTest, ReportFileIsReadAtItsEndAndOnlyWhenItChanges)
{
    source.WindowsInZOrder();
    auto process = source.OpenProcess(412);
    const std::string path = "/var/log/chat-report";
    // A year of calls: the first one's line lies far beyond any head a reader would take.
    system.files[path] = "CONNECT 9600\n" + std::string(200000, 'x') + "\nCONNECT 31200/V34\n";
    EXPECT_EQ(source.ReadStatistics(*process, 7)->speed, 31200U);
    EXPECT_EQ(source.ReadStatistics(*process, 7)->speed, 31200U);
    EXPECT_EQ(system.tailReads[path], 1) << "an unchanged file is not read again";

    system.files[path] += "CONNECT\n"; // the next call, from a modem that gives no rate
    EXPECT_EQ(source.ReadStatistics(*process, 7)->speed, 0U);
    system.files[path][20] = 'y';
    system.modified[path] = 5; // rewritten at the same size: its time tells
    EXPECT_EQ(source.ReadStatistics(*process, 7)->speed, 0U);
    EXPECT_EQ(system.tailReads[path], 3);

    // Not a regular file: a FIFO would block the tick, a tty would have DTR raised.
    for (const FileKind kind : {FileKind::Fifo, FileKind::CharacterDevice}) {
        system.statuses[path] = FileStatus{kind, 1, 2, 0, 0};
        EXPECT_EQ(source.ReadStatistics(*process, 7)->speed, 0U);
    }
    EXPECT_EQ(system.tailReads[path], 3);
}

TEST_F(LinuxDialUpSourceTest, PppdIsKnownByItsFileNotItsName)
{
    // Where /usr/sbin and /usr/bin are one directory, the kernel names pppd /usr/bin/pppd.
    system.directories["/proc"] = {"500", "501", "502"};
    system.statuses["/usr/sbin/pppd"] = FileStatus{FileKind::Regular, 8, 1234, 0, 0};
    system.links["/proc/500/exe"] = "/usr/bin/pppd";
    system.statuses["/proc/500/exe"] = FileStatus{FileKind::Regular, 8, 1234, 0, 0};
    system.links["/proc/501/exe"] = "/home/user/pppd"; // another program that is called pppd
    system.statuses["/proc/501/exe"] = FileStatus{FileKind::Regular, 9, 1234, 0, 0};
    system.files["/proc/502/cmdline"] = std::string("/usr/bin/pppd\0call\0", 20); // root's pppd
    system.statuses["/usr/bin/pppd"] = FileStatus{FileKind::Regular, 8, 1234, 0, 0};
    const auto processes = source.ProcessSnapshot();
    ASSERT_EQ(processes.size(), 3U);
    EXPECT_EQ(processes[0].executable, "/usr/sbin/pppd");
    EXPECT_EQ(processes[1].executable, "/home/user/pppd");
    EXPECT_EQ(processes[2].executable, "/usr/sbin/pppd");
}

} // namespace
} // namespace sarvendo
