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
};

// Whole-file reads and replacements for the settings file. A replacement is atomic: a
// crash or power loss in the middle leaves either the old file or the new one, never a
// half-written one. Only regular files of a sensible size are read; anything else in the
// file's place (a FIFO, a device, a directory, a huge file) is unreadable and is never
// replaced.
class TextFiles
{
public:
    virtual ~TextFiles() = default;

    virtual TextFileContent Read(const std::string& path) const = 0;

    // Replaces the file at path with text, creating its directory when missing. A chain
    // of symbolic links is followed to its end and the last target replaced; the file's
    // mode is kept. Temporaries that an interrupted replacement left behind are removed.
    virtual bool Replace(const std::string& path, std::string_view text) const = 0;
};

} // namespace sarvendo
