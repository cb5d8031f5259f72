// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedLineBackend.h"

#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/TickPath.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace sarvendo {
namespace {

constexpr std::uint64_t kStatisticsBase = 0x1000;
constexpr int kEmptyPorts = 4; // COM1..COM4 exist even without a modem on them

SARVENDO_TICK_PATH std::uint32_t Increment(std::uint64_t total, std::uint64_t& taken)
{
    const std::uint64_t step = total - taken;
    taken = total;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(step, 0x7FFFFFFF));
}

bool EndsWith(const std::string& text, std::string_view tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A simulated serial port as the program's serial component sees it: the modem's port
// when a modem is attached (it answers and counts), else an empty port that opens, takes
// what is written and never answers.
class SimulatedPort final : public SerialPort
{
public:
    SimulatedPort(SimulatedModem* modem, std::function<void(int)>& sleep) : m_modem(modem), m_sleep(sleep) {}
    ~SimulatedPort() override
    {
        if (m_modem != nullptr) {
            m_modem->CloseByProgram();
        }
    }
    SimulatedPort(const SimulatedPort&) = delete;
    SimulatedPort& operator=(const SimulatedPort&) = delete;

    bool GetCommState(Dcb& dcb) override
    {
        dcb = m_dcb;
        return true;
    }
    bool SetCommState(const Dcb& dcb) override
    {
        m_dcb = dcb;
        return true;
    }
    std::optional<std::size_t> InputQueue() override { return Waiting().size(); }
    std::size_t Read(std::span<std::uint8_t> buffer) override
    {
        const std::string waiting = Waiting();
        const std::size_t n = std::min(buffer.size(), waiting.size());
        std::copy_n(waiting.begin(), n, buffer.begin());
        if (m_modem != nullptr) {
            m_modem->TakeForProgram(n);
        }
        return n;
    }
    std::size_t Write(std::string_view bytes, int /*milliseconds*/) override
    {
        if (m_modem != nullptr) {
            m_modem->WriteFromProgram(bytes);
        }
        return bytes.size();
    }
    void WaitReadable(int milliseconds) override
    {
        if (Waiting().empty() && m_sleep) {
            m_sleep(milliseconds);
        }
    }

private:
    std::string Waiting() const { return m_modem != nullptr ? m_modem->ReadableForProgram() : std::string(); }

    SimulatedModem* m_modem;
    std::function<void(int)>& m_sleep;
    Dcb m_dcb{9600, 8, kNoParity, kOneStopBit};
};

class SimulatedProcess final : public DialUpSource::ProcessHandle
{
public:
    std::int64_t Id() const override { return kSimulatedPppdId; }
};

} // namespace

SimulatedLineBackend::SimulatedLineBackend(Scenario scenario, const Clock& clock, std::function<int()> monitoredPort,
                                           EventPump& events, std::string description, std::function<void(int)> sleep)
    : m_modem(std::move(scenario), clock, std::move(monitoredPort)), m_events(events),
      m_description(std::move(description)), m_sleep(std::move(sleep))
{
    if (!m_sleep) {
        m_sleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    }
}

LinePlatform SimulatedLineBackend::View()
{
    return LinePlatform{*this, *this, *this, *this, m_events};
}

std::string SimulatedLineBackend::DescribePort(int portNumber)
{
    const std::string name = "COM" + std::to_string(portNumber);
    const std::string device = DeviceName(portNumber);
    if (device.empty()) {
        return name + "  (no device configured)\n";
    }
    std::string text = name + "  " + device + "\n";
    if (portNumber != m_modem.Port()) {
        return text + "    opens:    yes\n    held by:  nobody\n    driver:   simulated, nothing attached\n"
                      "    lines:    none\n    counters: none\n";
    }
    const std::string holder = m_modem.Holder();
    const SimulatedModem::Lines lines = m_modem.CurrentLines();
    const auto onOff = [](bool on) { return on ? std::string(" on") : std::string(" off"); };
    text += "    opens:    " +
            (holder.empty() ? std::string("yes") : "no: " + std::string(DescribePortOpenError(PortOpenError::Busy))) +
            "\n";
    text += "    held by:  " + (holder.empty() ? std::string("nobody") : holder) + "\n";
    text += "    driver:   simulated modem (all lines and byte counts)\n";
    text += "    lines:    DTR" + onOff(lines.dtr) + ", RTS" + onOff(lines.rts) + ", CTS" + onOff(lines.cts) + ", DSR" +
            onOff(lines.dsr) + ", CD" + onOff(lines.cd) + ", RI" + onOff(lines.ri) + "\n";
    text += "    counters: tx " + std::to_string(m_modem.TotalSent()) + ", rx " +
            std::to_string(m_modem.TotalReceived()) + "\n";
    return text;
}

SerialDevices::OpenResult SimulatedLineBackend::Open(int portNumber, Purpose purpose)
{
    if (portNumber == m_modem.Port()) {
        if (!m_modem.Holder().empty()) {
            return {nullptr, PortOpenError::Busy};
        }
        if (purpose == Purpose::Probe) {
            return {std::make_unique<SimulatedPort>(nullptr, m_sleep), PortOpenError::None};
        }
        if (!m_modem.OpenByProgram()) {
            return {nullptr, PortOpenError::Busy};
        }
        return {std::make_unique<SimulatedPort>(&m_modem, m_sleep), PortOpenError::None};
    }
    if (portNumber >= 1 && portNumber <= kEmptyPorts) {
        return {std::make_unique<SimulatedPort>(nullptr, m_sleep), PortOpenError::None};
    }
    return {nullptr, PortOpenError::NotMapped};
}

std::string SimulatedLineBackend::DeviceName(int portNumber) const
{
    if (portNumber == m_modem.Port()) {
        return "simulated modem";
    }
    return portNumber >= 1 && portNumber <= kEmptyPorts ? "simulated empty port" : std::string();
}

std::optional<std::uint8_t> SimulatedLineBackend::ReadModemControl(int portNumber)
{
    if (portNumber == m_modem.Port()) {
        return m_modem.ModemControlRegister();
    }
    return std::nullopt;
}

std::optional<std::uint8_t> SimulatedLineBackend::ReadModemStatus(int portNumber)
{
    if (portNumber == m_modem.Port()) {
        return m_modem.ModemStatusRegister();
    }
    return std::nullopt;
}

bool SimulatedLineBackend::WriteModemControl(int portNumber, std::uint8_t value)
{
    if (portNumber != m_modem.Port()) {
        return false;
    }
    m_modem.SetModemControl(value);
    return true;
}

std::string SimulatedLineBackend::WhyUnreachable(int portNumber) const
{
    if (portNumber == m_modem.Port()) {
        return {};
    }
    return "the simulated modem is on COM" + std::to_string(m_modem.Port());
}

std::int32_t SimulatedLineBackend::Open(const std::string& path)
{
    // The simulated driver needs no file, but it keeps the name rule: a renamed program
    // finds no driver here either.
    if (!EndsWith(path, std::string("/") + kStatusDriverFileName) && path != kStatusDriverFileName) {
        return -1;
    }
    m_driverHandle = m_nextHandle++;
    m_takenSent = m_modem.TotalSent();
    m_takenReceived = m_modem.TotalReceived();
    m_takenReceivedAlt = m_takenReceived;
    return m_driverHandle;
}

void SimulatedLineBackend::Close(std::int32_t handle)
{
    if (handle == m_driverHandle) {
        m_driverHandle = 0;
    }
}

SARVENDO_TICK_PATH StatusDriverDevice::Reply SimulatedLineBackend::Request(std::int32_t handle, std::uint32_t code,
                                                                           std::uint32_t /*outBufferSize*/)
{
    if (handle <= 0 || handle != m_driverHandle) {
        return {};
    }
    // What every tick asks is answered before the switch: its jump table would be one more
    // page for an idle tick to bring back.
    if (code == kQueryPortOpen) {
        return {true, m_modem.Holder().empty() ? 0U : 4U, 0};
    }
    if (code == kReadLineStatus) {
        return {true, m_modem.ModemStatusRegister(), 0};
    }
    if (code == kTakeSentCount) {
        return {true, Increment(m_modem.TotalSent(), m_takenSent), 0};
    }
    if (code == kTakeReceivedCount) {
        return {true, Increment(m_modem.TotalReceived(), m_takenReceived), 0};
    }
    switch (code) {
    case kHookComm:
    case kUnhookComm:
        return {true, 0, 0};
    case kTakeReceivedCountAlt:
        return {true, Increment(m_modem.TotalReceived(), m_takenReceivedAlt), 0};
    case kReadBaudParity: {
        const Dcb dcb = m_modem.LineParameters();
        return {true, dcb.BaudRate, dcb.Parity};
    }
    case kReadFrameFormat: {
        const Dcb dcb = m_modem.LineParameters();
        return {true, dcb.ByteSize, dcb.StopBits};
    }
    default:
        return {};
    }
}

bool SimulatedLineBackend::ProgramExists(const std::string& path) const
{
    return path == kSimulatedPppdPath;
}

SARVENDO_TICK_PATH bool SimulatedLineBackend::PppdRunning()
{
    return m_modem.HeldByDialUpProgram();
}

std::vector<DialUpSource::Process> SimulatedLineBackend::ProcessSnapshot()
{
    std::vector<Process> processes{{1, "/usr/lib/systemd/systemd"}};
    if (PppdRunning()) {
        processes.push_back({kSimulatedPppdId, kSimulatedPppdPath});
    }
    return processes;
}

std::vector<DialUpSource::Window> SimulatedLineBackend::WindowsInZOrder()
{
    if (!PppdRunning()) {
        return {};
    }
    return {{m_modem.ConnectionNumber(), kSimulatedPppdId}};
}

std::optional<std::string> SimulatedLineBackend::ClassName(std::uint64_t window)
{
    // The connection counts as a dialog while its link is up.
    if (PppdRunning() && window == m_modem.ConnectionNumber() && m_modem.CurrentLines().cd) {
        return std::string(kConnectionClass);
    }
    return std::string("ppp-link-down");
}

std::unique_ptr<DialUpSource::ProcessHandle> SimulatedLineBackend::OpenProcess(std::int64_t processId)
{
    if (processId != kSimulatedPppdId || !PppdRunning()) {
        return nullptr;
    }
    return std::make_unique<SimulatedProcess>();
}

SARVENDO_TICK_PATH std::uint64_t SimulatedLineBackend::StatisticsAddress(std::uint64_t window)
{
    if (!PppdRunning() || window != m_modem.ConnectionNumber() || !m_modem.CurrentLines().cd) {
        return 0;
    }
    return kStatisticsBase + window;
}

SARVENDO_TICK_PATH std::optional<DialUpSource::Statistics>
SimulatedLineBackend::ReadStatistics(ProcessHandle& /*process*/, std::uint64_t address)
{
    if (address != kStatisticsBase + m_modem.ConnectionNumber() || !m_modem.CurrentLines().cd) {
        return std::nullopt;
    }
    const auto clamp = [](std::uint64_t value) {
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFFFFFFU));
    };
    return Statistics{clamp(m_modem.ConnectionSent()), clamp(m_modem.ConnectionReceived()), m_modem.Speed()};
}

} // namespace sarvendo
