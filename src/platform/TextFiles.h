// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace sarvendo {

// What reading a whole text file found.
struct TextFileContent
{
    enum class Status
    {
        Missing,    // no such file
        Read,       // read completely into text
        Unreadable, // exists but could not be read; the caller must not overwrite it
    };
    Status status = Status::Missing;
    std::string text;
    std::string problem;  // why it was unreadable, for the user
    std::string readOnly; // for a file read: why it must not be replaced, else empty
};

// What a replacement did: an empty problem on success. Tested as a truth value, true is
// success.
struct TextFileSave
{
    std::string problem;   // why the file was left as it was, for the user
    bool readOnly = false; // it was left because its owner made it (or its folder) read-only

    explicit operator bool() const { return problem.empty(); }
};

// Whole-file reads and replacements for the settings file. A replacement is atomic: a
// crash or power loss in the middle leaves either the old file or the new one, never a
// half-written one. Only regular files of a sensible size are read; anything else in the
// file's place (a FIFO, a device, a directory, a huge file) is unreadable and is never
// replaced. A link on the way is followed only when it belongs to the user or to root.
class TextFiles
{
public:
    virtual ~TextFiles() = default;

    virtual TextFileContent Read(const std::string& path) const = 0;

    // Replaces the file at path with text, creating its directory when missing. A chain
    // of links is followed to its end and the last target replaced; the file's mode is
    // kept. A file made read-only is left alone. Temporaries that an interrupted
    // replacement left behind are removed.
    virtual TextFileSave Replace(const std::string& path, std::string_view text) const = 0;
};

} // namespace sarvendo
