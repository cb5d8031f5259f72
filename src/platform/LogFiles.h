#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sarvendo {

// The event logs' file access: append text to a file (creating it when missing) and
// measure its last line. Nothing stays open between calls. A failed append reports why
// and leaves the file as it was, so the caller can simply try again later without
// duplicating or losing a record.
class LogFiles
{
public:
    virtual ~LogFiles() = default;

    // The length in bytes of the file's last line, line ends not counted: the text after
    // the last line end, or the line before it when the file ends with one. 0 for an
    // empty file; empty when the file does not exist. A read error stops the reading and
    // reports the last line read until then.
    virtual std::optional<std::size_t> LastLineLength(const std::string& path) = 0;

    // Appends the bytes at the end of the file. Returns an empty text on success, else a
    // description of the failure for the user.
    virtual std::string Append(const std::string& path, std::string_view text) = 0;
};

} // namespace sarvendo
