// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sarvendo {

// What an append left in the file.
struct AppendResult
{
    // Empty on success, else a description of the failure for the user.
    std::string failure;
    // How many of the text's first bytes are in the file now: all of them on success; after
    // a failure those that could not be taken back, which must not be appended again.
    std::size_t bytesInFile = 0;
};

// What reading a side file found.
struct SideFileContent
{
    enum class Status
    {
        Missing,    // no such file
        Read,       // read whole into text
        Unreadable, // something is there that could not be read; problem says why
    };
    Status status = Status::Missing;
    std::string text;
    std::string problem;
};

// The event logs' file access: append text to a file (creating it when missing), measure
// its last line, and keep small side files beside the logs for records a log could not
// take yet. Nothing stays open between calls. A failed append leaves the file as it was
// where it can and otherwise says how much of the text stayed, so the caller can try the
// rest again later without duplicating or losing a record.
class LogFiles
{
public:
    virtual ~LogFiles() = default;

    // The length in bytes of the file's last line, line ends not counted: the text after
    // the last line end, or the line before it when the file ends with one. 0 for an
    // empty file; empty when the file does not exist. A read error stops the reading and
    // reports the last line read until then.
    virtual std::optional<std::size_t> LastLineLength(const std::string& path) = 0;

    // Appends the bytes at the end of the file, without waiting for the disk: the kernel
    // writes them out, and a record that could not be appended is held durably elsewhere.
    // Anything but a regular file in the log's place is refused with the reason.
    virtual AppendResult Append(const std::string& path, std::string_view text) = 0;

    // The size of a regular file; empty when there is none or it is something else.
    virtual std::optional<std::uint64_t> SizeOf(const std::string& path) = 0;

    // True when the file holds exactly text from offset on (more may follow); false when it
    // is shorter, differs there or cannot be read.
    virtual bool HoldsAt(const std::string& path, std::uint64_t offset, std::string_view text) = 0;

    // Reads a side file whole. Only a regular file of a sensible size is read.
    virtual SideFileContent ReadSideFile(const std::string& path) = 0;

    // Replaces the side file with text in one step (a crash leaves the old file or the new,
    // never a mixture), readable by the user alone, creating its directory when missing.
    // Returns an empty text on success, else why it failed.
    virtual std::string ReplaceSideFile(const std::string& path, std::string_view text) = 0;

    // Removes the side file; one that is already gone is no failure. Returns an empty text
    // on success, else why it failed.
    virtual std::string RemoveSideFile(const std::string& path) = 0;
};

} // namespace sarvendo
