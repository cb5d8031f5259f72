// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DialUpSource.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sarvendo::fakes {

// A process table and connection windows the test lays out. It counts snapshots and
// open process handles, so tests can check that a search ran and that handles never
// pile up.
class FakeDialUpSource final : public DialUpSource
{
public:
    struct Connection
    {
        std::optional<std::string> className = std::string(kConnectionClass);
        std::uint64_t address = 0x1000; // 0: the connection has gone
        std::optional<Statistics> statistics = Statistics{};
    };

    class Handle final : public ProcessHandle
    {
    public:
        Handle(FakeDialUpSource& owner, std::int64_t id) : m_owner(owner), m_id(id) { ++m_owner.openHandles; }
        ~Handle() override { --m_owner.openHandles; }
        std::int64_t Id() const override { return m_id; }

    private:
        FakeDialUpSource& m_owner;
        std::int64_t m_id;
    };

    bool ProgramExists(const std::string& path) const override
    {
        if (journal != nullptr) {
            journal->emplace_back("ProgramExists");
        }
        return installedAt == path;
    }

    std::vector<Process> ProcessSnapshot() override
    {
        ++snapshots;
        return processes;
    }
    std::vector<Window> WindowsInZOrder() override { return windows; }
    std::optional<std::string> ClassName(std::uint64_t window) override
    {
        const auto found = connections.find(window);
        return found == connections.end() ? std::optional<std::string>("Other") : found->second.className;
    }
    std::unique_ptr<ProcessHandle> OpenProcess(std::int64_t processId) override
    {
        ++processOpens;
        if (!processOpenable) {
            return nullptr;
        }
        return std::make_unique<Handle>(*this, processId);
    }
    std::uint64_t StatisticsAddress(std::uint64_t window) override
    {
        const auto found = connections.find(window);
        return found == connections.end() ? 0 : found->second.address;
    }
    std::optional<Statistics> ReadStatistics(ProcessHandle& /*process*/, std::uint64_t address) override
    {
        for (const auto& [id, connection] : connections) {
            if (connection.address == address) {
                return connection.statistics;
            }
        }
        return std::nullopt;
    }

    std::string installedAt;
    std::vector<Process> processes;
    std::vector<Window> windows;
    std::map<std::uint64_t, Connection> connections;
    bool processOpenable = true;
    int snapshots = 0;
    // When set, each look for the dial-up program is noted here, in order with whatever
    // else a test notes.
    std::vector<std::string>* journal = nullptr;
    int processOpens = 0;
    int openHandles = 0;
};

} // namespace sarvendo::fakes
