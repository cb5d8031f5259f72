// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DialUpSource.h"
#include "platform/linux/SystemCalls.h"

#include <functional>
#include <map>
#include <string>

namespace sarvendo {

// pppd as the dial-up program. A connection is a ppp interface whose pid file
// (/run/pppd/pppN.pid, /run/pppN.pid, /var/run/pppN.pid) names its pppd, in the order of
// the interface names; it counts as the connection dialog while the interface is up.
//
// The process table holds only the pppd that serves the monitored tty, so that a PPPoE
// or VPN pppd never counts as the modem's connection. The first test is the tty's own:
// while the program holds a descriptor of it, its line discipline says whether a pppd
// runs the link on it (N_PPP); while it is anything else, no pppd counts, whatever its
// command line or lock, and a connection found before ends. With the discipline PPP, or
// without a descriptor to ask, the rules below tell which pppd it is. A pppd serves the
// tty when the tty's UUCP lock file names it or the program that started it, its
// command line names the tty, or one of its descriptors is the tty. It serves another line when the lock
// names another process, its command line names another tty or a line that is no tty
// ("pty", "notty", "socket", a PPPoE, PPTP or L2TP plugin), or its descriptors can be
// read and none is the tty. Only a pppd of which none of this can be told (root's "pppd
// call provider" without a lock) is taken as it comes, as is any pppd while no tty is
// monitored.
//
// The search is cheap: only the processes that the ppp interfaces' pid files name are
// looked at, so while no ppp interface exists nothing but the list of interfaces is
// read, and never all of /proc. Only a process whose name (/proc/PID/comm) is pppd is
// looked at further, and the table is kept until the ppp interfaces, their pid files or
// the monitored tty change, or for kSnapshotMs at most. A process is pppd by its file
// (device and inode of /usr/sbin/pppd), as on systems where /usr/sbin and /usr/bin are
// one; for another user's process, whose executable link is hidden, by the first word of
// its command line.
//
// The counts are the interface's byte counters, the speed that of the last "CONNECT"
// line at the end of chat's report file when one is configured (read again only when
// the file's size or time changes), else 0.
class LinuxDialUpSource final : public DialUpSource
{
public:
    // monitoredDevice gives the tty of the monitored port, empty when there is none;
    // monitoredDiscipline its line discipline, nullopt while it cannot be asked.
    LinuxDialUpSource(SystemCalls& system, std::string connectReportFile = {},
                      std::function<std::string()> monitoredDevice = {},
                      std::function<std::optional<int>()> monitoredDiscipline = {});

    bool ProgramExists(const std::string& path) const override;
    std::vector<Process> ProcessSnapshot() override;
    std::vector<Window> WindowsInZOrder() override;
    std::optional<std::string> ClassName(std::uint64_t window) override;
    std::unique_ptr<ProcessHandle> OpenProcess(std::int64_t processId) override;
    std::uint64_t StatisticsAddress(std::uint64_t window) override;
    std::optional<Statistics> ReadStatistics(ProcessHandle& process, std::uint64_t address) override;

    // The speed in the last "CONNECT" line of a chat report, 0 when there is none or it
    // gives no number.
    static std::uint32_t ParseConnectSpeed(const std::string& report);

    static constexpr std::uint64_t kSnapshotMs = 5000;

private:
    struct PppInterface
    {
        std::string name;
        std::uint64_t index = 0;
        std::int64_t owner = 0; // from its pid file, 0 when none names it
    };

    std::vector<PppInterface> PppInterfaces();
    // The monitored tty's discipline is known and is not PPP: no pppd runs a link on it.
    bool MonitoredLineCarriesNoLink();
    std::vector<Process> ScanProcesses(const std::string& device, const std::vector<std::int64_t>& candidates);
    std::optional<std::int64_t> ParentOf(std::int64_t pid);
    bool ServesLine(std::int64_t pid, const std::string& commandLine, std::optional<DeviceNumber> wanted,
                    std::optional<std::int64_t> lockOwner);
    std::optional<std::string> InterfaceOf(std::uint64_t window);
    bool InterfaceUp(const std::string& name);
    std::optional<std::uint64_t> Counter(const std::string& name, const char* which);
    std::uint32_t ReportedSpeed();

    struct ReportCache
    {
        FileStatus status;
        std::uint32_t speed = 0;
    };

    struct Snapshot
    {
        std::string key; // the ppp interfaces and the monitored tty it was taken for
        std::uint64_t takenAt = 0;
        std::vector<Process> processes;
    };

    SystemCalls& m_system;
    std::string m_connectReportFile;
    std::function<std::string()> m_monitoredDevice;
    std::function<std::optional<int>()> m_monitoredDiscipline;
    std::optional<Snapshot> m_snapshot;
    std::map<std::uint64_t, std::string> m_interfaces; // window id (ifindex) -> name
    std::optional<ReportCache> m_report;
};

} // namespace sarvendo
