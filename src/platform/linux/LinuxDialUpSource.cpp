// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinuxDialUpSource.h"

#include "platform/TickPath.h"
#include "platform/linux/TtyHolders.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

namespace sarvendo {
namespace {

constexpr std::size_t kCommandLineMax = 4096;
// chat only appends to its report file, so the last call's line is at the end.
constexpr std::size_t kReportTail = 4096;
constexpr const char* kPppdPath = "/usr/sbin/pppd";

std::optional<std::uint64_t> Number(std::string text, int base = 10)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r')) {
        text.pop_back();
    }
    if (base == 16 && text.rfind("0x", 0) == 0) {
        text = text.substr(2);
    }
    std::uint64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool SameFile(const std::optional<FileStatus>& one, const std::optional<FileStatus>& other)
{
    return one && other && one->device == other->device && one->inode == other->inode;
}

bool NamedPppd(const std::string& path)
{
    const auto slash = path.rfind('/');
    return path.substr(slash == std::string::npos ? 0 : slash + 1) == kDialUpProgramName;
}

class LinuxProcess final : public DialUpSource::ProcessHandle
{
public:
    explicit LinuxProcess(std::int64_t id) : m_id(id) {}
    std::int64_t Id() const override { return m_id; }

private:
    std::int64_t m_id;
};

} // namespace

LinuxDialUpSource::LinuxDialUpSource(SystemCalls& system, std::string connectReportFile,
                                     std::function<std::string()> monitoredDevice,
                                     std::function<std::optional<int>()> monitoredDiscipline)
    : m_system(system), m_connectReportFile(std::move(connectReportFile)),
      m_monitoredDevice(std::move(monitoredDevice)), m_monitoredDiscipline(std::move(monitoredDiscipline))
{
}

bool LinuxDialUpSource::MonitoredLineCarriesNoLink()
{
    const std::string device = m_monitoredDevice ? m_monitoredDevice() : std::string();
    const auto discipline = device.empty() || !m_monitoredDiscipline ? std::nullopt : m_monitoredDiscipline();
    return discipline && *discipline != kPppDiscipline;
}

bool LinuxDialUpSource::ProgramExists(const std::string& path) const
{
    return m_system.Exists(path);
}

std::vector<LinuxDialUpSource::PppInterface> LinuxDialUpSource::PppInterfaces()
{
    std::vector<PppInterface> interfaces;
    for (const std::string& name : m_system.ListDirectory("/sys/class/net")) {
        if (name.rfind("ppp", 0) != 0) {
            continue;
        }
        const auto index = m_system.ReadFile("/sys/class/net/" + name + "/ifindex", kSmallFile);
        // No index and index 0 alike name no interface.
        const auto id = index ? Number(*index).value_or(0) : 0;
        if (id == 0) {
            continue;
        }
        std::int64_t owner = 0;
        for (const std::string& pidFile :
             {"/run/pppd/" + name + ".pid", "/run/" + name + ".pid", "/var/run/" + name + ".pid"}) {
            if (const auto content = m_system.ReadFile(pidFile, kSmallFile)) {
                owner = static_cast<std::int64_t>(Number(content->substr(0, content->find('\n'))).value_or(0));
                if (owner != 0) {
                    break;
                }
            }
        }
        interfaces.push_back({name, id, owner});
    }
    return interfaces;
}

std::vector<DialUpSource::Process> LinuxDialUpSource::ProcessSnapshot()
{
    const auto interfaces = PppInterfaces();
    // Only a process that a ppp interface's pid file names can own a connection, so only
    // those are looked at: none at all while no ppp interface exists.
    std::vector<std::int64_t> owners;
    std::string key;
    for (const PppInterface& interface : interfaces) {
        key += interface.name + ":" + std::to_string(interface.index) + ":" + std::to_string(interface.owner) + " ";
        if (interface.owner > 0 && std::find(owners.begin(), owners.end(), interface.owner) == owners.end()) {
            owners.push_back(interface.owner);
        }
    }
    if (owners.empty()) {
        m_snapshot.reset();
        return {};
    }
    const std::string device = m_monitoredDevice ? m_monitoredDevice() : std::string();
    if (MonitoredLineCarriesNoLink()) {
        // Whatever pppd runs, it runs elsewhere.
        m_snapshot.reset();
        return {};
    }
    key += "| " + device;
    const std::uint64_t now = m_system.MonotonicMs();
    if (!m_snapshot || m_snapshot->key != key || now - m_snapshot->takenAt >= kSnapshotMs) {
        m_snapshot = Snapshot{key, now, ScanProcesses(device, owners)};
    }
    return m_snapshot->processes;
}

std::vector<DialUpSource::Process> LinuxDialUpSource::ScanProcesses(const std::string& device,
                                                                    const std::vector<std::int64_t>& candidates)
{
    std::vector<Process> processes;
    // pppd under another name of the same file, as /usr/bin/pppd where /usr/sbin and
    // /usr/bin are one directory, is still pppd.
    std::optional<std::optional<FileStatus>> pppd;
    const auto isPppd = [&](const std::string& path) {
        if (!pppd) {
            pppd = m_system.StatusOf(kPppdPath);
        }
        return SameFile(m_system.StatusOf(path), *pppd);
    };
    const auto wanted = device.empty() ? std::nullopt : m_system.DeviceOf(device);
    const auto lockOwner = device.empty() ? std::nullopt : LockOwner(m_system, device);
    for (const std::int64_t id : candidates) {
        const std::string pid = std::to_string(id);
        // The process's name is one small read; the rest only for the few called pppd.
        const auto comm = m_system.ReadFile("/proc/" + pid + "/comm", kSmallFile);
        if (!comm || comm->substr(0, comm->find('\n')) != kDialUpProgramName) {
            continue;
        }
        Process process;
        process.id = static_cast<std::int64_t>(Number(pid).value_or(0));
        const std::string commandLine = m_system.ReadFile("/proc/" + pid + "/cmdline", kCommandLineMax).value_or("");
        if (auto exe = m_system.ReadLink("/proc/" + pid + "/exe")) {
            process.executable = *exe;
            // The link itself is stat'ed: it reaches the running file even when its name changed.
            if (*exe != kPppdPath && NamedPppd(*exe) && isPppd("/proc/" + pid + "/exe")) {
                process.executable = kPppdPath;
            }
        } else {
            // Another user's process: its executable link is hidden, its command line is not.
            const std::string first = commandLine.substr(0, commandLine.find('\0'));
            if (!first.empty() && first.front() == '/') {
                process.executable = first != kPppdPath && NamedPppd(first) && isPppd(first) ? kPppdPath : first;
            } else if (!first.empty() && first.find('/') == std::string::npos &&
                       m_system.Exists("/usr/sbin/" + first)) {
                process.executable = "/usr/sbin/" + first;
            }
        }
        if (!device.empty() && !ServesLine(process.id, commandLine, wanted, lockOwner)) {
            continue;
        }
        processes.push_back(std::move(process));
    }
    return processes;
}

std::optional<std::int64_t> LinuxDialUpSource::ParentOf(std::int64_t pid)
{
    // /proc/PID/stat: "pid (name) state ppid ...", where the name may hold anything.
    const auto stat = m_system.ReadFile("/proc/" + std::to_string(pid) + "/stat", kSmallFile);
    const auto close = stat ? stat->rfind(')') : std::string::npos;
    if (close == std::string::npos || close + 4 >= stat->size()) {
        return std::nullopt;
    }
    std::string rest = stat->substr(close + 4);
    rest = rest.substr(0, rest.find(' '));
    const auto parent = Number(rest);
    return parent ? std::optional<std::int64_t>(static_cast<std::int64_t>(*parent)) : std::nullopt;
}

bool LinuxDialUpSource::ServesLine(std::int64_t pid, const std::string& commandLine, std::optional<DeviceNumber> wanted,
                                   std::optional<std::int64_t> lockOwner)
{
    if (lockOwner) {
        // Whoever holds the tty's lock is on the line, itself or through the pppd it
        // started; nobody else is.
        return *lockOwner == pid || ParentOf(pid) == lockOwner;
    }
    bool elsewhere = false;
    std::vector<std::string> words;
    for (std::size_t at = 0; at < commandLine.size();) {
        const std::size_t end = std::min(commandLine.find('\0', at), commandLine.size());
        words.push_back(commandLine.substr(at, end - at));
        at = end + 1;
    }
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "pty" || word == "notty" || word == "socket") {
            elsewhere = true; // a line that is no tty: a tunnel or a script
            continue;
        }
        if (word == "plugin" && i + 1 < words.size()) {
            const std::string& plugin = words[++i];
            for (const char* tunnel : {"pppoe", "pppoatm", "pptp", "l2tp"}) {
                elsewhere = elsewhere || plugin.find(tunnel) != std::string::npos;
            }
            continue;
        }
        // pppd takes its tty as a path or as a name under /dev ("ttyS0"); the names are
        // narrowed to ttys, so that an option ("modem") or its value ("user console") is
        // not taken for one.
        std::string path;
        if (word.rfind("/dev/", 0) == 0) {
            path = word;
        } else if (word.find('/') == std::string::npos && (word.rfind("tty", 0) == 0 || word.rfind("rfcomm", 0) == 0)) {
            path = "/dev/" + word;
        }
        const auto number = path.empty() ? std::nullopt : m_system.DeviceOf(path);
        if (number) {
            if (wanted && *number == *wanted) {
                return true;
            }
            elsewhere = true;
        }
    }
    if (wanted) {
        const auto holds = ProcessHolds(m_system, pid, *wanted);
        if (holds.value_or(false)) {
            return true;
        }
        elsewhere = elsewhere || holds.has_value();
    }
    return !elsewhere;
}

std::vector<DialUpSource::Window> LinuxDialUpSource::WindowsInZOrder()
{
    std::vector<Window> windows;
    m_interfaces.clear();
    for (const PppInterface& interface : PppInterfaces()) {
        m_interfaces[interface.index] = interface.name;
        windows.push_back({interface.index, interface.owner});
    }
    return windows;
}

std::optional<std::string> LinuxDialUpSource::InterfaceOf(std::uint64_t window)
{
    const auto found = m_interfaces.find(window);
    if (found == m_interfaces.end()) {
        return std::nullopt;
    }
    // The interface may have gone and its number been reused by another.
    const auto index = m_system.ReadFile("/sys/class/net/" + found->second + "/ifindex", kSmallFile);
    if (!index || Number(*index) != window) {
        return std::nullopt;
    }
    return found->second;
}

bool LinuxDialUpSource::InterfaceUp(const std::string& name)
{
    constexpr std::uint64_t kIffUp = 0x1;
    const auto flags = m_system.ReadFile("/sys/class/net/" + name + "/flags", kSmallFile);
    const auto value = flags ? Number(*flags, 16) : std::nullopt;
    return value && (*value & kIffUp) != 0;
}

std::optional<std::string> LinuxDialUpSource::ClassName(std::uint64_t window)
{
    const auto name = InterfaceOf(window);
    if (!name) {
        return std::nullopt;
    }
    return InterfaceUp(*name) ? std::string(kConnectionClass) : "ppp-link-down";
}

std::unique_ptr<DialUpSource::ProcessHandle> LinuxDialUpSource::OpenProcess(std::int64_t processId)
{
    if (processId <= 0 || !m_system.Exists("/proc/" + std::to_string(processId))) {
        return nullptr;
    }
    return std::make_unique<LinuxProcess>(processId);
}

SARVENDO_TICK_PATH std::uint64_t LinuxDialUpSource::StatisticsAddress(std::uint64_t window)
{
    const auto name = InterfaceOf(window);
    // A connection found earlier ends as soon as the monitored line is seen to carry no
    // link: it was another line's, found while the line could not be asked.
    return name && InterfaceUp(*name) && !MonitoredLineCarriesNoLink() ? window : 0;
}

SARVENDO_TICK_PATH std::optional<std::uint64_t> LinuxDialUpSource::Counter(const std::string& name, const char* which)
{
    const auto text = m_system.ReadFile("/sys/class/net/" + name + "/statistics/" + which, kSmallFile);
    return text ? Number(*text) : std::nullopt;
}

SARVENDO_TICK_PATH std::optional<DialUpSource::Statistics> LinuxDialUpSource::ReadStatistics(ProcessHandle& /*process*/,
                                                                                             std::uint64_t address)
{
    const auto name = InterfaceOf(address);
    if (!name) {
        return std::nullopt;
    }
    const auto sent = Counter(*name, "tx_bytes");
    const auto received = Counter(*name, "rx_bytes");
    if (!sent || !received) {
        return std::nullopt;
    }
    Statistics statistics;
    // The counters are 64-bit; a connection long enough to pass 4 GiB is shown at the top.
    statistics.sent = static_cast<std::uint32_t>(std::min<std::uint64_t>(*sent, 0xFFFFFFFFU));
    statistics.received = static_cast<std::uint32_t>(std::min<std::uint64_t>(*received, 0xFFFFFFFFU));
    statistics.speed = ReportedSpeed();
    return statistics;
}

std::uint32_t LinuxDialUpSource::ReportedSpeed()
{
    if (m_connectReportFile.empty()) {
        return 0;
    }
    // Anything but a regular file is refused: a FIFO would block the tick and a tty would
    // have its DTR raised on every read.
    const auto status = m_system.StatusOf(m_connectReportFile);
    if (!status || status->kind != FileKind::Regular) {
        m_report.reset();
        return 0;
    }
    // The file is read again only when it changed, which for chat's report means a new call.
    if (m_report && m_report->status.device == status->device && m_report->status.inode == status->inode &&
        m_report->status.size == status->size && m_report->status.modifiedNs == status->modifiedNs) {
        return m_report->speed;
    }
    auto tail = m_system.ReadFileTail(m_connectReportFile, kReportTail);
    if (!tail) {
        m_report.reset();
        return 0;
    }
    if (status->size > tail->size()) {
        // The first line was cut in two by the read; it is older than any whole line after it.
        const auto lineEnd = tail->find('\n');
        tail->erase(0, lineEnd == std::string::npos ? tail->size() : lineEnd + 1);
    }
    m_report = ReportCache{*status, ParseConnectSpeed(*tail)};
    return m_report->speed;
}

std::uint32_t LinuxDialUpSource::ParseConnectSpeed(const std::string& report)
{
    constexpr std::string_view kConnect = "CONNECT";
    // The last call's report decides: a bare "CONNECT" (a modem set not to report its rate)
    // gives no speed rather than the one of an earlier call. "DISCONNECT" is not a report.
    std::size_t at = report.rfind(kConnect);
    while (at != std::string::npos && at > 0 && std::isalpha(static_cast<unsigned char>(report[at - 1])) != 0) {
        at = report.rfind(kConnect, at - 1);
    }
    if (at == std::string::npos) {
        return 0;
    }
    std::size_t digits = at + kConnect.size();
    while (digits < report.size() && report[digits] == ' ') {
        ++digits;
    }
    std::uint32_t value = 0;
    const auto result = std::from_chars(report.data() + digits, report.data() + report.size(), value);
    return result.ec == std::errc() && result.ptr != report.data() + digits ? value : 0;
}

} // namespace sarvendo
