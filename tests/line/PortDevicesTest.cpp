// SPDX-License-Identifier: GPL-3.0-or-later
#include "line/PortDevices.h"

#include "core/IniFile.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

TEST(PortDevicesTest, DefaultsMapTheFourClassicPorts)
{
    const auto devices = ReadPortDevices(IniFile::FromText(""));
    EXPECT_EQ(devices[0], "/dev/ttyS0");
    EXPECT_EQ(devices[3], "/dev/ttyS3");
    EXPECT_EQ(devices[4], "");
    EXPECT_EQ(devices[8], "");
}

TEST(PortDevicesTest, SectionOverridesUnmapsAndIgnoresRelativePaths)
{
    const auto devices = ReadPortDevices(IniFile::FromText("[sarvendo: devices]\r\n"
                                                           "com1 = /dev/serial/by-id/usb-Modem-if00\r\n"
                                                           "COM2=\r\n"
                                                           "COM3=ttyUSB0\r\n"
                                                           "COM5=\"/dev/ttyACM0\"\r\n"
                                                           "COM9=/dev/rfcomm0\r\n"));
    EXPECT_EQ(devices[0], "/dev/serial/by-id/usb-Modem-if00");
    EXPECT_EQ(devices[1], "");
    EXPECT_EQ(devices[2], "/dev/ttyS2");
    EXPECT_EQ(devices[4], "/dev/ttyACM0");
    EXPECT_EQ(devices[8], "/dev/rfcomm0");
}

TEST(PortDevicesTest, ConnectReportMustBeAnAbsolutePath)
{
    EXPECT_EQ(ReadConnectReportFile(IniFile::FromText("")), "");
    EXPECT_EQ(ReadConnectReportFile(IniFile::FromText("[Sarvendo: Devices]\nConnectReport=/var/log/ppp-connect\n")),
              "/var/log/ppp-connect");
    EXPECT_EQ(ReadConnectReportFile(IniFile::FromText("[Sarvendo: Devices]\nConnectReport=log.txt\n")), "");
}

} // namespace
} // namespace sarvendo
