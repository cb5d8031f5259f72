// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedModem.h"

#include "platform/Clock.h"
#include "platform/DialUpSource.h"
#include "platform/TickPath.h"

#include <algorithm>
#include <limits>

namespace sarvendo {
namespace {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kRingMs = 2000;
// The carrier goes when DTR has been off for more than a second.
constexpr std::uint64_t kDtrDropMs = 1001;
constexpr std::uint64_t kEchoDelayMs = 0;
constexpr std::uint64_t kOkDelayMs = 120;
constexpr std::uint64_t kConnectDelayMs = 900;
constexpr std::uint32_t kDefaultConnectSpeed = 33600;

std::string Upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

SimulatedModem::SimulatedModem(Scenario scenario, const Clock& clock, std::function<int()> monitoredPort)
    : m_scenario(std::move(scenario)), m_clock(clock), m_monitoredPort(std::move(monitoredPort)),
      m_lastTick(clock.TickCount())
{
    if (m_scenario.lengthMs == 0) {
        // A loop of no length would never move on.
        m_scenario.loop = false;
    }
    Update();
}

int SimulatedModem::Port() const
{
    if (m_scenario.port != 0) {
        return m_scenario.port;
    }
    const int monitored = m_monitoredPort ? m_monitoredPort() : 0;
    return monitored >= 1 && monitored <= 9 ? monitored : 1;
}

std::uint32_t SimulatedModem::ElapsedMs() const
{
    return static_cast<std::uint32_t>(m_now);
}

SARVENDO_TICK_PATH void SimulatedModem::Update()
{
    const std::uint32_t tick = m_clock.TickCount();
    // A tick asks the modem a dozen things within the same millisecond: once everything
    // due has been played, no time has passed, and whatever the answers changed lies in
    // the future (a ring's end, a dropped carrier, a reply), there is nothing to play.
    if (tick == m_lastTick && m_settled) {
        return;
    }
    const std::uint64_t target = m_now + static_cast<std::uint32_t>(tick - m_lastTick);
    m_lastTick = tick;
    if (m_scenario.loop && target - m_loopStart > 2ULL * m_scenario.lengthMs) {
        // After a long absence whole passes are skipped rather than played: only the phase
        // within the loop matters, and the byte counts simply go on from where they were.
        const std::uint64_t passes = (target - m_loopStart) / m_scenario.lengthMs - 1;
        m_now = m_loopStart + passes * m_scenario.lengthMs;
        Restart();
    }
    for (;;) {
        const std::uint64_t nextEvent =
            m_next < m_scenario.events.size() ? m_loopStart + m_scenario.events[m_next].atMs : kNever;
        const std::uint64_t loopEnd = m_scenario.loop ? m_loopStart + m_scenario.lengthMs : kNever;
        const std::uint64_t ringOff = m_ringOffAt != 0 ? m_ringOffAt : kNever;
        const std::uint64_t dtrDrop = m_dtrFell && m_lines.cd ? m_dtrOffSince + kDtrDropMs : kNever;
        const std::uint64_t boundary = std::min({nextEvent, loopEnd, ringOff, dtrDrop, target});
        if (boundary > m_now) {
            Integrate(static_cast<std::uint32_t>(boundary - m_now));
            m_now = boundary;
        }
        if (boundary == ringOff) {
            m_lines.ri = false;
            m_ringOffAt = 0;
        }
        if (boundary == dtrDrop) {
            m_dtrFell = false;
            DropCarrier();
        }
        if (boundary == nextEvent) {
            Apply(m_scenario.events[m_next++]);
            continue;
        }
        if (boundary == loopEnd) {
            Restart();
            continue;
        }
        if (boundary == target) {
            break;
        }
    }
    m_settled = true;
}

void SimulatedModem::Restart()
{
    m_loopStart = m_now;
    m_next = 0;
    const bool dtr = m_lines.dtr;
    m_lines = Lines{};
    // DTR belongs to whoever holds the port; the program's own watch keeps it through the loop.
    m_lines.dtr = dtr;
    m_ringOffAt = 0;
    m_holder.clear();
    m_heldByDialUp = false;
    m_speed = 0;
    m_sentRate = 0;
    m_receivedRate = 0;
}

SARVENDO_TICK_PATH void SimulatedModem::Integrate(std::uint32_t ms)
{
    if (!m_lines.cd) {
        return;
    }
    m_sentMilli += std::uint64_t{m_sentRate} * ms;
    m_receivedMilli += std::uint64_t{m_receivedRate} * ms;
}

void SimulatedModem::NoteDtr(bool on)
{
    // Only a fall counts: a modem whose DTR was never raised in the scenario keeps its carrier.
    if (m_lines.dtr && !on) {
        m_dtrOffSince = m_now;
        m_dtrFell = true;
    } else if (on) {
        m_dtrFell = false;
    }
    m_lines.dtr = on;
}

void SimulatedModem::DropCarrier()
{
    m_lines.cd = false;
    m_speed = 0;
    m_sentRate = 0;
    m_receivedRate = 0;
}

void SimulatedModem::Apply(const ScenarioEvent& event)
{
    using Kind = ScenarioEvent::Kind;
    using Signal = ScenarioEvent::Signal;
    switch (event.kind) {
    case Kind::Ring:
        m_lines.ri = true;
        m_ringOffAt = m_now + kRingMs;
        break;
    case Kind::Line:
        switch (event.signal) {
        case Signal::Ri:
            m_lines.ri = event.on;
            m_ringOffAt = 0;
            break;
        case Signal::Cd:
            if (event.on && !m_lines.cd) {
                ++m_connectionNumber;
                m_connectionSentBase = m_sentMilli;
                m_connectionReceivedBase = m_receivedMilli;
            }
            m_lines.cd = event.on;
            break;
        case Signal::Cts:
            m_lines.cts = event.on;
            break;
        case Signal::Dsr:
            m_lines.dsr = event.on;
            break;
        case Signal::Dtr:
            NoteDtr(event.on);
            break;
        case Signal::Rts:
            m_lines.rts = event.on;
            break;
        }
        break;
    case Kind::Carrier:
        if (event.first == 0) {
            DropCarrier();
        } else {
            if (!m_lines.cd) {
                ++m_connectionNumber;
                m_connectionSentBase = m_sentMilli;
                m_connectionReceivedBase = m_receivedMilli;
            }
            m_lines.cd = true;
            m_speed = event.first;
        }
        break;
    case Kind::Traffic:
        m_sentRate = event.first;
        m_receivedRate = event.second;
        break;
    case Kind::Open:
        m_holder = event.program;
        m_heldByDialUp = m_holder == kDialUpProgramName;
        break;
    case Kind::Close:
        m_holder.clear();
        m_heldByDialUp = false;
        break;
    case Kind::Params:
        m_params.BaudRate = event.first;
        m_params.ByteSize = event.byteSize;
        m_params.Parity = event.parity;
        m_params.StopBits = event.stopBits;
        break;
    case Kind::End:
        break;
    }
}

SARVENDO_TICK_PATH SimulatedModem::Lines SimulatedModem::CurrentLines()
{
    Update();
    return m_lines;
}

SARVENDO_TICK_PATH std::uint8_t SimulatedModem::ModemStatusRegister()
{
    const Lines lines = CurrentLines();
    return static_cast<std::uint8_t>((lines.cts ? kMsrCts : 0) | (lines.dsr ? kMsrDsr : 0) | (lines.ri ? kMsrRi : 0) |
                                     (lines.cd ? kMsrCd : 0));
}

std::uint8_t SimulatedModem::ModemControlRegister()
{
    const Lines lines = CurrentLines();
    // OUT2 is always on, as the PC's serial driver keeps it for the interrupt line.
    return static_cast<std::uint8_t>((lines.dtr ? kMcrDtr : 0) | (lines.rts ? kMcrRts : 0) | 0x08);
}

void SimulatedModem::SetModemControl(std::uint8_t value)
{
    Update();
    NoteDtr((value & kMcrDtr) != 0);
    m_lines.rts = (value & kMcrRts) != 0;
}

SARVENDO_TICK_PATH const std::string& SimulatedModem::Holder()
{
    Update();
    return m_holder;
}

SARVENDO_TICK_PATH bool SimulatedModem::HeldByDialUpProgram()
{
    Update();
    return m_heldByDialUp;
}

SARVENDO_TICK_PATH std::uint32_t SimulatedModem::Speed()
{
    Update();
    return m_speed;
}

Dcb SimulatedModem::LineParameters()
{
    Update();
    return m_params;
}

SARVENDO_TICK_PATH std::uint64_t SimulatedModem::TotalSent()
{
    Update();
    return m_sentMilli / 1000;
}

SARVENDO_TICK_PATH std::uint64_t SimulatedModem::TotalReceived()
{
    Update();
    return m_receivedMilli / 1000;
}

SARVENDO_TICK_PATH std::uint64_t SimulatedModem::ConnectionSent()
{
    Update();
    return m_lines.cd ? (m_sentMilli - m_connectionSentBase) / 1000 : 0;
}

SARVENDO_TICK_PATH std::uint64_t SimulatedModem::ConnectionReceived()
{
    Update();
    return m_lines.cd ? (m_receivedMilli - m_connectionReceivedBase) / 1000 : 0;
}

SARVENDO_TICK_PATH std::uint32_t SimulatedModem::ConnectionNumber()
{
    Update();
    return m_connectionNumber;
}

bool SimulatedModem::OpenByProgram()
{
    Update();
    if (!m_holder.empty() || m_openByProgram) {
        return false;
    }
    m_openByProgram = true;
    NoteDtr(true); // opening a tty raises DTR
    m_lines.rts = true;
    m_commandLine.clear();
    m_pending.clear();
    m_arrived.clear();
    return true;
}

void SimulatedModem::CloseByProgram()
{
    m_openByProgram = false;
    m_pending.clear();
    m_arrived.clear();
}

void SimulatedModem::WriteFromProgram(std::string_view bytes)
{
    Update();
    for (char c : bytes) {
        m_pending.push_back({m_now + kEchoDelayMs, std::string(1, c)});
        if (c == '\r') {
            const std::string command = Upper(m_commandLine);
            m_commandLine.clear();
            if (command.rfind("ATD", 0) == 0) {
                const std::uint32_t speed = m_speed != 0 ? m_speed : kDefaultConnectSpeed;
                m_pending.push_back({m_now + kConnectDelayMs, "\r\nCONNECT " + std::to_string(speed) + "\r\n"});
            } else if (command.rfind("AT", 0) == 0) {
                m_pending.push_back({m_now + kOkDelayMs, "\r\nOK\r\n"});
            } else if (!command.empty()) {
                m_pending.push_back({m_now + kOkDelayMs, "\r\nERROR\r\n"});
            }
        } else if (c != '\n' && m_commandLine.size() < 256) {
            m_commandLine += c;
        }
    }
}

std::string SimulatedModem::ReadableForProgram()
{
    Update();
    auto arrived = std::stable_partition(m_pending.begin(), m_pending.end(),
                                         [this](const Pending& pending) { return pending.at <= m_now; });
    for (auto it = m_pending.begin(); it != arrived; ++it) {
        m_arrived += it->text;
    }
    m_pending.erase(m_pending.begin(), arrived);
    return m_arrived;
}

void SimulatedModem::TakeForProgram(std::size_t count)
{
    m_arrived.erase(0, count);
}

} // namespace sarvendo
