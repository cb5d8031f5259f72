// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DialUpSource.h"
#include "platform/LinePlatform.h"
#include "platform/ModemLines.h"
#include "platform/SerialDevices.h"
#include "platform/StatusDriverDevice.h"
#include "platform/sim/SimulatedModem.h"

#include <cstdint>
#include <functional>
#include <string>

namespace sarvendo {

class Clock;
class EventPump;

// The simulated modem behind the whole line side: serial devices (the modem's port and
// three empty ones), its modem-control lines, a status driver that watches it and a
// dial-up source that shows pppd's connection while pppd holds the port.
class SimulatedLineBackend final : public LineBackend,
                                   private SerialDevices,
                                   private ModemLines,
                                   private StatusDriverDevice,
                                   private DialUpSource
{
public:
    // sleep waits for input on the modem's port; tests pass one that returns at once.
    SimulatedLineBackend(Scenario scenario, const Clock& clock, std::function<int()> monitoredPort, EventPump& events,
                         std::string description, std::function<void(int)> sleep = {});

    LinePlatform View() override;
    std::string Description() const override { return m_description; }
    std::string DescribePort(int portNumber) override;
    SimulatedModem& Modem() { return m_modem; }

private:
    // SerialDevices
    OpenResult Open(int portNumber, Purpose purpose) override;
    std::string DeviceName(int portNumber) const override;
    // ModemLines
    std::optional<std::uint8_t> ReadModemControl(int portNumber) override;
    std::optional<std::uint8_t> ReadModemStatus(int portNumber) override;
    bool WriteModemControl(int portNumber, std::uint8_t value) override;
    std::string WhyUnreachable(int portNumber) const override;
    // StatusDriverDevice
    std::int32_t Open(const std::string& path) override;
    void Close(std::int32_t handle) override;
    Reply Request(std::int32_t handle, std::uint32_t code, std::uint32_t outBufferSize) override;
    // DialUpSource
    bool ProgramExists(const std::string& path) const override;
    std::vector<Process> ProcessSnapshot() override;
    std::vector<Window> WindowsInZOrder() override;
    std::optional<std::string> ClassName(std::uint64_t window) override;
    std::unique_ptr<ProcessHandle> OpenProcess(std::int64_t processId) override;
    std::uint64_t StatisticsAddress(std::uint64_t window) override;
    std::optional<Statistics> ReadStatistics(ProcessHandle& process, std::uint64_t address) override;

    bool PppdRunning();

    SimulatedModem m_modem;
    EventPump& m_events;
    std::string m_description;
    std::function<void(int)> m_sleep;
    std::int32_t m_driverHandle = 0;
    std::int32_t m_nextHandle = 1;
    std::uint64_t m_takenSent = 0;
    std::uint64_t m_takenReceived = 0;
    std::uint64_t m_takenReceivedAlt = 0;
};

inline constexpr std::int64_t kSimulatedPppdId = 4242;
inline constexpr const char* kSimulatedPppdPath = "/usr/sbin/pppd";

} // namespace sarvendo
