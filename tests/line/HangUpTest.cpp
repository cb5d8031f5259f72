// SPDX-License-Identifier: GPL-3.0-or-later
#include "line/HangUp.h"

#include "core/Settings.h"

#include "fakes/FakeLinePlatform.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeLinePlatform;

// A tick count that moves on by a step each time it is read, as the real one does
// during a busy wait.
class SteppingClock final : public Clock
{
public:
    explicit SteppingClock(std::uint32_t start, std::uint32_t step = 7) : m_tick(start), m_step(step) {}
    DateTime Now() const override { return 0.0; }
    std::uint32_t TickCount() const override
    {
        const std::uint32_t now = m_tick;
        m_tick += m_step;
        return now;
    }
    std::uint64_t MonotonicMs() const override { return m_tick; }
    std::uint32_t Peek() const { return m_tick; }

private:
    mutable std::uint32_t m_tick;
    std::uint32_t m_step;
};

class HangUpTest : public ::testing::Test
{
protected:
    HangUpTest()
    {
        settings.DefaultPort = 1;
        line.modemLines.SetLines(1, 0x0B, 0xB0); // DTR, RTS, OUT2
    }

    Settings settings;
    FakeLinePlatform line;
};

TEST_F(HangUpTest, DropsDtrForOverASecondAndRestoresTheByte)
{
    SteppingClock clock(5000);
    std::vector<std::uint8_t> written;
    HangUp(settings, line.View(), clock);
    for (const auto& access : line.modemLines.log) {
        if (access.what == 'w') {
            written.push_back(access.value);
        }
    }
    EXPECT_EQ(written, (std::vector<std::uint8_t>{0x0A, 0x0B}));
    EXPECT_EQ(line.modemLines.ports[1].control, 0x0B);
    EXPECT_GT(clock.Peek() - 5000, 1000U);
}

TEST_F(HangUpTest, DtrAlreadyOffWritesTheSameByteTwice)
{
    line.modemLines.SetLines(1, 0x12, 0x00); // RTS and loopback, DTR off
    SteppingClock clock(0);
    HangUp(settings, line.View(), clock);
    ASSERT_EQ(line.modemLines.Writes(), 2);
    for (const auto& access : line.modemLines.log) {
        if (access.what == 'w') {
            EXPECT_EQ(access.value, 0x12);
        }
    }
}

TEST_F(HangUpTest, WaitsJustOverASecondAcrossTheTickWrap)
{
    SteppingClock clock(0xFFFFFF00U, 1);
    HangUp(settings, line.View(), clock);
    const std::uint32_t elapsed = clock.Peek() - 0xFFFFFF00U;
    EXPECT_GT(elapsed, 1000U);
    EXPECT_LT(elapsed, 1010U);
}

TEST_F(HangUpTest, IgnoresNoDirectHardwareAccess)
{
    settings.NoDirectHardwareAcesss = 1;
    SteppingClock clock(0);
    HangUp(settings, line.View(), clock);
    EXPECT_EQ(line.modemLines.Writes(), 2);
}

TEST_F(HangUpTest, PortsOutsideTheTableAreNotTouched)
{
    for (std::int32_t port : {0, 5, 9}) {
        settings.DefaultPort = port;
        SteppingClock clock(0);
        HangUp(settings, line.View(), clock);
        EXPECT_TRUE(line.modemLines.log.empty()) << port;
        EXPECT_EQ(clock.Peek(), 0U) << "no wait for port " << port;
    }
}

TEST_F(HangUpTest, UnseenLinesAreNotWrittenWithMadeUpBits)
{
    settings.DefaultPort = 2; // no register entry in the fake: its lines cannot be seen
    SteppingClock clock(0);
    HangUp(settings, line.View(), clock);
    EXPECT_EQ(line.modemLines.Writes(), 0);
}

TEST_F(HangUpTest, SaysWhetherItActedAndWhyNot)
{
    line.modemLines.reasons[2] = "busy: another program holds it exclusively";
    struct Case
    {
        std::int32_t port;
        bool refuseWrites;
        bool performed;
        std::string text;
    };
    const std::vector<Case> cases{
        {1, false, true, ""},
        {0, false, false, "Sarvendo could not hang up the line: no port is monitored."},
        {6, false, false,
         "Sarvendo could not hang up the line: the control lines of COM6 cannot be switched; only COM1 to COM4 can "
         "be hung up."},
        {2, false, false,
         "Sarvendo could not hang up the line: the control lines of COM2 cannot be reached (busy: another program "
         "holds it exclusively)."},
        {1, true, false, "Sarvendo could not hang up the line: the control lines of COM1 cannot be reached."},
    };
    for (const Case& c : cases) {
        settings.DefaultPort = c.port;
        line.modemLines.refuseWrites = c.refuseWrites;
        SteppingClock clock(0);
        const HangUpResult result = HangUp(settings, line.View(), clock);
        EXPECT_EQ(result.performed, c.performed) << c.port;
        EXPECT_EQ(HangUpFailureText(result), c.text) << c.port;
        // Only a hang-up that switched DTR off waits out the second.
        EXPECT_EQ(clock.Peek() > 1000U, c.performed) << c.port;
    }
}

TEST_F(HangUpTest, UsesTheMonitoredPortsRegister)
{
    settings.DefaultPort = 3;
    line.modemLines.SetLines(3, 0x03, 0x00);
    SteppingClock clock(0);
    HangUp(settings, line.View(), clock);
    EXPECT_EQ(line.modemLines.ports[1].control, 0x0B);
    EXPECT_EQ(line.modemLines.log.front().port, 3);
    EXPECT_EQ(line.modemLines.ports[3].control, 0x03);
}

} // namespace
} // namespace sarvendo
