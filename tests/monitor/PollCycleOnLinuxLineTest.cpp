// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeMonitorHost.h"
#include "core/Layouts.h"
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeLogFiles.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeSound.h"
#include "fakes/FakeSystemCalls.h"
#include "line/LineSession.h"
#include "monitor/PollCycle.h"
#include "platform/linux/LinuxLineBackend.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

const std::string kModem = "/dev/ttyS0";

// The engine on the Linux line code over a fake kernel, started as the program starts
// (the monitored port probed first) and run without the status driver: what the user of a
// real modem sees when another pppd runs beside it, and after a call.
class PollCycleOnLinuxLineTest : public ::testing::Test
{
protected:
    static constexpr int kTickMs = 56;

    PollCycleOnLinuxLineTest()
    {
        tty = &kernel.AddTty(kModem, 0x440);
        tty->bits = kTiocmDtr | kTiocmRts | kTiocmCts | kTiocmDsr;
        kernel.existing.insert("/usr/sbin/pppd");
        kernel.directories["/proc"] = {};
        kernel.directories["/sys/class/net"] = {"eth0", "lo"};
        directories.system = "/usr/sbin";
        settings.DefaultPort = 1;
        settings.NewOrientation = kModemLayout;
        settings.LogRI = 1;
        settings.LogDCD = 1;
        settings.DCDInterval = 5;
        session.DetectDialUpKind();
        session.ProbePort(1);
        cycle.Time().StartSession();
    }

    // Ticks for a while; whether the CD, RI or a byte lamp lit on any of them.
    void RunFor(std::int64_t ms)
    {
        for (std::int64_t elapsed = 0; elapsed < ms; elapsed += kTickMs) {
            clock.Advance(kTickMs);
            kernel.now += kTickMs;
            cycle.TimerTimer();
            litCd = litCd || settings.LampCD == 1;
            litRi = litRi || settings.LampRI == 1;
            litBytes = litBytes || settings.LampTD == 1 || settings.LampRD == 1;
        }
    }

    void Ring()
    {
        tty->bits |= kTiocmRng;
        RunFor(1000);
        tty->bits &= ~kTiocmRng;
        RunFor(3000);
    }

    std::string RingLog() { return files.files["/logs/Sarvendo.RI"]; }

    // A PPPoE pppd started by "pon dsl" on ppp0: root's, so its descriptors cannot be read;
    // no lock; its plugin named in /etc/ppp/peers/dsl, so its command line tells nothing.
    void PppoeOnPpp0()
    {
        kernel.AddHiddenProcess(900);
        kernel.files["/proc/900/comm"] = "pppd\n";
        kernel.files["/proc/900/cmdline"] = std::string("/usr/sbin/pppd\0call\0dsl\0", 24);
        kernel.directories["/sys/class/net"].push_back("ppp0");
        kernel.files["/sys/class/net/ppp0/ifindex"] = "7\n";
        kernel.files["/sys/class/net/ppp0/flags"] = "0x1091\n";
        kernel.files["/run/ppp0.pid"] = "900\n";
        Traffic(0);
    }

    void Traffic(int bytes)
    {
        kernel.files["/sys/class/net/ppp0/statistics/tx_bytes"] = std::to_string(bytes);
        kernel.files["/sys/class/net/ppp0/statistics/rx_bytes"] = std::to_string(bytes * 3);
    }

    fakes::FakeSystemCalls kernel;
    fakes::FakeSystemCalls::Tty* tty = nullptr;
    Settings settings;
    fakes::FakeClock clock;
    fakes::FakeDirectories directories{"/logs"};
    fakes::FakeMessageBoxes boxes;
    fakes::FakeSound sound;
    fakes::FakeLogFiles files;
    fakes::FakeMonitorHost host;
    DateTimeFormats formats;
    LinuxLineBackend backend{PortDeviceMap{kModem}, [this] { return settings.DefaultPort; }, "", &kernel,
                             [](const std::string&) {}};
    LineSession session{settings, backend.View(), clock, directories, boxes};
    PollCycle cycle{settings, clock, session, sound, boxes, files, directories, formats, host};
    bool litCd = false;
    bool litRi = false;
    bool litBytes = false;
};

TEST_F(PollCycleOnLinuxLineTest, APppdBesideAnIdleModemCountsOnlyWhenTheModemsLineRunsPpp)
{
    PppoeOnPpp0();
    for (const int discipline : {0, kPppDiscipline}) {
        SCOPED_TRACE(discipline);
        const bool onTheLine = discipline == kPppDiscipline;
        tty->discipline = discipline;
        litCd = litBytes = false;
        for (int second = 1; second <= 20; ++second) {
            Traffic(second * 1000);
            RunFor(1000);
        }
        EXPECT_EQ(litCd, onTheLine) << "the CD lamp";
        EXPECT_EQ(litBytes, onTheLine) << "the TD and RD lamps";
        EXPECT_EQ(settings.SessionSent > 0, onTheLine);
        EXPECT_EQ(files.files.count("/logs/Sarvendo.DCD") != 0, onTheLine) << "the connect log";
    }

    // While the port cannot be asked (held exclusively since a hang-up) the pppd counts
    // as it comes; once the port is taken back and carries no link, it stops counting.
    tty->discipline = 0;
    tty->openError = -EBUSY;
    kernel.HangUpTty(kModem);
    RunFor(10'000);
    tty->openError = 0;
    RunFor(4000);
    litCd = false;
    RunFor(2000);
    EXPECT_FALSE(litCd);
}

TEST_F(PollCycleOnLinuxLineTest, AfterAHangUpTheNextCallsRingIsSeenAndLogged)
{
    // The first call rings twice; a getty answers, and at the carrier's loss the kernel
    // hangs up every open file of the tty (CLOCAL clear). A DSL link runs beside it all
    // along, and never counts, not even before the port is taken back.
    PppoeOnPpp0();
    Ring();
    Ring();
    kernel.AddHolder(412, 0, kModem);
    tty->bits |= kTiocmCar;
    RunFor(20'000);
    tty->bits &= ~kTiocmCar;
    kernel.HangUpTty(kModem);
    Traffic(5000);
    RunFor(1000);
    kernel.DropHolder(412);
    RunFor(15'000);
    ASSERT_TRUE(RingLog().ends_with("Signals= 2\r\n")) << RingLog();

    // The port is free again: its lines live again, and the next call is heard.
    EXPECT_EQ(settings.LampDTR, 1);
    EXPECT_EQ(settings.LampRTS, 1);
    const std::string firstCall = RingLog();
    litRi = false;
    Ring();
    Ring();
    Ring();
    RunFor(11'000);
    EXPECT_TRUE(litRi) << "the RI lamp";
    EXPECT_TRUE(RingLog().starts_with(firstCall + "Call: ")) << RingLog();
    EXPECT_TRUE(RingLog().ends_with("Signals= 3\r\n")) << RingLog();
    EXPECT_FALSE(litCd || litBytes) << "the DSL link";
}

} // namespace
} // namespace sarvendo
