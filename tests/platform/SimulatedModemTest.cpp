// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/FakeClock.h"
#include "fakes/FakeEventPump.h"
#include "platform/sim/SimulatedLineBackend.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeClock;
using fakes::FakeEventPump;

Scenario Parse(std::string_view text)
{
    auto parsed = ParseScenario(text);
    EXPECT_TRUE(parsed.scenario) << parsed.error;
    return parsed.scenario.value_or(Scenario{});
}

class SimulatedModemTest : public ::testing::Test
{
protected:
    void Start(std::string_view text)
    {
        platform = std::make_unique<SimulatedLineBackend>(
            Parse(text), clock, [this] { return monitoredPort; }, events, "test", [](int) {});
    }
    SimulatedModem& Modem() { return platform->Modem(); }

    FakeClock clock;
    FakeEventPump events;
    int monitoredPort = 1;
    std::unique_ptr<SimulatedLineBackend> platform;
};

TEST_F(SimulatedModemTest, RingPulsesLastTwoSeconds)
{
    Start("1 ring\n");
    EXPECT_FALSE(Modem().CurrentLines().ri);
    clock.Advance(1000);
    EXPECT_TRUE(Modem().CurrentLines().ri);
    clock.Advance(1999);
    EXPECT_TRUE(Modem().CurrentLines().ri);
    clock.Advance(1);
    EXPECT_FALSE(Modem().CurrentLines().ri);
}

TEST_F(SimulatedModemTest, CountsBytesOnlyWhileConnected)
{
    Start("0 traffic 1000 500\n2 carrier 28800\n4 carrier off\n");
    clock.Advance(2000);
    EXPECT_EQ(Modem().TotalSent(), 0U);
    clock.Advance(1500);
    EXPECT_EQ(Modem().TotalSent(), 1500U);
    EXPECT_EQ(Modem().TotalReceived(), 750U);
    EXPECT_EQ(Modem().ConnectionSent(), 1500U);
    EXPECT_EQ(Modem().Speed(), 28800U);
    clock.Advance(10000);
    EXPECT_EQ(Modem().TotalSent(), 2000U);
    EXPECT_EQ(Modem().ConnectionSent(), 0U);
    EXPECT_EQ(Modem().Speed(), 0U);
}

TEST_F(SimulatedModemTest, LoopsFromTheStart)
{
    Start("loop\n0 cts on\n1 cts off\n2 end\n");
    EXPECT_TRUE(Modem().CurrentLines().cts);
    clock.Advance(1500);
    EXPECT_FALSE(Modem().CurrentLines().cts);
    clock.Advance(600);
    EXPECT_TRUE(Modem().CurrentLines().cts);
    // A long jump passes many loops without losing the phase.
    clock.Advance(2 * 1000 * 1000 + 1000);
    EXPECT_FALSE(Modem().CurrentLines().cts);
}

TEST_F(SimulatedModemTest, AWeekAwayKeepsThePhaseAndALoopOfNoLengthPlaysOnce)
{
    Start("loop\n0 cts on\n0.5 cts off\n1 end\n");
    clock.Advance(7LL * 24 * 3600 * 1000 + 250);
    EXPECT_TRUE(Modem().CurrentLines().cts);
    clock.Advance(500);
    EXPECT_FALSE(Modem().CurrentLines().cts);

    Scenario noLength;
    noLength.loop = true;
    ScenarioEvent ring;
    ring.kind = ScenarioEvent::Kind::Ring;
    noLength.events.push_back(ring);
    platform = std::make_unique<SimulatedLineBackend>(
        noLength, clock, [] { return 1; }, events, "test", [](int) {});
    clock.Advance(10000);
    EXPECT_FALSE(Modem().CurrentLines().ri);
}

TEST_F(SimulatedModemTest, CarrierDropsOnlyWhenDtrStaysOffOverASecond)
{
    Start("0 dtr on\n0 carrier 33600\n");
    platform->View().modemLines.WriteModemControl(1, 0x0A);
    clock.Advance(900);
    platform->View().modemLines.WriteModemControl(1, 0x0B);
    EXPECT_TRUE(Modem().CurrentLines().cd);

    platform->View().modemLines.WriteModemControl(1, 0x0A);
    clock.Advance(1000);
    EXPECT_TRUE(Modem().CurrentLines().cd);
    clock.Advance(1);
    platform->View().modemLines.WriteModemControl(1, 0x0B);
    EXPECT_FALSE(Modem().CurrentLines().cd);
    EXPECT_TRUE(Modem().CurrentLines().dtr);
}

TEST_F(SimulatedModemTest, AnswersAtCommandsAfterItsEcho)
{
    Start("");
    auto opened = platform->View().serialDevices.Open(1, SerialDevices::Purpose::ReadWrite);
    ASSERT_TRUE(opened.port);
    EXPECT_EQ(opened.port->Write("ATZ\r\n", 0), 5U);
    EXPECT_EQ(Modem().ReadableForProgram(), "ATZ\r\n");
    clock.Advance(200);
    EXPECT_EQ(Modem().ReadableForProgram(), "ATZ\r\n\r\nOK\r\n");
    std::array<std::uint8_t, 64> buffer{};
    EXPECT_EQ(opened.port->Read(buffer), 11U);
    EXPECT_EQ(opened.port->InputQueue(), 0U);

    opened.port->Write("atdt5551234\r", 0);
    clock.Advance(1000);
    std::string answer(64, '\0');
    const auto n = opened.port->Read(std::span(reinterpret_cast<std::uint8_t*>(answer.data()), answer.size()));
    answer.resize(n);
    EXPECT_EQ(answer, "atdt5551234\r\r\nCONNECT 33600\r\n");

    // Only one program at a time.
    EXPECT_EQ(platform->View().serialDevices.Open(1, SerialDevices::Purpose::ReadWrite).error, PortOpenError::Busy);
}

TEST_F(SimulatedModemTest, PortHeldByAnotherProgramIsBusyAndTrackedByTheDriver)
{
    Start("1 open\n1 params 57600 8N1\n3 close\n");
    auto line = platform->View();
    const std::int32_t handle = line.statusDriver.Open("/opt/bin/SARVEN95.VXD");
    ASSERT_GT(handle, 0);
    EXPECT_EQ(line.statusDriver.Request(handle, kQueryPortOpen, 4).bytesReturned, 0U);
    clock.Advance(1000);
    EXPECT_EQ(line.statusDriver.Request(handle, kQueryPortOpen, 4).bytesReturned, 4U);
    EXPECT_EQ(line.serialDevices.Open(1, SerialDevices::Purpose::Probe).error, PortOpenError::Busy);
    EXPECT_EQ(line.serialDevices.Open(2, SerialDevices::Purpose::Probe).error, PortOpenError::None);
    EXPECT_EQ(line.serialDevices.Open(5, SerialDevices::Purpose::Probe).error, PortOpenError::NotMapped);
    const auto baud = line.statusDriver.Request(handle, kReadBaudParity, 1);
    EXPECT_EQ(baud.bytesReturned, 57600U);
    EXPECT_EQ(line.statusDriver.Request(handle, 7, 0).succeeded, false);
    EXPECT_LT(line.statusDriver.Open("/opt/bin/FOOVEN95.VXD"), 0);
    clock.Advance(2000);
    EXPECT_EQ(line.statusDriver.Request(handle, kQueryPortOpen, 4).bytesReturned, 0U);
}

TEST_F(SimulatedModemTest, ModemFollowsTheMonitoredPortUnlessTheScenarioNamesOne)
{
    Start("0 cts on\n");
    monitoredPort = 3;
    EXPECT_EQ(platform->View().modemLines.ReadModemStatus(3), kMsrCts);
    EXPECT_FALSE(platform->View().modemLines.ReadModemStatus(1).has_value());
    Start("port 2\n0 cts on\n");
    EXPECT_EQ(platform->View().modemLines.ReadModemStatus(2), kMsrCts);
    EXPECT_EQ(platform->View().serialDevices.DeviceName(2), "simulated modem");
}

TEST_F(SimulatedModemTest, BuiltInSessionConnectsTwiceAndEndsBothCalls)
{
    Start(BuiltInScenarioText());
    std::vector<std::uint32_t> speeds;
    bool connected = false;
    for (int second = 0; second < 200; ++second) {
        const bool cd = Modem().CurrentLines().cd;
        if (cd && !connected) {
            speeds.push_back(Modem().Speed());
        }
        connected = cd;
        clock.Advance(1000);
    }
    ASSERT_GE(speeds.size(), 2U);
    EXPECT_EQ(speeds[0], 33600U);
    EXPECT_EQ(speeds[1], 28800U);
    EXPECT_GT(Modem().TotalSent(), 10000U);
    EXPECT_GT(Modem().TotalReceived(), Modem().TotalSent());
}

} // namespace
} // namespace sarvendo
