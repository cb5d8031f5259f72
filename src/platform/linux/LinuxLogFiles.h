#pragma once

#include "platform/LogFiles.h"

namespace sarvendo {

// The event logs as real files. An append that fails part way (a full disk) cuts the
// file back to its old length, so a retried record never appears twice or half.
class LinuxLogFiles final : public LogFiles
{
public:
    std::optional<std::size_t> LastLineLength(const std::string& path) override;
    std::string Append(const std::string& path, std::string_view text) override;
};

} // namespace sarvendo
