#pragma once

#include "platform/DialUpSource.h"
#include "platform/linux/SystemCalls.h"

#include <map>
#include <string>

namespace sarvendo {

// pppd as the dial-up program. The process table is /proc (the executable from
// /proc/PID/exe, or, for another user's process such as a root pppd, the first word of
// its command line resolved in /usr/sbin); a connection is a ppp interface whose pid
// file (/run/pppd/pppN.pid, /run/pppN.pid, /var/run/pppN.pid) names its pppd, in the
// order of the interface names; it counts as the connection dialog while the interface
// is up. A process whose program is called pppd counts as /usr/sbin/pppd when it is the
// same file (device and inode), as on systems where /usr/sbin and /usr/bin are one. The
// counts are the interface's byte counters, the speed that of the last "CONNECT" line at
// the end of chat's report file when one is configured (read again only when the file's
// size or time changes), else 0.
class LinuxDialUpSource final : public DialUpSource
{
public:
    LinuxDialUpSource(SystemCalls& system, std::string connectReportFile = {});

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

private:
    std::optional<std::string> InterfaceOf(std::uint64_t window);
    bool InterfaceUp(const std::string& name);
    std::optional<std::uint64_t> Counter(const std::string& name, const char* which);
    std::uint32_t ReportedSpeed();

    struct ReportCache
    {
        FileStatus status;
        std::uint32_t speed = 0;
    };

    SystemCalls& m_system;
    std::string m_connectReportFile;
    std::map<std::uint64_t, std::string> m_interfaces; // window id (ifindex) -> name
    std::optional<ReportCache> m_report;
};

} // namespace sarvendo
