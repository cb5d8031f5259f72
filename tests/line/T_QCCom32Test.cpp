// SPDX-License-Identifier: GPL-3.0-or-later
#include "line/T_QCCom32.h"

#include "core/Settings.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeEventPump.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeSerialDevices.h"
#include "line/ModemInit.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeClock;
using fakes::FakeEventPump;
using fakes::FakeMessageBoxes;
using fakes::FakeSerialDevices;

class QCComTest : public ::testing::Test
{
protected:
    QCComTest()
    {
        port = &devices.Add(1);
        // Each turn of a waiting loop lets 50 ms pass.
        events.onEvents = [this] { clock.Advance(50); };
        qcCom.SetResponseTime(2000);
    }

    FakeSerialDevices devices;
    FakeSerialDevices::PortState* port = nullptr;
    FakeMessageBoxes boxes;
    FakeEventPump events;
    FakeClock clock;
    T_QCCom32 qcCom{devices, boxes, events, clock};
};

TEST_F(QCComTest, OpenSetsBaudAnd8N1KeepingTheRest)
{
    port->dcb = Dcb{2400, 7, kEvenParity, kTwoStopBits, true};
    qcCom.SetBaud(19200);
    ASSERT_TRUE(qcCom.Open());
    EXPECT_TRUE(qcCom.Opened());
    ASSERT_EQ(port->applied.size(), 1U);
    EXPECT_EQ(port->applied[0], (Dcb{19200, 8, kNoParity, kOneStopBit, true}));
    EXPECT_EQ(devices.opens.back().second, SerialDevices::Purpose::ReadWrite);
    qcCom.Close();
    EXPECT_FALSE(qcCom.Opened());
    EXPECT_EQ(port->closes, 1);
}

TEST_F(QCComTest, PortWithoutCommStateStaysOpenAsIs)
{
    port->answersCommState = false;
    EXPECT_TRUE(qcCom.Open());
    EXPECT_TRUE(port->applied.empty());
}

TEST_F(QCComTest, OpenFailureAsksAbortOrRetry)
{
    auto& busy = devices.Add(2);
    busy.failuresBeforeOpen = 2;
    qcCom.SetPort(2);
    boxes.answers = {MessageResult::Retry, MessageResult::Retry};
    EXPECT_TRUE(qcCom.Open());
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[0].text, "Error opening COM2: ");
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::AbortRetry);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);

    qcCom.SetPort(4);
    EXPECT_FALSE(qcCom.Opened()) << "the reopen after a port change fails";
    boxes.shown.clear();
    EXPECT_FALSE(qcCom.Open()); // the fake answers Ok, which is not Retry
    EXPECT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(qcCom.LastOpenError(), PortOpenError::Missing);

    qcCom.ShowErrors = false;
    boxes.shown.clear();
    EXPECT_FALSE(qcCom.Open());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(QCComTest, SamePortOrBaudAgainDoesNotReopen)
{
    ASSERT_TRUE(qcCom.Open());
    qcCom.SetPort(1);
    qcCom.SetBaud(9600);
    EXPECT_EQ(port->opens, 1);
    qcCom.SetBaud(2400);
    EXPECT_EQ(port->opens, 2);
    EXPECT_EQ(port->closes, 1);
    EXPECT_EQ(port->dcb.BaudRate, 2400U);
}

TEST_F(QCComTest, WriteAndCountOnClosedAndOpenPorts)
{
    EXPECT_FALSE(qcCom.WriteString("AT\r"));
    EXPECT_EQ(qcCom.InCount(), 0);
    ASSERT_TRUE(qcCom.Open());
    EXPECT_TRUE(qcCom.WriteString("AT\r"));
    EXPECT_EQ(port->written, "AT\r");
    port->writeFails = true;
    EXPECT_FALSE(qcCom.WriteString("AT\r"));
    devices.QueueAnswer(1, "OK\r\n");
    EXPECT_EQ(qcCom.InCount(), 4);
}

TEST_F(QCComTest, ReadWithoutEndOfResponseTakesWhatIsThere)
{
    std::string result = "stale";
    qcCom.ReadString(result);
    EXPECT_EQ(result, "") << "closed port";
    ASSERT_TRUE(qcCom.Open());
    qcCom.ReadString(result);
    EXPECT_EQ(result, "");
    EXPECT_EQ(events.calls, 0) << "no waiting and no message loop";

    devices.QueueAnswer(1, "\r\nOK\r\nmore text here");
    qcCom.ReadString(result);
    EXPECT_EQ(result, "\r\nOK\r\nmore text here");
    devices.QueueAnswer(1, "OK");
    qcCom.ReadString(result);
    EXPECT_EQ(result, "OK") << "only the new bytes";

    devices.QueueAnswer(1, std::string("AB\0CD", 5));
    qcCom.ReadString(result);
    EXPECT_EQ(result, "AB");
    EXPECT_FALSE(qcCom.InUse());
}

TEST_F(QCComTest, LongAnswerGrowsTheBuffer)
{
    ASSERT_TRUE(qcCom.Open());
    const std::string big(5000, 'x');
    devices.QueueAnswer(1, big);
    std::string result;
    qcCom.ReadString(result);
    EXPECT_EQ(result, big);
}

TEST_F(QCComTest, WaitsForEndOfResponseAcrossChunks)
{
    ASSERT_TRUE(qcCom.Open());
    qcCom.EndOfResponse = "OK\r\n";
    int delivered = 0;
    events.onEvents = [&] {
        clock.Advance(50);
        if (++delivered == 3) {
            devices.QueueAnswer(1, "ATZ\r\r\nO");
        } else if (delivered == 5) {
            devices.QueueAnswer(1, "K\r\n");
        }
    };
    std::string result;
    qcCom.ReadString(result);
    EXPECT_EQ(result, "ATZ\r\r\nOK\r\n");
    EXPECT_FALSE(qcCom.TimedOut());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(QCComTest, TimeoutAsksAndRetryWaitsAgain)
{
    ASSERT_TRUE(qcCom.Open());
    qcCom.EndOfResponse = "OK";
    int timeouts = 0;
    qcCom.OnTimeout = [&](T_QCCom32& sender) {
        EXPECT_EQ(&sender, &qcCom);
        ++timeouts;
    };
    boxes.answers = {MessageResult::Retry, MessageResult::Abort};
    const std::uint32_t start = clock.TickCount();
    std::string result;
    qcCom.ReadString(result);
    EXPECT_EQ(timeouts, 2);
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[0].text, kTimeoutText);
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::AbortRetry);
    EXPECT_TRUE(qcCom.TimedOut());
    EXPECT_GE(clock.TickCount() - start, 4000U);
    EXPECT_LT(clock.TickCount() - start, 4200U);
    EXPECT_FALSE(qcCom.InUse());
}

TEST_F(QCComTest, TimeoutWithoutErrorBoxesEndsTheRead)
{
    ASSERT_TRUE(qcCom.Open());
    qcCom.ShowErrors = false;
    qcCom.EndOfResponse = "OK";
    devices.QueueAnswer(1, "NO CARRIER");
    std::string result;
    qcCom.ReadString(result);
    EXPECT_EQ(result, "NO CARRIER");
    EXPECT_TRUE(qcCom.TimedOut());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(QCComTest, ReadDuringAReadIsTurnedAway)
{
    ASSERT_TRUE(qcCom.Open());
    qcCom.EndOfResponse = "OK";
    std::string nested = "x";
    bool reentered = false;
    events.onEvents = [&] {
        clock.Advance(50);
        if (!reentered) {
            reentered = true;
            qcCom.ReadString(nested);
            EXPECT_TRUE(qcCom.InUse());
            devices.QueueAnswer(1, "OK");
        }
    };
    std::string result;
    qcCom.ReadString(result);
    EXPECT_EQ(nested, "");
    EXPECT_EQ(result, "OK");
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kPortInUseText);
    EXPECT_FALSE(qcCom.InUse());
}

TEST_F(QCComTest, CloseDuringAWaitEndsIt)
{
    ASSERT_TRUE(qcCom.Open());
    qcCom.EndOfResponse = "OK";
    events.onEvents = [&] { qcCom.Close(); };
    std::string result;
    qcCom.ReadString(result);
    EXPECT_EQ(result, "");
    EXPECT_FALSE(qcCom.InUse());
}

class ModemInitTest : public QCComTest
{
protected:
    ModemInitTest()
    {
        settings.DefaultPort = 1;
        settings.ModemInitString = "ATZ";
        // A modem that echoes nothing and answers each line with OK.
        port->onWrite = [](FakeSerialDevices::PortState& state, const std::string&) {
            state.input.push_back("\r\nOK\r\n");
            state.input.push_back("\r\nOK\r\n");
        };
    }
    Settings settings;
};

TEST_F(ModemInitTest, SendsTheStringAwaitsTwoAnswersAndCloses)
{
    SendModemInit(settings, qcCom, events, clock, ModemInitCaller::StartUp);
    EXPECT_EQ(port->written, "ATZ\r\n");
    EXPECT_TRUE(port->input.empty()) << "both answers were read";
    EXPECT_FALSE(qcCom.Opened());
    EXPECT_EQ(port->closes, 1);
}

TEST_F(ModemInitTest, EmptyStringAtStartUpSendsOnlyTheLineEnd)
{
    settings.ModemInitString = "";
    SendModemInit(settings, qcCom, events, clock, ModemInitCaller::StartUp);
    EXPECT_EQ(port->written, "\r\n");
    EXPECT_TRUE(port->input.empty()) << "two answers are still awaited";

    port->written.clear();
    SendModemInit(settings, qcCom, events, clock, ModemInitCaller::SendNowButton);
    EXPECT_EQ(port->written, "");
    EXPECT_EQ(port->opens, 1);
}

TEST_F(ModemInitTest, UsesTheMonitoredPort)
{
    auto& second = devices.Add(2);
    settings.DefaultPort = 2;
    SendModemInit(settings, qcCom, events, clock, ModemInitCaller::SendNowButton);
    EXPECT_EQ(second.written, "ATZ\r\n");
    EXPECT_EQ(qcCom.Port(), 2);
}

TEST_F(ModemInitTest, SilentModemGivesUpWithinTheResponseTime)
{
    port->onWrite = nullptr;
    const std::uint32_t start = clock.TickCount();
    SendModemInit(settings, qcCom, events, clock, ModemInitCaller::StartUp);
    EXPECT_LE(clock.TickCount() - start, 2100U);
    EXPECT_GE(clock.TickCount() - start, 2000U);
    EXPECT_FALSE(qcCom.Opened());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ModemInitTest, AWriteThatWentOutInPartIsContinuedNotRepeated)
{
    settings.ModemInitString = "AT&F1E0V1";
    port->writeAccepts = {4, 0, 3};
    SendModemInit(settings, qcCom, events, clock, ModemInitCaller::StartUp);
    EXPECT_EQ(port->written, "AT&F1E0V1\r\n");
}

TEST_F(ModemInitTest, WriteThatNeverGoesOutGivesUp)
{
    port->writeFails = true;
    SendModemInit(settings, qcCom, events, clock, ModemInitCaller::StartUp);
    EXPECT_FALSE(qcCom.Opened());
    EXPECT_GE(events.calls, 1);
}

TEST_F(ModemInitTest, PortThatCannotOpenStopsQuietlyWithoutShowErrors)
{
    qcCom.ShowErrors = false;
    settings.DefaultPort = 3;
    SendModemInit(settings, qcCom, events, clock, ModemInitCaller::StartUp);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(qcCom.Opened());
}

} // namespace
} // namespace sarvendo
