// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ModemLines.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sarvendo::fakes {

// The two registers of each port as plain bytes the test sets (SetLines); a port with no
// entry reads as empty, like a port whose lines cannot be seen. Every access is logged,
// and onWrite lets a test watch the register while a hang-up waits.
class FakeModemLines final : public ModemLines
{
public:
    struct Registers
    {
        std::uint8_t control = 0;
        std::uint8_t status = 0;
    };

    struct Access
    {
        int port;
        char what; // 'c' control read, 's' status read, 'w' control write
        std::uint8_t value;
    };

    std::optional<std::uint8_t> ReadModemControl(int portNumber) override
    {
        const auto found = ports.find(portNumber);
        if (found == ports.end()) {
            log.push_back({portNumber, 'c', 0});
            return std::nullopt;
        }
        log.push_back({portNumber, 'c', found->second.control});
        return found->second.control;
    }

    std::optional<std::uint8_t> ReadModemStatus(int portNumber) override
    {
        const auto found = ports.find(portNumber);
        if (found == ports.end()) {
            log.push_back({portNumber, 's', 0});
            return std::nullopt;
        }
        log.push_back({portNumber, 's', found->second.status});
        return found->second.status;
    }

    bool WriteModemControl(int portNumber, std::uint8_t value) override
    {
        log.push_back({portNumber, 'w', value});
        const auto found = ports.find(portNumber);
        if (found == ports.end() || refuseWrites) {
            return false;
        }
        found->second.control = value;
        return true;
    }

    std::string WhyUnreachable(int portNumber) const override
    {
        const auto found = reasons.find(portNumber);
        return found == reasons.end() ? std::string() : found->second;
    }

    void SetLines(int port, std::uint8_t control, std::uint8_t status) { ports[port] = {control, status}; }

    int Writes() const
    {
        int n = 0;
        for (const auto& access : log) {
            n += access.what == 'w' ? 1 : 0;
        }
        return n;
    }

    std::map<int, Registers> ports;
    std::map<int, std::string> reasons; // what WhyUnreachable answers
    bool refuseWrites = false;          // a descriptor the kernel has just hung up
    std::vector<Access> log;
};

} // namespace sarvendo::fakes
