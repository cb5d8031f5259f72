// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TextFiles.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvendo {

// An INI file in the classic private-profile form, read and edited the way the old
// profile functions did it: section and key names match without regard to case, the
// first matching section and key win, values lose their surrounding blanks and one pair
// of matching quotes, a missing file or key reads as the caller's default.
//
// A leading UTF-8 byte-order mark is skipped on reading and kept on writing.
//
// Unlike the old functions it edits in memory and writes the whole file in one atomic
// replacement (a temporary file beside it, flushed, then renamed), so a crash in the
// middle of a save leaves either the old file or the new one. Every line it was not
// asked to change is kept byte for byte: unknown sections, keys, comments, blank lines
// and their line ends.
class IniFile
{
public:
    enum class Source
    {
        Missing,    // no such file: everything reads as its default
        Loaded,     // read completely
        Unreadable, // exists but could not be read: reads as defaults, and is never overwritten
    };

    IniFile() = default;
    static IniFile Load(const TextFiles& files, const std::string& path);
    static IniFile FromText(std::string_view text);

    Source LoadedFrom() const { return m_source; }
    // Why the file could not be read, when it could not.
    const std::string& Problem() const { return m_problem; }
    // Why a file that was read must not be replaced (its owner made it read-only), or empty.
    const std::string& ReadOnly() const { return m_readOnly; }

    // The value as stored, trimmed and ended at its first NUL, or nothing when the key is
    // missing or has no "=".
    std::optional<std::string> RawValue(std::string_view section, std::string_view key) const;

    // Reads like GetPrivateProfileString into a buffer of bufferSize bytes: at most
    // bufferSize - 1 bytes are returned, cut before a UTF-8 character that would not fit; the default loses its
    // trailing blanks; one pair of matching quotes around the value (or the default) is removed.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback,
                           std::size_t bufferSize) const;

    // Reads like GetPrivateProfileInt: a missing key or an empty value gives fallback;
    // otherwise an optional "-" and decimal digits, wrapping modulo 2^32.
    std::int32_t ReadInt(std::string_view section, std::string_view key, std::int32_t fallback) const;

    // How a value is written.
    enum class Quoting
    {
        AsNeeded, // in one more pair of quotes when reading would change it otherwise
        Never,    // as it is, for fixed forms whose blanks are meant to be trimmed
    };

    // Sets the first matching key of the first matching section, appending the key to
    // its section or the section to the file when missing. Line breaks inside any of the
    // three texts are replaced by blanks, so a value can never inject lines; a value ends
    // at its first NUL. A value with blanks at either end, or in a pair of quotes itself,
    // is written inside one more pair of quotes, so that it reads back as it was.
    void WriteString(std::string_view section, std::string_view key, std::string_view value,
                     Quoting quoting = Quoting::AsNeeded);

    bool Changed() const { return m_changed; }
    std::string Text() const;

    // Replaces the file at path atomically with this content. Refuses (and says why) when
    // the file existed but could not be read, so unread settings are never lost, and when
    // it was read-only. A symbolic link is followed and its target replaced.
    TextFileSave Save(const TextFiles& files, const std::string& path) const;

private:
    struct Line
    {
        std::string text;    // the line without its line end, exactly as read
        std::string lineEnd; // "\r\n", "\n", "\r" or empty for the last line
    };

    struct Location
    {
        std::size_t header = 0; // index of the section's header line
        std::size_t end = 0;    // one past the section's last line
        bool found = false;
    };

    Location FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const Location& location, std::string_view key) const;

    std::vector<Line> m_lines;
    bool m_byteOrderMark = false; // the file began with one, and keeps it
    Source m_source = Source::Missing;
    std::string m_problem;
    std::string m_readOnly;
    bool m_changed = false;
};

} // namespace sarvendo
