// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineTick.h"
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeEventPump.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeSystemCalls.h"
#include "line/LineSession.h"
#include "platform/StatusDriverDevice.h"
#include "platform/linux/LinuxDialUpSource.h"
#include "platform/linux/LinuxModemLines.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/TtyWatcher.h"

#include <benchmark/benchmark.h>

namespace sarvendo {
namespace {

constexpr const char* kModem = "/dev/ttyS0";
constexpr int kProcesses = 500;

// The status driver module's inside on the fake kernel, without loading the module.
class WatcherDriver final : public StatusDriverDevice
{
public:
    explicit WatcherDriver(SystemCalls& system) : m_watcher(system) {}
    std::int32_t Open(const std::string& /*path*/) override { return 1; }
    void Close(std::int32_t /*handle*/) override {}
    Reply Request(std::int32_t /*handle*/, std::uint32_t code, std::uint32_t /*outBufferSize*/) override
    {
        return m_watcher.Request(kModem, code);
    }

private:
    TtyWatcher m_watcher;
};

// A desktop's process table: 500 processes of a dozen descriptors each (a terminal, a
// socket, a pipe, /dev/null and open files), pppd installed, and a modem on ttyS0.
void FillDesktop(fakes::FakeSystemCalls& system)
{
    system.existing.insert("/usr/sbin/pppd");
    system.directories["/sys/class/net"] = {"eth0", "lo"};
    system.directories["/run/lock"] = {};
    system.existing.insert("/run/lock");
    auto& modem = system.AddTty(kModem, 0x440);
    modem.bits = kTiocmDtr | kTiocmRts | kTiocmCts | kTiocmDsr;
    system.AddTty("/dev/pts/3", 0x8803);
    system.devices["/dev/null"] = 0x103;
    auto& processes = system.directories["/proc"];
    for (int pid = 1000; pid < 1000 + kProcesses; ++pid) {
        const std::string base = "/proc/" + std::to_string(pid);
        processes.push_back(std::to_string(pid));
        system.files[base + "/comm"] = "worker" + std::to_string(pid % 37) + "\n";
        system.files[base + "/cmdline"] = std::string("/usr/bin/worker\0--daemon\0", 25);
        auto& fds = system.directories[base + "/fd"];
        for (int fd = 0; fd < 12; ++fd) {
            const std::string entry = base + "/fd/" + std::to_string(fd);
            fds.push_back(std::to_string(fd));
            if (fd < 3) {
                system.links[entry] = "/dev/pts/3";
                system.devices[entry] = 0x8803;
            } else if (fd == 3) {
                system.links[entry] = "socket:[" + std::to_string(pid * 16 + fd) + "]";
            } else if (fd == 4) {
                system.links[entry] = "pipe:[" + std::to_string(pid * 16 + fd) + "]";
            } else if (fd == 5) {
                system.links[entry] = "/dev/null";
                system.devices[entry] = 0x103;
            } else {
                system.links[entry] = "/home/user/.cache/file" + std::to_string(fd);
            }
        }
    }
}

// pppd dialled out on the modem: it holds the tty, and its interface is up.
void Connect(fakes::FakeSystemCalls& system)
{
    system.files["/proc/412/comm"] = "pppd\n";
    system.files["/proc/412/cmdline"] = std::string("/usr/sbin/pppd\0/dev/ttyS0\0"
                                                    "115200\0call\0provider\0",
                                                    48);
    system.existing.insert("/proc/412");
    system.AddHolder(412, 7, kModem);
    system.files["/run/lock/LCK..ttyS0"] = "       412\n";
    system.alive.insert(412);
    system.directories["/sys/class/net"] = {"eth0", "lo", "ppp0"};
    system.files["/sys/class/net/ppp0/ifindex"] = "7\n";
    system.files["/sys/class/net/ppp0/flags"] = "0x1091\n";
    system.files["/sys/class/net/ppp0/statistics/tx_bytes"] = "48211\n";
    system.files["/sys/class/net/ppp0/statistics/rx_bytes"] = "912330\n";
    system.files["/run/pppd/ppp0.pid"] = "412\n";
    auto& modem = system.ttys[kModem];
    modem.bits |= kTiocmCar;
    modem.discipline = kPppDiscipline;
}

// One tick of the Linux line side on the fake kernel, amortised over many seconds of
// ticks at 18 a second (the one-second and one-minute looks included). range(0): 0 the
// modem is idle, 1 a connection is up; range(1): 1 inotify works, 0 it does not (the
// user's watches are used up) and /proc is read every five seconds instead.
void BM_LinuxLineTick(benchmark::State& state)
{
    fakes::FakeSystemCalls system;
    FillDesktop(system);
    if (state.range(0) == 1) {
        Connect(system);
    }
    if (state.range(1) == 0) {
        system.watchError = -ENOSPC;
    }
    PortDeviceMap devices{kModem};
    const auto monitored = [] { return 1; };
    LinuxModemLines modemLines(system, devices, monitored, [](const std::string&) {});
    LinuxSerialDevices serialDevices(
        system, devices, [&](int port) { modemLines.ReadModemControl(port); }, [](const std::string&) {});
    WatcherDriver driver(system);
    LinuxDialUpSource dialUp(
        system, {}, [] { return std::string(kModem); }, [&] { return modemLines.MonitoredDiscipline(); });
    SessionSurroundings around;
    auto& clock = around.clock;
    LineSession session(around.settings, LinePlatform{serialDevices, modemLines, driver, dialUp, around.events}, clock,
                        around.directories, around.boxes);
    session.OpenStatusDriver();
    session.DetectDialUpKind();
    auto& counters = system.ttys[kModem].counters;
    for (auto _ : state) {
        system.now += 56;
        clock.Advance(56);
        counters.tx += 300;
        counters.rx += 2000;
        AskAsOneTickDoes(session);
    }
    state.counters["proc_reads_per_minute"] = benchmark::Counter(static_cast<double>(system.listings["/proc"]) *
                                                                 60000.0 / static_cast<double>(system.now - 50000));
}
BENCHMARK(BM_LinuxLineTick)
    ->ArgNames({"connected", "inotify"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->MinTime(2.0)
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace sarvendo
