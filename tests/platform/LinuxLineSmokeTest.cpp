// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FakeClock.h"
#include "fakes/FakeSystemCalls.h"
#include "fakes/TempDir.h"
#include "platform/LineBackendFactory.h"
#include "platform/linux/LinuxModemLines.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/LinuxStatusDriver.h"
#include "platform/linux/RealSystemCalls.h"
#include "platform/linux/TtyHolders.h"
#include "platform/linux/TtyWatcher.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace sarvendo {
namespace {

// A pseudo-terminal pair for the test; never a real serial port.
class Pty
{
public:
    Pty()
    {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_name = name;
        }
    }
    ~Pty()
    {
        if (m_master >= 0) {
            ::close(m_master);
        }
        if (m_slave >= 0) {
            ::close(m_slave);
        }
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    const std::string& Name() const { return m_name; }
    int Master() const { return m_master; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_name;
};

TEST(LinuxLineSmokeTest, APtyIsOpenedAndItsMissingModemLinesAreReportedHonestly)
{
    Pty pty;
    ASSERT_FALSE(pty.Name().empty()) << "openpty failed";
    RealSystemCalls system;
    PortDeviceMap devices{pty.Name()};

    LinuxSerialDevices serial(system, devices, {});
    auto opened = serial.Open(1, SerialDevices::Purpose::ReadWrite);
    ASSERT_NE(opened.port, nullptr) << DescribePortOpenError(opened.error);
    Dcb dcb;
    ASSERT_TRUE(opened.port->GetCommState(dcb));
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    EXPECT_TRUE(opened.port->SetCommState(dcb));
    EXPECT_EQ(opened.port->Write("ATZ\r", 0), 4U);
    char echo[16] = {};
    EXPECT_EQ(::read(pty.Master(), echo, sizeof echo), 4);
    EXPECT_EQ(::write(pty.Master(), "OK\r\n", 4), 4);
    opened.port->WaitReadable(1000);
    EXPECT_EQ(opened.port->InputQueue(), 4U);
    std::array<std::uint8_t, 8> buffer{};
    EXPECT_EQ(opened.port->Read(buffer), 4U);

    // A pty has no modem lines: nothing is invented.
    LinuxModemLines lines(system, devices, [] { return 1; });
    EXPECT_FALSE(lines.ReadModemStatus(1).has_value());
    EXPECT_FALSE(lines.ReadModemControl(1).has_value());
    lines.WriteModemControl(1, 0);

    TtyWatcher watcher(system);
    EXPECT_TRUE(watcher.Request(pty.Name(), kHookComm).succeeded);
    EXPECT_EQ(watcher.Request(pty.Name(), kReadLineStatus).bytesReturned, 0U);
    EXPECT_EQ(watcher.Request(pty.Name(), kTakeSentCount).bytesReturned, 0U);
    EXPECT_EQ(watcher.Request(pty.Name(), kReadBaudParity).bytesReturned, 9600U);
    EXPECT_EQ(watcher.Request(pty.Name(), kQueryPortOpen).bytesReturned, 0U) << "only this process holds the pty";

    EXPECT_EQ(serial.Open(2, SerialDevices::Purpose::Probe).error, PortOpenError::NotMapped);
}

TEST(LinuxLineSmokeTest, TheBuiltModuleLoadsAnswersAndUnloads)
{
    RealSystemCalls system;
    Pty pty;
    LinuxStatusDriver driver(system, [&pty] { return pty.Name(); });
    const std::int32_t handle = driver.Open(SARVENDO_DRIVER_MODULE);
    ASSERT_GT(handle, 0) << driver.LastError();
    EXPECT_TRUE(driver.Request(handle, kHookComm, 0).succeeded);
    EXPECT_EQ(driver.Request(handle, kQueryPortOpen, 4).bytesReturned, 0U);
    EXPECT_EQ(driver.Request(handle, kReadFrameFormat, 1).bytesReturned, 8U);
    EXPECT_FALSE(driver.Request(handle + 1, kHookComm, 0).succeeded);
    driver.Request(handle, kUnhookComm, 0);
    driver.Close(handle);
    EXPECT_FALSE(driver.Request(handle, kQueryPortOpen, 4).succeeded);
    driver.Close(handle);
}

TEST(LinuxLineSmokeTest, MissingOrForeignModuleFilesFailTheOpen)
{
    RealSystemCalls system;
    LinuxStatusDriver driver(system, [] { return std::string(); });
    fakes::TempDir dir;
    EXPECT_EQ(driver.Open(dir.File("SARVEN95.VXD")), -1);
    fakes::TempDir::Write(dir.File("SARVEN95.VXD"), "not a module");
    EXPECT_EQ(driver.Open(dir.File("SARVEN95.VXD")), -1);
    EXPECT_FALSE(driver.LastError().empty());
}

TEST(LineBackendFactoryTest, ChoosesLinuxTheBuiltInScenarioOrAFile)
{
    fakes::FakeClock clock;
    LineBackendOptions options;
    options.clock = &clock;
    options.monitoredPort = [] { return 1; };
    for (const char* off : {"", "0"}) {
        options.simulate = off;
        const auto choice = MakeLineBackend(options);
        EXPECT_EQ(choice.owner->Description(), "Linux, /dev/ttyS0");
        EXPECT_TRUE(choice.warning.empty());
    }
    options.simulate = "1";
    auto builtIn = MakeLineBackend(options);
    EXPECT_EQ(builtIn.owner->Description(), "simulated modem (built-in scenario)");
    EXPECT_EQ(builtIn.owner->View().serialDevices.DeviceName(1), "simulated modem");

    fakes::TempDir dir;
    fakes::TempDir::Write(dir.File("good.txt"), "port 3\n0 cts on\n");
    options.simulate = dir.File("good.txt");
    auto good = MakeLineBackend(options);
    EXPECT_TRUE(good.warning.empty());
    EXPECT_EQ(good.owner->View().modemLines.ReadModemStatus(3), 0x10);

    fakes::TempDir::Write(dir.File("bad.txt"), "0 ring\n0 explode\n");
    options.simulate = dir.File("bad.txt");
    auto bad = MakeLineBackend(options);
    EXPECT_EQ(bad.warning, dir.File("bad.txt") + ", line 2: unknown event \"explode\" or wrong values; the built-in "
                                                 "scenario runs instead.");
    EXPECT_EQ(bad.owner->Description(), "simulated modem (built-in scenario)");

    options.simulate = dir.File("missing.txt");
    EXPECT_NE(MakeLineBackend(options).warning.find("cannot read the scenario file"), std::string::npos);
}

TEST(NonRegularFileTest, ScenarioAndDriverModuleMustBeRegularFiles)
{
    fakes::TempDir dir;
    const std::string fifo = dir.File("scenario.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Should the program open the FIFO after all, this writer lets that open return.
    std::thread writer([&fifo] {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
        }
    });
    fakes::FakeClock clock;
    LineBackendOptions options;
    options.clock = &clock;
    options.monitoredPort = [] { return 1; };
    for (const std::string& path : {fifo, std::string("/dev/null"), dir.Path()}) {
        options.simulate = path;
        const auto choice = MakeLineBackend(options);
        EXPECT_EQ(choice.warning,
                  "the scenario file " + path + " is not a regular file; the built-in scenario runs instead.");
        EXPECT_EQ(choice.owner->Description(), "simulated modem (built-in scenario)");
    }
    const int release = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    writer.join();
    ::close(release);

    fakes::FakeSystemCalls system;
    LinuxStatusDriver driver(system, [] { return std::string(); });
    system.statuses["/opt/sarvendo/SARVEN95.VXD"] = FileStatus{FileKind::Fifo, 1, 2, 0, 0};
    system.statuses["SARVEN95.VXD"] = FileStatus{FileKind::Regular, 1, 3, 0, 0};
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/sarvendo/SARVEN95.VXD", "/opt/sarvendo/SARVEN95.VXD is not a regular file"},
        {"SARVEN95.VXD", "the status driver's path is not absolute: SARVEN95.VXD"},
        {"/opt/sarvendo/missing", "no such file: /opt/sarvendo/missing"},
    };
    for (const auto& [path, why] : cases) {
        EXPECT_EQ(driver.Open(path), -1);
        EXPECT_EQ(driver.LastError(), why);
    }
}

// The kernel's side of the watch on a tty: another process's open and close of the node
// are heard, our own reads are not, and this program's pty is found holding it in /proc.
TEST(LinuxLineSmokeTest, OpensAndClosesOfATtyAreHeardAndItsHoldersFound)
{
    Pty pty;
    ASSERT_FALSE(pty.Name().empty()) << "openpty failed";
    RealSystemCalls system;
    const int watch = system.WatchOpens(pty.Name());
    if (watch == -ENOSPC || watch == -EMFILE || watch == -ENOSYS) {
        GTEST_SKIP() << "no inotify watch to be had here: " << watch;
    }
    ASSERT_GE(watch, 0);
    EXPECT_EQ(system.TakeWatchEvents(watch), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(pty.Name().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ::_exit(fd >= 0 && ::close(fd) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(system.TakeWatchEvents(watch), kWatchOpenedOrClosed);
    EXPECT_EQ(system.TakeWatchEvents(watch), 0);
    system.Close(watch);

    // The test's own descriptor is this process, which never counts as another holder.
    EXPECT_TRUE(ProcessesHolding(system, pty.Name(), false).empty());
    const auto own = system.DeviceOf(pty.Name());
    ASSERT_TRUE(own);
    EXPECT_EQ(ProcessHolds(system, ::getpid(), *own), std::optional<bool>(true));
}

TEST(LinuxLineSmokeTest, ALockFileIsMadeOnceAndRemoved)
{
    fakes::TempDir dir;
    RealSystemCalls system;
    const std::string lock = dir.File("LCK..ttyS9");
    EXPECT_EQ(system.CreateExclusive(lock, "      4242\n"), 0);
    EXPECT_EQ(system.CreateExclusive(lock, "      4343\n"), -EEXIST);
    EXPECT_EQ(system.ReadFile(lock, 64), std::optional<std::string>("      4242\n"));
    struct stat info
    {
    };
    ASSERT_EQ(::stat(lock.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0022, 0U) << "nobody else may rewrite our lock";
    EXPECT_EQ(system.RemoveFile(lock), 0);
    EXPECT_EQ(system.RemoveFile(lock), -ENOENT);
    EXPECT_EQ(system.CreateExclusive(dir.File("missing/LCK..ttyS9"), "1\n"), -ENOENT);
}

} // namespace
} // namespace sarvendo
