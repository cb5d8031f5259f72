// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxDialUpSource.h"

#include "fakes/FakeSystemCalls.h"

#include <algorithm>
#include <functional>
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
        Process(1, "systemd", "/usr/lib/systemd/systemd");
        // A root pppd: its exe link is hidden, its command line is not.
        Process(412, "pppd", "", std::string("pppd\0call\0provider\0", 19));
        Process(900, "editor", "", std::string("/usr/bin/editor\0", 16));
        system.directories["/sys/class/net"] = {"eth0", "lo", "ppp0", "ppp1"};
        Interface("ppp0", 7, "412\n", "0x1091");
        Interface("ppp1", 9, "", "0x1090");
    }

    void Process(int pid, const std::string& comm, const std::string& exe, const std::string& commandLine = {})
    {
        const std::string base = "/proc/" + std::to_string(pid);
        system.existing.insert(base);
        system.files[base + "/comm"] = comm + "\n";
        if (!exe.empty()) {
            system.links[base + "/exe"] = exe;
        }
        if (!commandLine.empty()) {
            system.files[base + "/cmdline"] = commandLine;
        }
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
    ASSERT_EQ(processes.size(), 1U) << "only pppd is looked at";
    EXPECT_EQ(processes[0].id, 412);
    EXPECT_EQ(processes[0].executable, "/usr/sbin/pppd");
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
    system.directories["/sys/class/net"] = {"ppp0", "ppp1", "ppp2"};
    Interface("ppp0", 7, "500\n", "0x1091");
    Interface("ppp1", 9, "501\n", "0x1091");
    Interface("ppp2", 11, "502\n", "0x1091");
    system.statuses["/usr/sbin/pppd"] = FileStatus{FileKind::Regular, 8, 1234, 0, 0};
    Process(500, "pppd", "/usr/bin/pppd");
    system.statuses["/proc/500/exe"] = FileStatus{FileKind::Regular, 8, 1234, 0, 0};
    Process(501, "pppd", "/home/user/pppd"); // another program that is called pppd
    system.statuses["/proc/501/exe"] = FileStatus{FileKind::Regular, 9, 1234, 0, 0};
    Process(502, "pppd", "", std::string("/usr/bin/pppd\0call\0", 20)); // root's pppd
    system.statuses["/usr/bin/pppd"] = FileStatus{FileKind::Regular, 8, 1234, 0, 0};
    const auto processes = source.ProcessSnapshot();
    ASSERT_EQ(processes.size(), 3U);
    EXPECT_EQ(processes[0].executable, "/usr/sbin/pppd");
    EXPECT_EQ(processes[1].executable, "/home/user/pppd");
    EXPECT_EQ(processes[2].executable, "/usr/sbin/pppd");
}

// With a VPN or PPPoE pppd beside the modem's, only the modem's is the connection.
class PppdOfTheLineTest : public LinuxDialUpSourceTest
{
protected:
    PppdOfTheLineTest()
    {
        system.AddTty("/dev/ttyS0", 0x440);
        system.AddTty("/dev/ttyUSB0", 0xBC00);
        system.directories["/proc"] = {"300", "412"};
    }

    std::vector<std::int64_t> Found()
    {
        LinuxDialUpSource lineSource(system, {}, [this] { return device; });
        std::vector<std::int64_t> ids;
        for (const auto& process : lineSource.ProcessSnapshot()) {
            ids.push_back(process.id);
        }
        return ids;
    }

    std::string device = "/dev/ttyS0";
};

TEST_F(PppdOfTheLineTest, TheModemsPppdIsFoundAndTheOthersAreNot)
{
    struct Case
    {
        const char* what;
        std::function<void(FakeSystemCalls&)> setUp;
        std::vector<std::int64_t> found;
    };
    const auto commandLine = [](FakeSystemCalls& kernel, int pid, std::string line) {
        std::replace(line.begin(), line.end(), ' ', '\0');
        kernel.files["/proc/" + std::to_string(pid) + "/cmdline"] = line + '\0';
    };
    const std::vector<Case> cases{
        {"the tty's lock names the modem's pppd",
         [](FakeSystemCalls& k) {
             k.files["/run/lock/LCK..ttyS0"] = "       412\n";
             k.alive.insert(412);
         },
         {412}},
        {"the lock names another program: no pppd is on the line",
         [](FakeSystemCalls& k) {
             k.files["/run/lock/LCK..ttyS0"] = "       777\n";
             k.alive.insert(777);
         },
         {}},
        {"command lines: a PPPoE plugin and the tty by name",
         [&](FakeSystemCalls& k) {
             commandLine(k, 300, "/usr/sbin/pppd plugin rp-pppoe.so nic-eth0 call dsl");
             commandLine(k, 412, "/usr/sbin/pppd ttyS0 115200 call provider");
         },
         {412}},
        {"command lines: a VPN over a pty, the tty by path",
         [&](FakeSystemCalls& k) {
             commandLine(k, 300, "/usr/sbin/pppd pty ssh-tunnel noauth");
             commandLine(k, 412, "/usr/sbin/pppd /dev/ttyS0 call provider");
         },
         {412}},
        {"command lines: the other pppd dials on another modem, with the modem option",
         [&](FakeSystemCalls& k) {
             commandLine(k, 300, "/usr/sbin/pppd /dev/ttyUSB0 115200 modem crtscts");
             k.devices["/dev/modem"] = 0x440; // a link to the monitored tty
         },
         {412}},
        {"a dialer holds the lock and started the modem's pppd",
         [](FakeSystemCalls& k) {
             k.files["/run/lock/LCK..ttyS0"] = "       777\n";
             k.alive.insert(777);
             k.files["/proc/412/stat"] = "412 (pppd) S 777 412 412 0 -1 4194560 302 0 0 0";
             k.files["/proc/300/stat"] = "300 (pppd) S 1 300 300 0 -1 4194560 302 0 0 0";
         },
         {412}},
        {"descriptors: only the modem's pppd has the tty open",
         [](FakeSystemCalls& k) {
             k.AddHolder(412, 7, "/dev/ttyS0");
             k.directories["/proc/300/fd"] = {"0"};
             k.links["/proc/300/fd/0"] = "socket:[4711]";
         },
         {412}},
        {"nothing can be told: any pppd", [](FakeSystemCalls&) {}, {300, 412}},
    };
    for (const Case& c : cases) {
        system = FakeSystemCalls{};
        system.existing.insert("/usr/sbin/pppd");
        system.AddTty("/dev/ttyS0", 0x440);
        system.AddTty("/dev/ttyUSB0", 0xBC00);
        system.directories["/sys/class/net"] = {"ppp0", "ppp1"};
        Interface("ppp0", 7, "300\n", "0x1091");
        Interface("ppp1", 9, "412\n", "0x1091");
        Process(300, "pppd", "", std::string("pppd\0call\0vpn\0", 14));
        Process(412, "pppd", "", std::string("pppd\0call\0provider\0", 19));
        c.setUp(system);
        EXPECT_EQ(Found(), c.found) << c.what;
    }
    device.clear();
    EXPECT_EQ(Found(), (std::vector<std::int64_t>{300, 412})) << "no monitored tty: any pppd";
}

TEST_F(PppdOfTheLineTest, OnlyThePppdsOfPppInterfacesAreLookedAtAndTheTableIsKept)
{
    Process(412, "pppd", "", std::string("pppd\0/dev/ttyS0\0", 16));
    Process(300, "pppd", "", std::string("pppd\0pty\0vpn\0", 14));
    LinuxDialUpSource lineSource(system, {}, [this] { return device; });
    system.directories["/sys/class/net"] = {"eth0", "lo"};
    for (int tick = 0; tick < 100; ++tick) {
        EXPECT_TRUE(lineSource.ProcessSnapshot().empty());
    }
    EXPECT_EQ(system.fileReads["/proc/412/comm"] + system.fileReads["/proc/300/comm"], 0)
        << "pppd installed but idle: no process is looked at";

    // The VPN's interface comes up: one look at its pppd, kept while nothing changes.
    system.directories["/sys/class/net"] = {"eth0", "lo", "ppp0"};
    Interface("ppp0", 7, "300\n", "0x1091");
    for (int tick = 0; tick < 50; ++tick) {
        system.now += 56;
        EXPECT_TRUE(lineSource.ProcessSnapshot().empty());
    }
    EXPECT_EQ(system.fileReads["/proc/300/comm"], 1);
    // The modem's comes up beside it: a new interface means a new look at once.
    system.directories["/sys/class/net"] = {"eth0", "lo", "ppp0", "ppp1"};
    Interface("ppp1", 9, "412\n", "0x1091");
    EXPECT_EQ(lineSource.ProcessSnapshot().at(0).id, 412);
    EXPECT_EQ(system.fileReads["/proc/412/comm"], 1);
    system.now += LinuxDialUpSource::kSnapshotMs;
    lineSource.ProcessSnapshot();
    EXPECT_EQ(system.fileReads["/proc/412/comm"], 2) << "and at the latest after a while";
    device = "/dev/ttyUSB0";
    EXPECT_TRUE(lineSource.ProcessSnapshot().empty()) << "another port is monitored now";
    EXPECT_EQ(system.listings["/proc"], 0) << "never all of /proc";
}

} // namespace
} // namespace sarvendo
