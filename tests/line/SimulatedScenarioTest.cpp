// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDirectories.h"
#include "fakes/FakeEventPump.h"
#include "fakes/FakeMessageBoxes.h"
#include "line/HangUp.h"
#include "line/LineSession.h"
#include "platform/sim/SimulatedLineBackend.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeClock;
using fakes::FakeDirectories;
using fakes::FakeEventPump;
using fakes::FakeMessageBoxes;

// A scenario file played through the program's side of the line, tick by tick, the way
// the poll cycle and the painting ask: what each source reports at each moment.
constexpr std::string_view kSession = R"(
port 2
0    dsr on
0    cts on
0    dtr on
1    ring
+3   ring
+2.5 open pppd
+0   params 57600 8N1
+1   carrier 28800
+1   traffic 1000 4000
+2   traffic 0 0
+2   carrier off
+0.5 close
)";

class SimulatedScenarioTest : public ::testing::Test
{
protected:
    SimulatedScenarioTest()
    {
        directories.programFile = "/opt/sarvendo/bin/sarvendo";
        directories.system = "/usr/sbin";
        settings.DefaultPort = 2;
        auto parsed = ParseScenario(kSession);
        EXPECT_TRUE(parsed.scenario) << parsed.error;
        platform = std::make_unique<SimulatedLineBackend>(
            *parsed.scenario, clock, [] { return 2; }, events, "test", [](int) {});
        session = std::make_unique<LineSession>(settings, platform->View(), clock, directories, boxes);
        session->OpenStatusDriver();
        session->DetectDialUpKind();
    }

    struct Tick
    {
        bool portOpen = false;
        std::uint8_t lineStatus = 0;
        ByteCounts dialUp;
        bool dialUpConnected = false;
        ByteCounts driver;
        std::uint8_t msr = 0;
        std::string text;
    };

    // What one tick of the poll cycle and one paint would read.
    Tick Read()
    {
        Tick tick;
        tick.portOpen = session->QueryPortOpen();
        if (tick.portOpen) {
            tick.lineStatus = session->ReadLineStatus();
        }
        const DialUpReading reading = session->ReadDialUpCounters();
        tick.dialUp = reading.counts;
        tick.dialUpConnected = reading.connected;
        tick.driver = session->ReadDriverByteCounts(sentTotal, receivedTotal);
        sentTotal = std::max(sentTotal, tick.driver.sent);
        receivedTotal = std::max(receivedTotal, tick.driver.received);
        tick.msr = session->ReadModemStatus().value_or(0xEE);
        session->FormatCommParameters(tick.text);
        return tick;
    }

    Tick At(std::uint32_t ms)
    {
        clock.Advance(static_cast<std::int64_t>(ms - elapsed));
        elapsed = ms;
        return Read();
    }

    FakeClock clock;
    FakeEventPump events;
    FakeDirectories directories;
    FakeMessageBoxes boxes;
    Settings settings;
    std::unique_ptr<SimulatedLineBackend> platform;
    std::unique_ptr<LineSession> session;
    std::uint32_t elapsed = 0;
    std::int32_t sentTotal = 0;
    std::int32_t receivedTotal = 0;
};

TEST_F(SimulatedScenarioTest, EachSourceReportsTheSessionTickByTick)
{
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_GT(settings.DriverHandle, 0);
    EXPECT_EQ(settings.DialUpKind, 1);

    // Idle: no port open, so the driver reports nothing and RI comes from the register.
    Tick t = At(500);
    EXPECT_FALSE(t.portOpen);
    EXPECT_EQ(t.msr, kMsrCts | kMsrDsr);
    EXPECT_EQ(t.text, "");

    t = At(1500); // ringing
    EXPECT_EQ(t.msr, kMsrCts | kMsrDsr | kMsrRi);
    t = At(3500); // between rings
    EXPECT_EQ(t.msr, kMsrCts | kMsrDsr);
    t = At(4500); // second ring
    EXPECT_EQ(t.msr & kMsrRi, kMsrRi);

    t = At(6600); // pppd has the port, no carrier yet
    EXPECT_TRUE(t.portOpen);
    EXPECT_EQ(t.lineStatus, kMsrCts | kMsrDsr);
    EXPECT_EQ(t.text, "8N1 57600");
    EXPECT_EQ(t.dialUp.sent, 0);
    EXPECT_EQ(settings.DialUpFound, 0);
    EXPECT_FALSE(t.dialUpConnected);

    t = At(7600); // connected at 28800
    EXPECT_EQ(t.lineStatus, kMsrCts | kMsrDsr | kMsrCd);
    EXPECT_EQ(settings.DialUpFound, 1);
    EXPECT_TRUE(t.dialUpConnected);
    EXPECT_EQ(t.dialUp.speed, 28800);

    t = At(9000); // half a second of traffic: 1000 and 4000 bytes a second
    EXPECT_EQ(t.dialUp.sent, 500);
    EXPECT_EQ(t.dialUp.received, 2000);
    EXPECT_EQ(t.driver.sent, 500);
    EXPECT_EQ(t.driver.received, 2000);
    t = At(9500);
    EXPECT_EQ(t.dialUp.sent, 1000);
    EXPECT_EQ(t.driver.sent, 1000);
    EXPECT_EQ(t.driver.received, 4000);

    t = At(11500); // idle but connected
    EXPECT_EQ(t.dialUp.sent, 2000);
    EXPECT_EQ(t.dialUp.received, 8000);
    EXPECT_EQ(t.driver.sent, 2000);
    EXPECT_EQ(t.lineStatus & kMsrCd, kMsrCd);

    t = At(12600); // the remote end hung up; pppd still holds the port
    EXPECT_TRUE(t.portOpen);
    EXPECT_EQ(t.lineStatus & kMsrCd, 0);
    EXPECT_EQ(t.dialUp.sent, 0);
    EXPECT_EQ(settings.DialUpFound, 0);

    t = At(13500); // pppd gone
    EXPECT_FALSE(t.portOpen);
    EXPECT_EQ(t.text, "");
    EXPECT_EQ(t.driver.sent, 0);
}

TEST_F(SimulatedScenarioTest, HangUpDropsTheCarrierOfTheSimulatedModem)
{
    At(8000);
    ASSERT_EQ(session->ReadLineStatus() & kMsrCd, kMsrCd);
    // The hang-up busy-waits on the tick count; let the fake clock run while it is read.
    class RunningClock final : public Clock
    {
    public:
        explicit RunningClock(FakeClock& clock) : m_clock(clock) {}
        DateTime Now() const override { return m_clock.Now(); }
        std::uint32_t TickCount() const override
        {
            m_clock.Advance(10);
            return m_clock.TickCount();
        }
        std::uint64_t MonotonicMs() const override { return m_clock.MonotonicMs(); }

    private:
        FakeClock& m_clock;
    };
    RunningClock running(clock);
    HangUp(settings, platform->View(), running);
    EXPECT_EQ(session->ReadLineStatus() & kMsrCd, 0);
    EXPECT_EQ(session->ReadModemControl().value_or(0) & kMcrDtr, kMcrDtr) << "DTR is back";
}

TEST_F(SimulatedScenarioTest, ModemInitTalksToTheIdleModemAndFindsItBusyLater)
{
    session->QCCom().ShowErrors = false;
    settings.ModemInitString = "AT&F";
    events.onEvents = [this] { clock.Advance(20); };
    session->SendModemInit();
    EXPECT_FALSE(session->QCCom().Opened());
    EXPECT_EQ(session->QCCom().LastOpenError(), PortOpenError::None);

    At(7000);
    session->SendModemInit();
    EXPECT_EQ(session->QCCom().LastOpenError(), PortOpenError::Busy);
    EXPECT_EQ(session->ProbePort(2), PortOpenError::Busy);
    EXPECT_EQ(settings.PortAvailable[1], 0);
}

} // namespace
} // namespace sarvendo
