// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sarvendo {

// The dial-up program and its connections as the counter reader searches them: a
// process table, the connection "windows" in their order (each belonging to a process),
// and per connection a statistics block with the counts of the current connection. On
// Linux the process is pppd and a connection is its ppp interface; the class name of a
// connection is kConnectionClass while the interface is up.
class DialUpSource
{
public:
    struct Process
    {
        std::int64_t id = 0;
        std::string executable; // full path, as the system reports it
    };

    struct Window
    {
        std::uint64_t id = 0;
        std::int64_t processId = 0;
    };

    struct Statistics
    {
        std::uint32_t sent = 0;     // bytes sent on the current connection
        std::uint32_t received = 0; // bytes received on the current connection
        std::uint32_t speed = 0;    // bits per second, 0 when unknown
    };

    // An opened process, readable until destroyed.
    class ProcessHandle
    {
    public:
        virtual ~ProcessHandle() = default;
        virtual std::int64_t Id() const = 0;
    };

    virtual ~DialUpSource() = default;

    // True when the dial-up program exists at that path (checked once at start-up).
    virtual bool ProgramExists(const std::string& path) const = 0;

    virtual std::vector<Process> ProcessSnapshot() = 0;
    virtual std::vector<Window> WindowsInZOrder() = 0;
    virtual std::optional<std::string> ClassName(std::uint64_t window) = 0;
    virtual std::unique_ptr<ProcessHandle> OpenProcess(std::int64_t processId) = 0;

    // Where the window keeps its statistics block; 0 once the connection has gone.
    virtual std::uint64_t StatisticsAddress(std::uint64_t window) = 0;
    virtual std::optional<Statistics> ReadStatistics(ProcessHandle& process, std::uint64_t address) = 0;
};

inline constexpr const char* kConnectionClass = "#32770";
inline constexpr const char* kDialUpProgramName = "pppd";

} // namespace sarvendo
