#pragma once

#include "platform/LogFiles.h"

namespace sarvendo {

// The event logs as real files. An append that fails part way (a full disk) cuts the
// file back to its old length, so a retried record never appears twice or half; where the
// file cannot be cut back, the append says how much of the record stayed. Side files are
// replaced through a temporary beside them, flushed and renamed, with mode 0600.
class LinuxLogFiles final : public LogFiles
{
public:
    std::optional<std::size_t> LastLineLength(const std::string& path) override;
    AppendResult Append(const std::string& path, std::string_view text) override;
    std::optional<std::uint64_t> SizeOf(const std::string& path) override;
    bool HoldsAt(const std::string& path, std::uint64_t offset, std::string_view text) override;
    SideFileContent ReadSideFile(const std::string& path) override;
    std::string ReplaceSideFile(const std::string& path, std::string_view text) override;
    std::string RemoveSideFile(const std::string& path) override;
};

} // namespace sarvendo
