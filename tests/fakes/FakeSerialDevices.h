// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/SerialDevices.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sarvendo::fakes {

// Serial ports the test describes: each port number maps to a FakePortState that
// outlives the opened handles, so a test can queue the modem's answers (QueueAnswer),
// read what was written and see how often the port was opened and closed. A port with
// no state fails to open with its openError.
class FakeSerialDevices final : public SerialDevices
{
public:
    struct PortState
    {
        PortOpenError openError = PortOpenError::None; // None: opens
        int failuresBeforeOpen = 0;                    // the first opens fail as busy
        bool answersCommState = true;
        Dcb dcb{9600, 8, kNoParity, kOneStopBit};
        std::string written;
        std::deque<std::string> input; // arrival chunks; InputQueue sees the first one
        std::string pending;           // bytes already arrived, not yet read
        bool writeFails = false;
        std::deque<std::size_t> writeAccepts; // how much each of the next writes takes
        int opens = 0;
        int closes = 0;
        std::vector<Dcb> applied;
        std::function<void(PortState&, const std::string&)> onWrite; // the modem's reaction
    };

    class Port final : public SerialPort
    {
    public:
        explicit Port(PortState& state) : m_state(state) {}
        ~Port() override { ++m_state.closes; }

        bool GetCommState(Dcb& dcb) override
        {
            if (!m_state.answersCommState) {
                return false;
            }
            dcb = m_state.dcb;
            return true;
        }
        bool SetCommState(const Dcb& dcb) override
        {
            m_state.applied.push_back(dcb);
            m_state.dcb = dcb;
            return true;
        }
        std::optional<std::size_t> InputQueue() override
        {
            Arrive();
            return m_state.pending.size();
        }
        std::size_t Read(std::span<std::uint8_t> buffer) override
        {
            const std::size_t n = std::min(buffer.size(), m_state.pending.size());
            std::copy_n(m_state.pending.begin(), n, buffer.begin());
            m_state.pending.erase(0, n);
            return n;
        }
        std::size_t Write(std::string_view bytes, int /*milliseconds*/) override
        {
            if (m_state.writeFails) {
                return 0;
            }
            if (!m_state.writeAccepts.empty()) {
                // A scripted short write: the output queue takes only this much now.
                bytes = bytes.substr(0, std::min(bytes.size(), m_state.writeAccepts.front()));
                m_state.writeAccepts.pop_front();
            }
            m_state.written.append(bytes);
            if (m_state.onWrite) {
                m_state.onWrite(m_state, std::string(bytes));
            }
            return bytes.size();
        }
        void WaitReadable(int /*milliseconds*/) override {}

    private:
        // One queued chunk arrives each time the queue is looked at while nothing is pending.
        void Arrive()
        {
            if (m_state.pending.empty() && !m_state.input.empty()) {
                m_state.pending = m_state.input.front();
                m_state.input.pop_front();
            }
        }
        PortState& m_state;
    };

    OpenResult Open(int portNumber, Purpose purpose) override
    {
        opens.push_back({portNumber, purpose});
        if (journal != nullptr) {
            journal->push_back((purpose == Purpose::Probe ? "ProbePort " : "OpenPort ") + std::to_string(portNumber));
        }
        const auto found = ports.find(portNumber);
        if (found == ports.end()) {
            return {nullptr, PortOpenError::Missing};
        }
        PortState& state = found->second;
        if (state.failuresBeforeOpen > 0) {
            --state.failuresBeforeOpen;
            return {nullptr, PortOpenError::Busy};
        }
        if (state.openError != PortOpenError::None) {
            return {nullptr, state.openError};
        }
        ++state.opens;
        return {std::make_unique<Port>(state), PortOpenError::None};
    }

    std::string DeviceName(int portNumber) const override
    {
        return ports.count(portNumber) != 0 ? "/dev/fake" + std::to_string(portNumber) : std::string();
    }

    PortState& Add(int portNumber) { return ports[portNumber]; }
    void QueueAnswer(int portNumber, std::string text) { ports[portNumber].input.push_back(std::move(text)); }

    std::map<int, PortState> ports;
    std::vector<std::pair<int, Purpose>> opens;
    // When set, every open is also noted here ("ProbePort 2", "OpenPort 2"), in order
    // with whatever else a test notes.
    std::vector<std::string>* journal = nullptr;
};

} // namespace sarvendo::fakes
