// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FakeSystemCalls.h"
#include "platform/linux/HeldTty.h"
#include "platform/linux/LinuxLineBackend.h"
#include "platform/linux/LinuxModemLines.h"
#include "platform/linux/LinuxSerialDevices.h"
#include "platform/linux/TtyConversions.h"
#include "platform/linux/TtyHolders.h"
#include "platform/linux/TtyWatcher.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeSystemCalls;

constexpr DeviceNumber kTtyS0 = (4U << 8U) | 64U;
const std::string kModem = "/dev/ttyS0";

TtySettings Line(std::uint32_t baudCode, std::uint32_t cflagExtra, std::uint32_t ospeed)
{
    TtySettings settings;
    settings.cflag = baudCode | cflagExtra | kCread | kHupcl;
    settings.ospeed = ospeed;
    settings.ispeed = ospeed;
    return settings;
}

TEST(TtyConversionsTest, ModemBitsBecomeTheControllersRegisters)
{
    EXPECT_EQ(ModemControlFromBits(kTiocmDtr | kTiocmRts | kTiocmOut2), 0x0B);
    EXPECT_EQ(ModemControlFromBits(kTiocmLoop | kTiocmOut1), 0x14);
    EXPECT_EQ(ModemStatusFromBits(kTiocmCts | kTiocmDsr | kTiocmRng | kTiocmCar), 0xF0);
    EXPECT_EQ(ModemStatusFromBits(kTiocmCar | kTiocmDtr), 0x80);
}

TEST(TtyConversionsTest, SettingsReadAsLineParameters)
{
    const Dcb dcb = DcbFromSettings(Line(kBother, kCs8 | kCrtscts, 28800));
    EXPECT_EQ(dcb.BaudRate, 28800U);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, kNoParity);
    EXPECT_EQ(dcb.StopBits, kOneStopBit);
    EXPECT_TRUE(dcb.OutxCtsFlow);
    EXPECT_TRUE(dcb.HangUpOnClose);

    // A classic B-constant without the speed filled in (B9600 = 015).
    EXPECT_EQ(DcbFromSettings(Line(015, kCs7 | kParenb, 0)).BaudRate, 9600U);
    EXPECT_EQ(DcbFromSettings(Line(015, kCs7 | kParenb, 0)).Parity, kEvenParity);
    EXPECT_EQ(ParityCode(kParenb | kParodd), kOddParity);
    EXPECT_EQ(ParityCode(kParenb | kParodd | kCmspar), kMarkParity);
    EXPECT_EQ(ParityCode(kParenb | kCmspar), kSpaceParity);
    EXPECT_EQ(StopBitsCode(kCs5 | kCstopb), kOneAndHalfStopBits);
    EXPECT_EQ(StopBitsCode(kCs8 | kCstopb), kTwoStopBits);
    EXPECT_EQ(ByteSizeOf(kCs6), 6);
}

TEST(TtyConversionsTest, ParametersBecomeRawSettingsAndReadBackTheSame)
{
    TtySettings base = Line(015, kCs7 | kParenb | kClocal, 9600);
    base.lflag = 0000012; // ICANON | ECHO
    base.cc[6] = 1;
    const Dcb wanted{56000, 8, kMarkParity, kTwoStopBits, false, false, false, true, true};
    const TtySettings set = SettingsFromDcb(wanted, base);
    EXPECT_EQ(set.cflag & kCbaud, kBother);
    EXPECT_EQ(set.ospeed, 56000U);
    EXPECT_EQ(set.lflag & 0000012U, 0U);
    EXPECT_EQ(set.cc[6], 0);
    EXPECT_EQ(DcbFromSettings(set), wanted);

    const Dcb fiveBits{300, 5, kNoParity, kOneAndHalfStopBits};
    EXPECT_EQ(DcbFromSettings(SettingsFromDcb(fiveBits, base)).StopBits, kOneAndHalfStopBits);
}

TEST(HeldTtyTest, OpensOnceAndRetriesABusyPortOnlyNowAndThen)
{
    FakeSystemCalls system;
    auto& tty = system.AddTty(kModem, kTtyS0);
    tty.openError = -EBUSY;
    {
        HeldTty held(system);
        EXPECT_EQ(held.Descriptor(kModem), -1);
        EXPECT_EQ(held.LastError(), -EBUSY);
        tty.openError = 0;
        system.now += HeldTty::kRetryMs - 1;
        EXPECT_EQ(held.Descriptor(kModem), -1) << "too soon to try again";
        system.now += 1;
        const int fd = held.Descriptor(kModem);
        EXPECT_GE(fd, 0);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(held.Descriptor(kModem), fd);
        }
        EXPECT_EQ(tty.opens, 1);
        EXPECT_EQ(held.Descriptor(""), -1);
        EXPECT_EQ(tty.closes, 1);
        EXPECT_GE(held.Descriptor(kModem), 0);
    }
    EXPECT_EQ(tty.opens, 2);
    EXPECT_TRUE(system.openFds.empty());
}

class TtyWatcherTest : public ::testing::Test
{
protected:
    TtyWatcherTest()
    {
        tty = &system.AddTty(kModem, kTtyS0);
        system.directories["/proc"] = {"1", "100", "412", "self", "acpi"};
        system.directories["/proc/1/fd"] = {"0", "1"};
        system.links["/proc/1/fd/0"] = "/dev/tty1";
        system.devices["/proc/1/fd/0"] = 0x0501;
        system.links["/proc/1/fd/1"] = "/mnt/dead-nfs/log"; // never stat'ed: it is no device
        system.AddHolder(100, 7, kModem);                   // this program's own descriptor
    }

    StatusDriverDevice::Reply Ask(std::uint32_t code) { return watcher.Request(kModem, code); }

    FakeSystemCalls system;
    FakeSystemCalls::Tty* tty = nullptr;
    TtyWatcher watcher{system};
};

TEST_F(TtyWatcherTest, HookFailsOnlyWithoutPermission)
{
    EXPECT_TRUE(Ask(kHookComm).succeeded);
    EXPECT_EQ(tty->opens, 1);

    TtyWatcher busy(system);
    tty->openError = -EBUSY;
    EXPECT_TRUE(busy.Request(kModem, kHookComm).succeeded);
    TtyWatcher missing(system);
    EXPECT_TRUE(missing.Request("/dev/ttyUSB7", kHookComm).succeeded);
    TtyWatcher denied(system);
    tty->openError = -EACCES;
    EXPECT_FALSE(denied.Request(kModem, kHookComm).succeeded);
    TtyWatcher unmapped(system);
    EXPECT_TRUE(unmapped.Request("", kHookComm).succeeded);
}

TEST_F(TtyWatcherTest, PortOpenWhenAnotherProcessHoldsTheDevice)
{
    Ask(kHookComm);
    EXPECT_EQ(Ask(kQueryPortOpen).bytesReturned, 0U) << "only our own descriptor";

    // pppd opens it (seen under another name, which the device number sees through).
    system.AddHolder(412, 3, kModem);
    EXPECT_EQ(Ask(kQueryPortOpen).bytesReturned, 0U) << "cached for a second";
    system.now += TtyWatcher::kHolderCacheMs;
    EXPECT_EQ(Ask(kQueryPortOpen).bytesReturned, 4U);
    const int scans = system.listings["/proc"];
    for (int i = 0; i < 17; ++i) {
        Ask(kQueryPortOpen);
    }
    EXPECT_EQ(system.listings["/proc"], scans) << "one scan a second, not one a tick";
}

TEST_F(TtyWatcherTest, PortOpenFromALiveLockOrAnExclusiveLock)
{
    Ask(kHookComm);
    system.files["/var/lock/LCK..ttyS0"] = "       412\n";
    EXPECT_EQ(Ask(kQueryPortOpen).bytesReturned, 0U) << "stale: 412 is not running";
    system.alive.insert(412);
    system.now += TtyWatcher::kHolderCacheMs;
    EXPECT_EQ(Ask(kQueryPortOpen).bytesReturned, 4U);

    // Our own lock is not another program's.
    system.files["/var/lock/LCK..ttyS0"] = "       100\n";
    system.alive.insert(100);
    system.now += TtyWatcher::kHolderCacheMs;
    EXPECT_EQ(Ask(kQueryPortOpen).bytesReturned, 0U);

    TtyWatcher late(system);
    tty->openError = -EBUSY;
    EXPECT_EQ(late.Request(kModem, kQueryPortOpen).bytesReturned, 4U);
}

TEST(TtyHoldersTest, LockOfAStableLinkIsFoundUnderTheKernelsName)
{
    FakeSystemCalls system;
    const std::string byId = "/dev/serial/by-id/usb-Modem-if00";
    system.links[byId] = "../../ttyACM0";
    system.files["/run/lock/LCK..ttyACM0"] = "      3141\n";
    EXPECT_FALSE(LockedByAnotherProcess(system, byId));
    system.alive.insert(3141);
    EXPECT_TRUE(LockedByAnotherProcess(system, byId));
    system.files["/run/lock/LCK..ttyACM0"] = "garbage";
    EXPECT_FALSE(LockedByAnotherProcess(system, byId));
    system.files["/run/lock/LCK..ttyACM0"] = "99999999999999999999";
    EXPECT_FALSE(LockedByAnotherProcess(system, byId));
}

TEST_F(TtyWatcherTest, LineStatusAndParametersFromTheTty)
{
    tty->bits = kTiocmCar | kTiocmCts | kTiocmDsr | kTiocmDtr;
    tty->settings = Line(kBother, kCs7 | kParenb | kParodd, 28800);
    Ask(kHookComm);
    EXPECT_EQ(Ask(kReadLineStatus).bytesReturned, 0xB0U);
    const auto baud = Ask(kReadBaudParity);
    EXPECT_EQ(baud.bytesReturned, 28800U);
    EXPECT_EQ(baud.completionStatus, kOddParity);
    const auto frame = Ask(kReadFrameFormat);
    EXPECT_EQ(frame.bytesReturned, 7U);
    EXPECT_EQ(frame.completionStatus, kOneStopBit);
    EXPECT_FALSE(Ask(7).succeeded);
    EXPECT_FALSE(Ask(0).succeeded);
}

TEST_F(TtyWatcherTest, ByteCountsAreIncrementsFromTheFirstLook)
{
    tty->counters = {5000, 1000};
    Ask(kHookComm);
    EXPECT_EQ(Ask(kTakeSentCount).bytesReturned, 0U);
    EXPECT_EQ(Ask(kTakeReceivedCount).bytesReturned, 0U);
    EXPECT_EQ(Ask(kTakeReceivedCountAlt).bytesReturned, 0U);
    tty->counters = {5600, 1040};
    EXPECT_EQ(Ask(kTakeSentCount).bytesReturned, 40U);
    EXPECT_EQ(Ask(kTakeSentCount).bytesReturned, 0U);
    EXPECT_EQ(Ask(kTakeReceivedCount).bytesReturned, 600U);
    EXPECT_EQ(Ask(kTakeReceivedCountAlt).bytesReturned, 600U) << "the second method counts on its own";
    // The kernel's int counters wrap; a count that went back is not traffic.
    tty->counters = {5, 1040};
    EXPECT_EQ(Ask(kTakeReceivedCount).bytesReturned, 0U);
    tty->counters = {0xFFFFFFF0U, 1040};
    Ask(kTakeReceivedCount);
    tty->counters = {0x10U, 1040};
    EXPECT_EQ(Ask(kTakeReceivedCount).bytesReturned, 0x20U);
}

TEST_F(TtyWatcherTest, PtyOrDriverWithoutCountersReportsNothing)
{
    tty->modemBitsError = -ENOTTY;
    tty->countersError = -EINVAL;
    Ask(kHookComm);
    EXPECT_FALSE(Ask(kReadLineStatus).succeeded);
    EXPECT_EQ(Ask(kReadLineStatus).bytesReturned, 0U);
    EXPECT_FALSE(Ask(kTakeSentCount).succeeded);
    EXPECT_EQ(Ask(kTakeReceivedCount).bytesReturned, 0U);
}

TEST_F(TtyWatcherTest, UnhookLetsTheDescriptorGo)
{
    Ask(kHookComm);
    EXPECT_EQ(system.openFds.size(), 1U);
    EXPECT_TRUE(Ask(kUnhookComm).succeeded);
    EXPECT_TRUE(system.openFds.empty());
}

class LinuxModemLinesTest : public ::testing::Test
{
protected:
    LinuxModemLinesTest()
    {
        tty = &system.AddTty(kModem, kTtyS0);
        tty->bits = kTiocmDtr | kTiocmRts | kTiocmOut2 | kTiocmCts | kTiocmCar;
    }

    FakeSystemCalls system;
    FakeSystemCalls::Tty* tty = nullptr;
    PortDeviceMap devices{kModem, "/dev/ttyS1"};
    int monitored = 1;
    LinuxModemLines lines{system, devices, [this] { return monitored; }};
};

TEST_F(LinuxModemLinesTest, ReadsTheMonitoredPortOnOneHeldDescriptor)
{
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(lines.ReadModemControl(1), 0x0B);
        EXPECT_EQ(lines.ReadModemStatus(1), 0x90);
    }
    EXPECT_EQ(tty->opens, 1) << "DTR is raised at most once";
    EXPECT_EQ(tty->closes, 0);
    EXPECT_FALSE(lines.ReadModemControl(2).has_value()) << "other ports are never opened";
    EXPECT_EQ(system.ttys["/dev/ttyS1"].opens, 0);
}

TEST_F(LinuxModemLinesTest, WritesChangeOnlyDtrAndRts)
{
    ASSERT_EQ(lines.ReadModemControl(1), 0x0B); // a hang-up reads before it writes
    lines.WriteModemControl(1, 0x0A);
    lines.WriteModemControl(1, 0x0A);
    lines.WriteModemControl(1, 0x0B);
    lines.WriteModemControl(1, 0x08);
    using Change = std::pair<char, int>;
    EXPECT_EQ(tty->lineChanges,
              (std::vector<Change>{{'-', kTiocmDtr}, {'+', kTiocmDtr}, {'-', kTiocmDtr | kTiocmRts}}));
    EXPECT_EQ(tty->bits & kTiocmOut2, kTiocmOut2);
    lines.WriteModemControl(3, 0x00);
    EXPECT_EQ(tty->lineChanges.size(), 3U);
}

TEST_F(LinuxModemLinesTest, BusyOrPtyPortReadsAsEmpty)
{
    tty->openError = -EBUSY;
    EXPECT_FALSE(lines.ReadModemStatus(1).has_value());
    EXPECT_EQ(lines.LastOpenError(), -EBUSY);
    lines.WriteModemControl(1, 0);
    EXPECT_TRUE(tty->lineChanges.empty());

    tty->openError = 0;
    tty->modemBitsError = -ENOTTY;
    system.now += HeldTty::kRetryMs;
    EXPECT_FALSE(lines.ReadModemStatus(1).has_value());
    EXPECT_EQ(tty->opens, 1);
}

TEST_F(LinuxModemLinesTest, AWriteNeverOpensAPortThatJustBecameFree)
{
    tty->openError = -EBUSY;
    const std::uint8_t saved = lines.ReadModemControl(1).value_or(0);
    tty->openError = 0;
    system.now += HeldTty::kRetryMs;
    lines.WriteModemControl(1, saved & 0xFE);
    lines.WriteModemControl(1, saved);
    EXPECT_EQ(tty->opens, 0);
    EXPECT_TRUE(tty->lineChanges.empty());
    EXPECT_EQ(tty->bits & (kTiocmDtr | kTiocmRts), kTiocmDtr | kTiocmRts);
}

TEST_F(LinuxModemLinesTest, FollowsAPortChange)
{
    auto& second = system.AddTty("/dev/ttyS1", 0x441);
    second.bits = kTiocmRng;
    EXPECT_EQ(lines.ReadModemStatus(1), 0x90);
    monitored = 2;
    EXPECT_EQ(lines.ReadModemStatus(2), 0x40);
    EXPECT_EQ(tty->closes, 1);
}

class LinuxSerialDevicesTest : public ::testing::Test
{
protected:
    LinuxSerialDevicesTest()
    {
        tty = &system.AddTty(kModem, kTtyS0);
        tty->settings = Line(kBother, kCs8, 115200);
        system.AddTty(devices[2], 0).settingsError = -ENOTTY;
    }

    FakeSystemCalls system;
    FakeSystemCalls::Tty* tty = nullptr;
    PortDeviceMap devices{kModem, "/dev/ttyS1", "/home/user/notes.txt"};
    std::vector<int> touched;
    LinuxSerialDevices serial{system, devices, [this](int port) { touched.push_back(port); }};
};

TEST_F(LinuxSerialDevicesTest, OpenFailuresSayWhy)
{
    EXPECT_EQ(serial.Open(2, SerialDevices::Purpose::Probe).error, PortOpenError::Missing);
    EXPECT_EQ(serial.Open(5, SerialDevices::Purpose::Probe).error, PortOpenError::NotMapped);
    EXPECT_EQ(serial.Open(0, SerialDevices::Purpose::Probe).error, PortOpenError::NotMapped);
    EXPECT_EQ(serial.Open(10, SerialDevices::Purpose::Probe).error, PortOpenError::NotMapped);
    EXPECT_EQ(serial.Open(3, SerialDevices::Purpose::Probe).error, PortOpenError::NotASerialPort);
    for (const auto& [error, expected] :
         std::vector<std::pair<int, PortOpenError>>{{-EBUSY, PortOpenError::Busy},
                                                    {-EACCES, PortOpenError::NoPermission},
                                                    {-EIO, PortOpenError::Missing},
                                                    {-ENXIO, PortOpenError::Missing},
                                                    {-EINTR, PortOpenError::Failed}}) {
        tty->openError = error;
        const auto result = serial.Open(1, SerialDevices::Purpose::ReadWrite);
        EXPECT_EQ(result.port, nullptr);
        EXPECT_EQ(result.error, expected) << error;
    }
    EXPECT_TRUE(system.openFds.empty());
    EXPECT_EQ(serial.DeviceName(1), kModem);
    EXPECT_EQ(serial.DeviceName(12), "");
}

TEST_F(LinuxSerialDevicesTest, TheWatchIsTouchedBeforeTheProgramsOwnOpen)
{
    auto opened = serial.Open(1, SerialDevices::Purpose::Probe);
    ASSERT_NE(opened.port, nullptr);
    EXPECT_EQ(touched, (std::vector<int>{1}));
    Dcb dcb;
    ASSERT_TRUE(opened.port->GetCommState(dcb));
    EXPECT_EQ(dcb.BaudRate, 115200U);
    opened.port.reset();
    EXPECT_TRUE(system.openFds.empty());
}

TEST_F(LinuxSerialDevicesTest, ModemExchangeIsRefusedWhileAnotherProgramHoldsThePort)
{
    system.directories["/proc"] = {"412"};
    system.AddHolder(412, 5, kModem);
    EXPECT_EQ(serial.Open(1, SerialDevices::Purpose::ReadWrite).error, PortOpenError::InUse) << "not exclusive";
    EXPECT_EQ(tty->opens, 0);
    // Looking is allowed: a probe changes nothing on the line.
    EXPECT_NE(serial.Open(1, SerialDevices::Purpose::Probe).port, nullptr);

    system.DropHolder(412);
    system.files["/run/lock/LCK..ttyS0"] = "       412\n";
    system.alive.insert(412);
    EXPECT_EQ(serial.Open(1, SerialDevices::Purpose::ReadWrite).error, PortOpenError::Locked);
    system.alive.clear();
    EXPECT_NE(serial.Open(1, SerialDevices::Purpose::ReadWrite).port, nullptr) << "a stale lock";
}

TEST_F(LinuxSerialDevicesTest, TalksToTheModem)
{
    auto opened = serial.Open(1, SerialDevices::Purpose::ReadWrite);
    ASSERT_NE(opened.port, nullptr);
    Dcb dcb;
    ASSERT_TRUE(opened.port->GetCommState(dcb));
    dcb.BaudRate = 9600;
    EXPECT_TRUE(opened.port->SetCommState(dcb));
    EXPECT_EQ(tty->settings.ospeed, 9600U);
    dcb.StopBits = kOneAndHalfStopBits;
    EXPECT_FALSE(opened.port->SetCommState(dcb)) << "1.5 stop bits only with five data bits";

    system.writeChunk = 3;
    EXPECT_EQ(opened.port->Write("ATZ\r\n", 0), 5U);
    EXPECT_EQ(tty->written, "ATZ\r\n");
    tty->input = "\r\nOK\r\n";
    EXPECT_EQ(opened.port->InputQueue(), 6U);
    std::array<std::uint8_t, 4> buffer{};
    EXPECT_EQ(opened.port->Read(buffer), 4U);
    EXPECT_EQ(opened.port->InputQueue(), 2U);
    tty->input.clear();
    EXPECT_EQ(opened.port->Read(buffer), 0U);
}

TEST_F(LinuxSerialDevicesTest, APartialWriteGoesOnFromTheBytesWrittenWithinTheTime)
{
    struct Case
    {
        int drainMs; // how long the full output queue takes to make room
        std::string written;
    };
    for (const Case& c : {Case{300, "AT&F1E0\r\n"}, Case{5000, "AT&F"}}) {
        auto opened = serial.Open(1, SerialDevices::Purpose::ReadWrite);
        ASSERT_NE(opened.port, nullptr);
        tty->written.clear();
        system.writeAnswers = {4, -EAGAIN};
        system.writableAfterMs = c.drainMs;
        system.writableWaits = 0;
        const std::uint64_t start = system.now;
        EXPECT_EQ(opened.port->Write("AT&F1E0\r\n", 2000), c.written.size());
        EXPECT_EQ(tty->written, c.written) << "nothing sent twice";
        EXPECT_EQ(system.writableWaits, 1);
        EXPECT_LE(system.now - start, 2000U) << "the wait stays within the response time";
    }
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// The whole Linux line side on a fake kernel: start-up's probe and modem exchange, then
// ticks, must leave the watched line's DTR alone.
TEST(LinuxLineBackendTest, ProbeAndModemInitNeverMakeTheLastClose)
{
    FakeSystemCalls system;
    auto& tty = system.AddTty(kModem, kTtyS0);
    tty.bits = kTiocmDtr | kTiocmRts | kTiocmCts;
    tty.settings = Line(kBother, kCs8, 57600);
    LinuxLineBackend platform(
        PortDeviceMap{kModem}, [] { return 1; }, "", &system);
    LinePlatform line = platform.View();

    for (int probe = 0; probe < 3; ++probe) {
        auto opened = line.serialDevices.Open(1, SerialDevices::Purpose::Probe);
        ASSERT_NE(opened.port, nullptr);
    }
    {
        auto modem = line.serialDevices.Open(1, SerialDevices::Purpose::ReadWrite);
        ASSERT_NE(modem.port, nullptr);
        modem.port->Write("ATZ\r\n", 0);
    }
    for (int tick = 0; tick < 50; ++tick) {
        EXPECT_EQ(line.modemLines.ReadModemStatus(1), kMsrCts);
    }
    EXPECT_EQ(tty.opens, 5) << "the watch once, three probes, one exchange";
    EXPECT_EQ(tty.closes, 4);
    EXPECT_EQ(tty.lastCloses, 0) << "DTR was never dropped by a close";
    EXPECT_TRUE(tty.lineChanges.empty());
    EXPECT_EQ(platform.Description(), "Linux, /dev/ttyS0");
}

TEST(LinuxLineBackendTest, DescriptionSaysWhyTheLinesCannotBeSeen)
{
    FakeSystemCalls system;
    system.AddTty(kModem, kTtyS0).openError = -EBUSY;
    LinuxLineBackend platform(
        PortDeviceMap{kModem}, [] { return 1; }, "", &system);
    EXPECT_FALSE(platform.View().modemLines.ReadModemStatus(1).has_value());
    EXPECT_EQ(platform.Description(), "Linux, /dev/ttyS0 (busy: another program holds it exclusively)");
}

} // namespace
} // namespace sarvendo

namespace sarvendo {
namespace {

// The kernel takes the line away: pppd's "modem" option clears CLOCAL, so a carrier loss
// hangs up every open file of the tty, and an unplugged USB modem takes its device with
// it. The watch lets such a descriptor go and takes a new one only when there is
// something to watch again.
class LineLossTest : public ::testing::Test
{
protected:
    LineLossTest()
    {
        tty = &system.AddTty(kModem, kTtyS0);
        tty->bits = kTiocmDtr | kTiocmRts | kTiocmCts | kTiocmCar;
        system.directories["/proc"] = {"100", "412"};
        HoldByPppd(412);
    }

    void HoldByPppd(int pid) { system.AddHolder(pid, 3, kModem); }

    void PppdExits(int pid) { system.DropHolder(pid); }

    // A few seconds of ticks; what the status register read on the last one.
    std::optional<std::uint8_t> Ticks(int seconds)
    {
        std::optional<std::uint8_t> status;
        for (int tick = 0; tick < seconds * 18; ++tick) {
            system.now += 56;
            status = lines.ReadModemStatus(1);
        }
        return status;
    }

    FakeSystemCalls system;
    FakeSystemCalls::Tty* tty = nullptr;
    LinuxModemLines lines{system, PortDeviceMap{kModem}, [] { return 1; }};
};

TEST_F(LineLossTest, AHangUpLetsTheDescriptorGoAndTheFreePortIsTakenBackForTheNextCall)
{
    ASSERT_EQ(Ticks(1), kMsrCts | kMsrCd);
    system.HangUpTty(kModem);
    EXPECT_FALSE(lines.ReadModemStatus(1).has_value());
    EXPECT_EQ(system.OpenCount(kModem), 0) << "the hung-up descriptor is let go";
    EXPECT_NE(lines.WhyUnreachable(1).find("hung up"), std::string::npos);

    // pppd goes and the port is free: the watch comes back as at start-up within the
    // retry time, so the next call's ring is seen.
    PppdExits(412);
    tty->bits = kTiocmCts | kTiocmRng;
    EXPECT_EQ(Ticks(4), kMsrCts | kMsrRi);
    EXPECT_EQ(tty->opens, 2);
    EXPECT_EQ(lines.WhyUnreachable(1), "");
    Ticks(30);
    EXPECT_EQ(tty->opens, 2) << "and kept, not opened again and again";
}

TEST_F(LineLossTest, APollHangUpIsNoticedWithoutAFailedRequest)
{
    ASSERT_TRUE(Ticks(1).has_value());
    system.HangUpTty(kModem);
    tty->modemBitsError = 0;
    system.now += HeldTty::kHangUpCheckMs;
    EXPECT_FALSE(lines.ReadModemControl(1).has_value());
    EXPECT_EQ(system.OpenCount(kModem), 0);
}

TEST_F(LineLossTest, AnUnplugFreesTheOldDeviceAndTheReplugIsWatchedUnderItsNewNumber)
{
    ASSERT_TRUE(Ticks(1).has_value());
    system.Unplug(kModem);
    PppdExits(412);
    EXPECT_FALSE(Ticks(10).has_value());
    EXPECT_EQ(system.OpenCount(kModem), 0) << "the old device number is not kept busy";
    EXPECT_EQ(tty->opens, 1) << "no device, no attempt";

    system.Replug(kModem, kTtyS0 + 1);
    EXPECT_TRUE(Ticks(4).has_value()) << "a device that came back is watched even while idle";
    EXPECT_EQ(tty->opens, 2);
    EXPECT_TRUE(lines.WriteModemControl(1, 0x00));
}

TEST_F(LineLossTest, AHangUpDuringAWriteReportsTheFailure)
{
    ASSERT_TRUE(Ticks(1).has_value());
    system.HangUpTty(kModem);
    EXPECT_FALSE(lines.WriteModemControl(1, 0x02));
    EXPECT_EQ(system.OpenCount(kModem), 0);
}

TEST_F(TtyWatcherTest, ALineTheKernelHungUpIsLetGoByTheDriverToo)
{
    tty->counters = {10, 10};
    Ask(kHookComm);
    ASSERT_TRUE(Ask(kTakeSentCount).succeeded);
    system.HangUpTty(kModem);
    EXPECT_FALSE(Ask(kTakeSentCount).succeeded);
    EXPECT_TRUE(system.openFds.empty());
}

TEST_F(TtyWatcherTest, TheLastOtherHolderLeavingATtyWithHupclDropsDtrAsItsCloseWould)
{
    struct Case
    {
        const char* what;
        std::uint32_t cflag;
        bool secondHolderStays;
        bool holderOutOfSight; // a root getty's descriptors, which this user cannot read
        bool dropped;
    };
    for (const Case& c :
         {Case{"HUPCL set", kHupcl | kCs8, false, false, true}, Case{"HUPCL clear", kCs8, false, false, false},
          Case{"another holder stays", kHupcl | kCs8, true, false, false},
          Case{"a holder that cannot be seen", kHupcl | kCs8, false, true, false}}) {
        FakeSystemCalls kernel;
        auto& line = kernel.AddTty(kModem, kTtyS0);
        line.bits = kTiocmDtr | kTiocmRts | kTiocmCar;
        line.settings.cflag = c.cflag;
        kernel.AddHolder(412, 3, kModem);
        if (c.secondHolderStays) {
            kernel.AddHolder(500, 0, kModem);
        }
        if (c.holderOutOfSight) {
            kernel.AddHiddenProcess(377);
        }
        TtyWatcher driver(kernel);
        driver.Request(kModem, kHookComm);
        ASSERT_EQ(driver.Request(kModem, kQueryPortOpen).bytesReturned, 4U) << c.what;
        kernel.DropHolder(412);
        kernel.now += TtyWatcher::kHolderCacheMs;
        driver.Request(kModem, kQueryPortOpen);
        kernel.now += TtyWatcher::kHolderCacheMs;
        driver.Request(kModem, kQueryPortOpen);
        using Change = std::pair<char, int>;
        const std::vector<Change> expected =
            c.dropped ? std::vector<Change>{{'-', kTiocmDtr | kTiocmRts}} : std::vector<Change>{};
        EXPECT_EQ(line.lineChanges, expected) << c.what;
    }
}

} // namespace
} // namespace sarvendo

#include "platform/linux/PortDiagnosis.h"

namespace sarvendo {
namespace {

// "sarvendo --ports" and the reasons written to standard error: what the line side
// knows about a port, in words the user can act on.
class PortReportTest : public ::testing::Test
{
protected:
    PortReportTest()
    {
        auto& modem = system.AddTty(kModem, kTtyS0);
        modem.bits = kTiocmDtr | kTiocmRts | kTiocmCts | kTiocmCar;
        modem.counters = {48211, 912330};
        system.links["/sys/class/tty/ttyS0/device/driver"] = "../../../bus/serial-base/drivers/port";
        system.links["/sys/class/tty/ttyS0/device/../driver"] = "../../../bus/platform/drivers/serial8250";
        system.AddHolder(412, 3, kModem);
        system.files["/proc/412/comm"] = "pppd\n";

        // cdc_acm answers TIOCGICOUNT, with zeros for the bytes.
        auto& acm = system.AddTty("/dev/ttyACM0", 0xA600);
        acm.bits = kTiocmCts | kTiocmDsr;
        system.links["/sys/class/tty/ttyACM0/device/driver"] = "../../../../bus/usb/drivers/cdc_acm";
        auto& denied = system.AddTty("/dev/ttyS1", 0x441);
        denied.accessError = -EACCES;
        denied.openError = -EACCES;
        system.AddTty("/dev/ttyS2", 0x442).openError = -EBUSY;
        system.links["/sys/class/tty/ttyS2/device/driver"] = "../../../bus/platform/drivers/serial8250";
        system.AddTty("/dev/pts/3", 0x8803).countersError = -ENOTTY;
    }

    FakeSystemCalls system;
    std::vector<std::string> reports;
};

TEST_F(PortReportTest, EachPortSaysWhatItsDriverReportsAndWhoHoldsIt)
{
    LinuxLineBackend backend(
        PortDeviceMap{kModem, "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3", "/dev/ttyACM0", "/dev/pts/3"}, [] { return 0; },
        "", &system, [this](const std::string& text) { reports.push_back(text); });
    const std::string text = DescribePorts(backend);
    // What the driver reports is measured where the port opens; what is known of a driver
    // is said only where nothing could be measured, and marked so.
    for (const char* expected : {
             "COM1  /dev/ttyS0\n"
             "    opens:    yes (to look; the modem exchange is refused: busy: another program has it open)\n"
             "    held by:  pppd (pid 412)\n"
             "    driver:   serial8250\n"
             "    lines:    DTR on, RTS on, CTS on, DSR off, CD on, RI off\n"
             "    counters: tx 912330, rx 48211\n"
             "    hang-up:  HUPCL off: a program's last close leaves DTR as it is\n",
             "COM2  /dev/ttyS1\n    opens:    no: no permission (is the user in the dialout group?)\n",
             "COM3  /dev/ttyS2\n"
             "    opens:    no: busy: another program holds it exclusively\n"
             "    held by:  nobody this user can see\n"
             "    driver:   serial8250\n"
             "    lines:    not measured (the device was not opened); known of serial8250, not measured: all six "
             "lines\n"
             "    counters: not measured (the device was not opened); known of serial8250, not measured: counts the "
             "bytes both ways\n"
             "    hang-up:  HUPCL not known (the device was not opened); every holder can be seen\n",
             "COM4  /dev/ttyS3\n    opens:    no: no such device\n",
             "    driver:   cdc_acm\n"
             "    lines:    DTR off, RTS off, CTS on, DSR on, CD off, RI off\n"
             "    counters: reports zeros (no bytes counted yet, or the driver counts none)\n",
             "    lines:    DTR off, RTS off, CTS off, DSR off, CD off, RI off\n"
             "    counters: none (the driver refuses TIOCGICOUNT: Inappropriate ioctl for device)\n",
         }) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin\n" << text;
    }
    EXPECT_NE(text.find("COM7  (no device configured)\n"), std::string::npos);
    EXPECT_NE(text.find("COM9  (no device configured)\n"), std::string::npos);

    // Looked at read-only, never opened for writing, and nothing left open.
    int opens = 0;
    for (const auto& [path, tty] : system.ttys) {
        opens += tty.opens;
    }
    EXPECT_EQ(opens, 3);
    EXPECT_EQ(system.readOnlyFds.size(), 3U);
    EXPECT_TRUE(system.openFds.empty());
    EXPECT_TRUE(reports.empty()) << "the diagnosis is printed, not reported";
}

TEST_F(PortReportTest, WhyAPortCannotBeWatchedOrOpenedGoesToTheReportOncePerChange)
{
    int monitored = 3;
    LinuxLineBackend backend(
        PortDeviceMap{kModem, "/dev/ttyS1", "/dev/ttyS2"}, [&] { return monitored; }, "", &system,
        [this](const std::string& text) { reports.push_back(text); });
    LinePlatform line = backend.View();
    for (int tick = 0; tick < 100; ++tick) {
        system.now += 56;
        line.modemLines.ReadModemStatus(3);
    }
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_EQ(reports[0], "Sarvendo: COM3 (/dev/ttyS2) cannot be watched: busy: another program holds it exclusively.");
    system.ttys["/dev/ttyS2"].openError = 0;
    system.now += HeldTty::kRetryMs;
    line.modemLines.ReadModemStatus(3);
    EXPECT_EQ(reports.back(), "Sarvendo: COM3 (/dev/ttyS2) is watched again.");

    // Each refusal of the modem exchange is told, with the holder when it can be seen.
    monitored = 1;
    EXPECT_EQ(line.serialDevices.Open(1, SerialDevices::Purpose::ReadWrite).error, PortOpenError::InUse);
    EXPECT_EQ(reports.back(), "Sarvendo: COM1 (/dev/ttyS0) cannot be opened: busy: another program has it open "
                              "(held by pppd (pid 412)).");
    system.DropHolder(412);
    system.files["/run/lock/LCK..ttyS0"] = "       377\n";
    system.alive.insert(377);
    EXPECT_EQ(line.serialDevices.Open(1, SerialDevices::Purpose::ReadWrite).error, PortOpenError::Locked);
    EXPECT_EQ(reports.back(), "Sarvendo: COM1 (/dev/ttyS0) cannot be opened: busy: another program has locked it "
                              "(a UUCP lock file names process 377).");
    EXPECT_EQ(line.serialDevices.Open(2, SerialDevices::Purpose::Probe).error, PortOpenError::NoPermission);
    EXPECT_EQ(reports.back(),
              "Sarvendo: COM2 (/dev/ttyS1) cannot be opened: no permission (is the user in the dialout group?).");
}

TEST_F(PortReportTest, TheHangUpLineSaysWhetherTheLastCloseIsImitatedOrTheLineLeftAlone)
{
    struct Case
    {
        const char* what;
        std::function<void()> setUp;
        const char* hangUp;
    };
    const std::vector<Case> cases{
        {"every holder seen", [] {},
         "HUPCL on; every holder can be seen: when the last one lets go, DTR is dropped, as its close would have "
         "done"},
        {"a process whose descriptors cannot be read",
         [this] {
             system.AddHiddenProcess(377);
             system.AddHiddenProcess(2); // a kernel thread, which holds no file
             system.files["/proc/2/cmdline"] = "";
         },
         "HUPCL on; left alone when a program lets go: the descriptors of 1 process cannot be read, so a holder "
         "may be out of sight"},
        {"a live lock of another program",
         [this] {
             system.files["/run/lock/LCK..ttyS0"] = "       377\n";
             system.alive.insert(377);
         },
         "HUPCL on; left alone when a program lets go: process 377 holds a live UUCP lock on it"},
    };
    for (const Case& c : cases) {
        system.ttys[kModem].settings.cflag = kCs8 | kHupcl;
        c.setUp();
        EXPECT_EQ(DiagnosePort(system, kModem).hangUp, c.hangUp) << c.what;
    }
}

} // namespace
} // namespace sarvendo
