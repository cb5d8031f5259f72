// SPDX-License-Identifier: GPL-3.0-or-later
#include "line/StatusDriver.h"

#include "core/Settings.h"

#include "fakes/FakeDirectories.h"
#include "fakes/FakeLinePlatform.h"
#include "fakes/FakeMessageBoxes.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

using fakes::FakeDirectories;
using fakes::FakeLinePlatform;
using fakes::FakeMessageBoxes;

class StatusDriverTest : public ::testing::Test
{
protected:
    StatusDriverTest()
    {
        directories.programFile = "/opt/sarvendo/bin/sarvendo";
        line.statusDriver.presentPaths.insert("/opt/sarvendo/bin/SARVEN95.VXD");
        settings.DefaultPort = 1;
    }

    void OpenWorkingDriver()
    {
        line.statusDriver.Answer(kHookComm, 0);
        OpenStatusDriver(settings, line.View(), directories, boxes);
        ASSERT_GT(settings.DriverHandle, 0);
    }

    Settings settings;
    FakeLinePlatform line;
    FakeDirectories directories;
    FakeMessageBoxes boxes;
};

TEST(StatusDriverPathTest, KeepsOnlyTheProgramsOwnNameWorking)
{
    EXPECT_EQ(StatusDriverPath("/usr/bin/sarvendo"), "/usr/bin/SARVEN95.VXD");
    EXPECT_EQ(StatusDriverPath("/usr/bin/SARVENDO"), "/usr/bin/SARVEN95.VXD");
    // Only the file name is upper-cased; the directory keeps its spelling.
    EXPECT_EQ(StatusDriverPath("/home/Ann/sarvendo"), "/home/Ann/SARVEN95.VXD");
    EXPECT_EQ(StatusDriverPath("/usr/bin/foovendo"), "/usr/bin/FOOVEN95.VXD");
    EXPECT_EQ(StatusDriverPath("/usr/bin/sarvendo-old"), "/usr/bin/SARVENDVEN95.VXD");
    EXPECT_EQ(StatusDriverPath("abc"), "VEN95.VXD");
}

TEST_F(StatusDriverTest, WorkingDriverHooksWithoutWarning)
{
    OpenWorkingDriver();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(line.statusDriver.Codes(), (std::vector<std::uint32_t>{kHookComm}));
    EXPECT_EQ(line.statusDriver.calls[0].outBufferSize, 0U);
}

TEST_F(StatusDriverTest, RenamedProgramFindsNoDriverAndWarnsOnce)
{
    directories.programFile = "/opt/sarvendo/bin/monitor";
    int showingDuringBox = -1;
    boxes.whileOpen = [&](const FakeMessageBoxes::Shown&) { showingDuringBox = settings.DialogShowing; };
    OpenStatusDriver(settings, line.View(), directories, boxes);

    EXPECT_EQ(settings.DriverHandle, -1);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kDriverNotFoundText);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(showingDuringBox, 1);
    EXPECT_EQ(settings.DialogShowing, 0);
    EXPECT_TRUE(line.statusDriver.calls.empty());

    // Without a driver nothing is asked and nothing is reported.
    EXPECT_FALSE(QueryPortOpen(settings, line.View()));
    const auto counts = ReadDriverByteCounts(settings, line.View(), 10, 20);
    EXPECT_EQ(counts.sent, 0);
    EXPECT_EQ(counts.received, 0);
    ReleaseStatusDriver(settings, line.View());
    EXPECT_TRUE(line.statusDriver.closedHandles.empty());
}

TEST_F(StatusDriverTest, RefusedHookWarnsAndKeepsAskingAtTheSameMoments)
{
    line.statusDriver.Refuse(kHookComm);
    OpenStatusDriver(settings, line.View(), directories, boxes);
    ASSERT_GT(settings.DriverHandle, 0);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].text, kDriverHookFailedText);

    line.statusDriver.ResetCounts();
    line.statusDriver.SetPortOpen(true);
    EXPECT_TRUE(QueryPortOpen(settings, line.View()));
    ReadLineStatus(settings, line.View());
    ReadDriverByteCounts(settings, line.View(), 0, 0);
    settings.AlternativeMethodForRD = 1;
    ReadDriverByteCounts(settings, line.View(), 0, 0);
    ReadLineParameters(settings, line.View(), nullptr, settings.PortDCB);
    EXPECT_EQ(line.statusDriver.Codes(),
              (std::vector<std::uint32_t>{kQueryPortOpen, kReadLineStatus, kQueryPortOpen, kTakeSentCount,
                                          kTakeReceivedCount, kQueryPortOpen, kTakeSentCount, kTakeReceivedCountAlt,
                                          kReadBaudParity, kReadFrameFormat}));
    EXPECT_EQ(line.statusDriver.calls[0].outBufferSize, 4U);
    EXPECT_EQ(line.statusDriver.calls[8].outBufferSize, 1U);
    EXPECT_EQ(line.statusDriver.calls[9].outBufferSize, 1U);
}

TEST_F(StatusDriverTest, PortOpenNeedsThreeBytes)
{
    OpenWorkingDriver();
    for (std::uint32_t bytes : {0U, 1U, 2U}) {
        line.statusDriver.Answer(kQueryPortOpen, bytes);
        line.statusDriver.Answer(kTakeSentCount, 100);
        line.statusDriver.ResetCounts();
        EXPECT_FALSE(QueryPortOpen(settings, line.View())) << bytes;
        const auto counts = ReadDriverByteCounts(settings, line.View(), 5, 6);
        EXPECT_EQ(counts.sent, 0);
        EXPECT_EQ(counts.received, 0);
        EXPECT_EQ(line.statusDriver.Count(kTakeSentCount), 0);
        std::string text;
        settings.PortDCB.ByteSize = 8;
        FormatCommParameters(settings, line.View(), text);
        EXPECT_EQ(text, "");
    }
    line.statusDriver.Answer(kQueryPortOpen, 3);
    EXPECT_TRUE(QueryPortOpen(settings, line.View()));
    // A failed request 6 reads as 0 even when the driver wrote a count.
    line.statusDriver.Answer(kQueryPortOpen, 4, 0, false);
    EXPECT_FALSE(QueryPortOpen(settings, line.View()));
}

TEST_F(StatusDriverTest, LineStatusIsTheLowByte)
{
    OpenWorkingDriver();
    line.statusDriver.Answer(kReadLineStatus, 0x1B0);
    EXPECT_EQ(ReadLineStatus(settings, line.View()), 0xB0);
}

TEST_F(StatusDriverTest, ByteCountsAddIncrementsToTheBases)
{
    OpenWorkingDriver();
    line.statusDriver.SetPortOpen(true);
    line.statusDriver.Answer(kTakeSentCount, 40);
    line.statusDriver.Answer(kTakeReceivedCount, 70);
    line.statusDriver.Answer(kTakeReceivedCountAlt, 9);
    auto counts = ReadDriverByteCounts(settings, line.View(), 1000, 2000);
    EXPECT_EQ(counts.sent, 1040);
    EXPECT_EQ(counts.received, 2070);
    EXPECT_EQ(counts.speed, 0);

    settings.AlternativeMethodForRD = 1;
    counts = ReadDriverByteCounts(settings, line.View(), 1000, 2000);
    EXPECT_EQ(counts.received, 2009);

    // A negative total reads as 0 (the count is a signed value).
    line.statusDriver.Answer(kTakeSentCount, static_cast<std::uint32_t>(-50));
    counts = ReadDriverByteCounts(settings, line.View(), 10, 0);
    EXPECT_EQ(counts.sent, 0);

    // A dial-up notification's second number switches the driver's counts off.
    settings.NotifyValue2 = 3;
    line.statusDriver.ResetCounts();
    counts = ReadDriverByteCounts(settings, line.View(), 10, 10);
    EXPECT_EQ(counts.sent, 0);
    EXPECT_TRUE(line.statusDriver.calls.empty());
}

TEST_F(StatusDriverTest, LineParametersFromTheDriverUseTheLowFourBits)
{
    OpenWorkingDriver();
    settings.PortDCB.OutxCtsFlow = true;
    line.statusDriver.Answer(kReadBaudParity, 57600, 0x32);
    line.statusDriver.Answer(kReadFrameFormat, 0x78, 0x21);
    ReadLineParameters(settings, line.View(), nullptr, settings.PortDCB);
    EXPECT_EQ(settings.PortDCB.BaudRate, 57600U);
    EXPECT_EQ(settings.PortDCB.Parity, 2);
    EXPECT_EQ(settings.PortDCB.ByteSize, 8);
    EXPECT_EQ(settings.PortDCB.StopBits, 1);
    EXPECT_TRUE(settings.PortDCB.OutxCtsFlow);
}

TEST_F(StatusDriverTest, LineParametersWithoutDriverComeFromThePortOrStayCleared)
{
    settings.PortDCB = Dcb{19200, 7, kEvenParity, kTwoStopBits};
    ReadLineParameters(settings, line.View(), nullptr, settings.PortDCB);
    EXPECT_EQ(settings.PortDCB.BaudRate, 0U);
    EXPECT_EQ(settings.PortDCB.ByteSize, 0);
    EXPECT_EQ(settings.PortDCB.Parity, kEvenParity);
    EXPECT_EQ(settings.PortDCB.StopBits, kTwoStopBits);

    auto& port = line.serialDevices.Add(2);
    port.dcb = Dcb{38400, 8, kNoParity, kOneStopBit};
    auto opened = line.serialDevices.Open(2, SerialDevices::Purpose::Probe);
    ReadLineParameters(settings, line.View(), opened.port.get(), settings.PortDCB);
    EXPECT_EQ(settings.PortDCB, port.dcb);

    port.answersCommState = false;
    settings.PortDCB.Parity = kOddParity;
    ReadLineParameters(settings, line.View(), opened.port.get(), settings.PortDCB);
    EXPECT_EQ(settings.PortDCB.BaudRate, 0U);
    EXPECT_EQ(settings.PortDCB.Parity, kOddParity);
}

class CommParametersTest : public StatusDriverTest
{
protected:
    void SetUp() override
    {
        OpenWorkingDriver();
        line.statusDriver.SetPortOpen(true);
        SetLine(57600, kNoParity, 8, kOneStopBit);
    }
    void SetLine(std::uint32_t baud, std::uint32_t parity, std::uint32_t bits, std::uint32_t stop)
    {
        line.statusDriver.Answer(kReadBaudParity, baud, parity);
        line.statusDriver.Answer(kReadFrameFormat, bits, stop);
    }
    std::string Format(std::string buffer = {})
    {
        FormatCommParameters(settings, line.View(), buffer);
        return buffer;
    }
};

TEST_F(CommParametersTest, BuildsTheClassicText)
{
    EXPECT_EQ(Format(), "8N1 57600");
    EXPECT_EQ(Format("COM 1 "), "COM 1  8N1 57600");
    SetLine(56000, kMarkParity, 7, kOneAndHalfStopBits);
    EXPECT_EQ(Format(), "7M1.5 57600");
    SetLine(38400, kSpaceParity, 5, kTwoStopBits);
    EXPECT_EQ(Format(), "5S2 38400");
    SetLine(28800, kOddParity, 8, kOneStopBit);
    EXPECT_EQ(Format(), "8O1 28800");
}

TEST_F(CommParametersTest, OddCodesAreLeftOutAndZeroBaudEndsWithTheSpace)
{
    SetLine(0, kNoParity, 8, kOneStopBit);
    EXPECT_EQ(Format(), "8N1 ");
    SetLine(9600, 5, 8, 3);
    EXPECT_EQ(Format(), "8 9600");
    SetLine(9600, 15, 8, kTwoStopBits);
    EXPECT_EQ(Format(), "82 9600");
}

TEST_F(CommParametersTest, RatesAboveTheUartClockAreShownAsTheyAre)
{
    SetLine(230400, kNoParity, 8, kOneStopBit);
    EXPECT_EQ(Format(), "8N1 230400");
    SetLine(115201, kNoParity, 8, kOneStopBit);
    EXPECT_EQ(Format(), "8N1 115201");
    EXPECT_EQ(ShownBaudRate(115200), 115200U);
    EXPECT_EQ(ShownBaudRate(50000), 57600U);
    EXPECT_EQ(ShownBaudRate(1), 1U);
    EXPECT_EQ(ShownBaudRate(0xFFFFFFFFU), 0xFFFFFFFFU);
}

TEST_F(CommParametersTest, SpeedTextWinsUnlessTooLong)
{
    settings.SpeedText = "@ 28800 bps";
    EXPECT_EQ(Format("x"), "x@ 28800 bps");
    EXPECT_EQ(line.statusDriver.Count(kReadBaudParity), 0);
    settings.SpeedText = std::string(145, 'a');
    EXPECT_EQ(Format("COM 1 "), "COM 1 ");
    settings.SpeedText = std::string(144, 'a');
    EXPECT_EQ(Format().size(), 144U);
    // The buffer never grows past its 144 characters.
    EXPECT_EQ(Format("COM 1 ").size(), 144U);
}

TEST_F(StatusDriverTest, ReleaseUnhooksClosesAndIsSafeTwice)
{
    OpenWorkingDriver();
    const std::int32_t handle = settings.DriverHandle;
    line.statusDriver.ResetCounts();
    ReleaseStatusDriver(settings, line.View());
    EXPECT_EQ(settings.DriverHandle, 0);
    EXPECT_EQ(line.statusDriver.Codes(), (std::vector<std::uint32_t>{kUnhookComm}));
    EXPECT_EQ(line.statusDriver.closedHandles, (std::vector<std::int32_t>{handle}));
    ReleaseStatusDriver(settings, line.View());
    EXPECT_EQ(line.statusDriver.closedHandles.size(), 1U);
    EXPECT_EQ(line.statusDriver.calls.size(), 1U);
}

TEST_F(StatusDriverTest, ProbeSetsTheFlagAndRefreshesTheParameters)
{
    auto& port = line.serialDevices.Add(2);
    port.dcb = Dcb{2400, 7, kEvenParity, kOneStopBit};
    settings.PortAvailable = {1, 1, 1, 1};
    EXPECT_EQ(ProbePort(settings, line.View(), 2), PortOpenError::None);
    EXPECT_EQ(settings.PortAvailable[1], 1);
    EXPECT_EQ(settings.PortDCB, port.dcb);
    EXPECT_EQ(port.closes, 1);

    const Dcb before = settings.PortDCB;
    line.serialDevices.Add(3).openError = PortOpenError::Busy;
    EXPECT_EQ(ProbePort(settings, line.View(), 3), PortOpenError::Busy);
    EXPECT_EQ(settings.PortAvailable[2], 0);
    EXPECT_EQ(ProbePort(settings, line.View(), 4), PortOpenError::Missing);
    EXPECT_EQ(settings.PortAvailable[3], 0);
    EXPECT_EQ(settings.PortDCB, before);

    // Ports above 4 have no flag; probing them touches no table entry.
    line.serialDevices.Add(7);
    EXPECT_EQ(ProbePort(settings, line.View(), 7), PortOpenError::None);
    EXPECT_EQ(settings.PortAvailable, (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
}

TEST_F(StatusDriverTest, DirectAccessReachesOnlyTheTwoRegistersOfTheFourPorts)
{
    line.modemLines.SetLines(2, 0x03, 0x40);
    EXPECT_EQ(PortIn(settings, line.View(), 0x2F8 + 4), 0x03);
    EXPECT_EQ(PortIn(settings, line.View(), 0x2F8 + 6), 0x40);
    EXPECT_EQ(PortIn(settings, line.View(), 0x2F8 + 5), 0xFF);
    EXPECT_EQ(PortIn(settings, line.View(), 0x1234), 0xFF);
    // Lines the platform cannot see read as all off.
    EXPECT_EQ(PortIn(settings, line.View(), 0x3F8 + 6), 0x00);

    PortOut(settings, line.View(), 0x2F8 + 4, 0x1F2);
    EXPECT_EQ(line.modemLines.ports[2].control, 0xF2);
    PortOut(settings, line.View(), 0x2F8 + 6, 0x00);
    PortOut(settings, line.View(), 0x2F8 + 7, 0x00);
    EXPECT_EQ(line.modemLines.Writes(), 1);
    EXPECT_EQ(line.modemLines.ports[2].status, 0x40);

    settings.DefaultPort = 2;
    EXPECT_EQ(ReadModemControlRegister(settings, line.View()), 0xF2);
    EXPECT_EQ(ReadModemStatusRegister(settings, line.View()), 0x40);
    for (std::int32_t port : {0, 5, 9, -1}) {
        settings.DefaultPort = port;
        line.modemLines.log.clear();
        EXPECT_FALSE(ReadModemControlRegister(settings, line.View()).has_value());
        EXPECT_FALSE(ReadModemStatusRegister(settings, line.View()).has_value());
        EXPECT_TRUE(line.modemLines.log.empty());
    }
}

} // namespace
} // namespace sarvendo
