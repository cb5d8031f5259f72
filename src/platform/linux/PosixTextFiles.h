#pragma once

#include "platform/TextFiles.h"

namespace sarvendo {

// The settings file on a POSIX file system: a replacement writes a temporary file beside
// the target, flushes it to disk, renames it over the target and flushes the directory.
class PosixTextFiles final : public TextFiles
{
public:
    TextFileContent Read(const std::string& path) const override;
    bool Replace(const std::string& path, std::string_view text) const override;
};

} // namespace sarvendo
