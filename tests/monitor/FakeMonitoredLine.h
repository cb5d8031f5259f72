// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "line/MonitoredLine.h"

#include <functional>

namespace sarvendo::fakes {

// A line the test scripts field by field: what the driver reports, what the dial-up
// reader and the driver count, the two UART registers. Every request is counted, so a
// test can check what one tick costs.
class FakeMonitoredLine final : public MonitoredLine
{
public:
    bool DriverPresent() const override { return driverPresent; }
    bool QueryPortOpen() override
    {
        ++portOpenQueries;
        return driverPresent && portOpen;
    }
    std::uint8_t ReadLineStatus() override
    {
        ++lineStatusReads;
        return lineStatus;
    }
    DialUpReading ReadDialUpCounters() override
    {
        ++dialUpReads;
        if (!dialUpConnected) {
            return {};
        }
        DialUpReading reading{dialUp, dialUpReportsCarrier, dialUpNewConnection};
        dialUpNewConnection = false;
        return reading;
    }
    ByteCounts ReadDriverByteCounts(std::int32_t sentBase, std::int32_t receivedBase) override
    {
        ++driverCountReads;
        if (!driverPresent || !portOpen) {
            return {};
        }
        // The driver hands out increments; the caller's bases make them totals.
        ByteCounts counts{sentBase + sentIncrement, receivedBase + receivedIncrement, 0};
        sentIncrement = 0;
        receivedIncrement = 0;
        return counts;
    }
    std::optional<std::uint8_t> ReadModemControl() override
    {
        ++portReads;
        return modemControl;
    }
    std::optional<std::uint8_t> ReadModemStatus() override
    {
        ++portReads;
        return modemStatus;
    }
    void ReadLineParameters() override { ++lineParameterReads; }
    HangUpResult HangUp() override
    {
        ++hangUps;
        if (onHangUp) {
            onHangUp();
        }
        return hangUpResult;
    }
    void ReleaseStatusDriver() override
    {
        ++releases;
        driverPresent = false;
    }

    // Scripting helpers.
    void SetCarrier(bool on) { lineStatus = on ? lineStatus | 0x80 : lineStatus & 0x7F; }
    void SetRing(bool on) { lineStatus = on ? lineStatus | 0x40 : lineStatus & 0xBF; }
    void ResetCounts()
    {
        portOpenQueries = lineStatusReads = dialUpReads = driverCountReads = portReads = lineParameterReads = 0;
    }

    bool driverPresent = true;
    bool portOpen = true;
    std::uint8_t lineStatus = 0x30; // CTS and DSR, as an idle modem that is switched on
    bool dialUpConnected = false;
    bool dialUpReportsCarrier = true;
    bool dialUpNewConnection = false; // the next read reports a newly found connection
    ByteCounts dialUp;
    std::int32_t sentIncrement = 0;
    std::int32_t receivedIncrement = 0;
    std::optional<std::uint8_t> modemControl = 0x03;
    std::optional<std::uint8_t> modemStatus = 0x00;
    std::function<void()> onHangUp;
    HangUpResult hangUpResult{true, {}};

    int portOpenQueries = 0;
    int lineStatusReads = 0;
    int dialUpReads = 0;
    int driverCountReads = 0;
    int portReads = 0;
    int lineParameterReads = 0;
    int hangUps = 0;
    int releases = 0;
};

} // namespace sarvendo::fakes
