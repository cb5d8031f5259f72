// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LogFiles.h"
#include "platform/linux/FileCalls.h"

namespace sarvendo {

// The event logs as real files. Only regular files are opened, after their kind was
// looked at, and links only as far as the guarded paths follow them, so a log path that
// leads to a tty or a FIFO is refused with the reason and never opened. An append that
// fails part way (a full disk) cuts the file back to its old length, so a retried record
// never appears twice or half; where the file cannot be cut back, the append says how much
// of the record stayed. Side files are replaced through the one whole-file save, mode 0600.
class LinuxLogFiles final : public LogFiles
{
public:
    LinuxLogFiles() : m_calls(m_ownCalls) {}
    // For tests that play the kernel's answers.
    explicit LinuxLogFiles(const FileCalls& calls) : m_calls(calls) {}

    std::optional<std::size_t> LastLineLength(const std::string& path) override;
    AppendResult Append(const std::string& path, std::string_view text) override;
    std::optional<std::uint64_t> SizeOf(const std::string& path) override;
    bool HoldsAt(const std::string& path, std::uint64_t offset, std::string_view text) override;
    SideFileContent ReadSideFile(const std::string& path) override;
    std::string ReplaceSideFile(const std::string& path, std::string_view text) override;
    std::string RemoveSideFile(const std::string& path) override;

private:
    RealFileCalls m_ownCalls;
    const FileCalls& m_calls;
};

} // namespace sarvendo
