// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linux/SystemCalls.h"

namespace sarvendo {

// The system calls themselves.
class RealSystemCalls final : public SystemCalls
{
public:
    int OpenTty(const std::string& path) override;
    int OpenTtyReadOnly(const std::string& path) override;
    int CheckAccess(const std::string& path) override;
    int Close(int fd) override;
    int GetModemBits(int fd, int& bits) override;
    int SetModemBits(int fd, int bits) override;
    int ClearModemBits(int fd, int bits) override;
    int GetCounters(int fd, SerialCounters& counters) override;
    int InputQueue(int fd, int& count) override;
    int GetSettings(int fd, TtySettings& settings) override;
    int SetSettings(int fd, const TtySettings& settings) override;
    long Read(int fd, std::uint8_t* buffer, std::size_t size) override;
    long Write(int fd, const char* data, std::size_t size) override;
    int WaitReadable(int fd, int milliseconds) override;
    int WaitWritable(int fd, int milliseconds) override;
    int PollHangUp(int fd) override;
    int GetLineDiscipline(int fd, int& discipline) override;
    std::optional<DeviceNumber> DeviceOf(const std::string& path) override;
    bool Exists(const std::string& path) override;
    std::vector<std::string> ListDirectory(const std::string& path) override;
    std::optional<std::vector<std::string>> ReadDirectory(const std::string& path) override;
    std::optional<std::string> ReadLink(const std::string& path) override;
    std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) override;
    std::optional<std::string> ReadFileNoFollow(const std::string& path, std::size_t maxBytes) override;
    std::optional<FileStatus> StatusOf(const std::string& path) override;
    std::optional<std::string> ReadFileTail(const std::string& path, std::size_t maxBytes) override;
    int CreateExclusive(const std::string& path, const std::string& content) override;
    int RemoveFile(const std::string& path) override;
    int LinkFile(const std::string& existing, const std::string& newPath) override;
    int RenameFile(const std::string& from, const std::string& to) override;
    int WatchOpens(const std::string& path) override;
    int TakeWatchEvents(int watch) override;
    bool ProcessAlive(std::int64_t pid) override;
    std::int64_t OwnProcessId() override;
    std::uint64_t MonotonicMs() override;
};

} // namespace sarvendo
