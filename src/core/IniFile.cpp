// SPDX-License-Identifier: GPL-3.0-or-later
#include "IniFile.h"

#include "core/Characters.h"
#include "core/IntegerText.h"

#include "platform/TextFiles.h"

namespace sarvendo {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The section name of a header line, or nothing when the line is not a header.
std::optional<std::string_view> SectionName(std::string_view line)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = trimmed.rfind(']');
    if (close == std::string_view::npos || close == 0) {
        return std::nullopt;
    }
    return Trim(trimmed.substr(1, close - 1));
}

struct KeyLine
{
    std::string_view key;
    std::optional<std::string_view> value;
};

// The key and value of an entry line; nothing for blank lines and comments.
std::optional<KeyLine> ParseKeyLine(std::string_view line)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') {
        return std::nullopt;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return KeyLine{trimmed, std::nullopt};
    }
    return KeyLine{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

std::string_view StripQuotes(std::string_view text)
{
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

// A value read into a fixed buffer ends at its first NUL, as a C string does; nothing
// after it may reach the modem or a file name.
std::string_view UpToNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// The longest start of text that fits maxLength bytes and does not end inside a UTF-8
// sequence, so that the cut value is still valid text when it is written back.
std::string_view CutOnCharacter(std::string_view text, std::size_t maxLength)
{
    return text.substr(0, Utf8CutPoint(text, maxLength));
}

// The value as it must be written to read back unchanged: reading trims the blanks around
// a value and takes off one pair of matching quotes, so a value that has blanks at either
// end, or is itself quoted, is put in one more pair of quotes.
std::string Quoted(std::string value)
{
    const bool blankAtAnEnd = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    if (blankAtAnEnd || StripQuotes(value).size() != value.size()) {
        return '"' + value + '"';
    }
    return value;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string OneLine(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return result;
}

} // namespace

IniFile IniFile::FromText(std::string_view text)
{
    IniFile file;
    // Editors on other systems like to start a UTF-8 file with a byte-order mark; it
    // belongs to the file, not to its first line, and is written back as it was found.
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        file.m_byteOrderMark = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') {
            ++end;
        }
        Line line;
        line.text.assign(text.substr(start, end - start));
        if (end < text.size()) {
            const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
            line.lineEnd.assign(text.substr(end, crlf ? 2 : 1));
            end += crlf ? 2 : 1;
        }
        file.m_lines.push_back(std::move(line));
        start = end;
    }
    file.m_source = Source::Loaded;
    return file;
}

IniFile IniFile::Load(const TextFiles& files, const std::string& path)
{
    TextFileContent content = files.Read(path);
    switch (content.status) {
    case TextFileContent::Status::Read: {
        IniFile file = FromText(content.text);
        file.m_readOnly = std::move(content.readOnly);
        return file;
    }
    case TextFileContent::Status::Missing:
        return IniFile();
    case TextFileContent::Status::Unreadable:
        break;
    }
    IniFile unreadable;
    unreadable.m_source = Source::Unreadable;
    unreadable.m_problem = std::move(content.problem);
    return unreadable;
}

IniFile::Location IniFile::FindSection(std::string_view section) const
{
    const std::string_view wanted = Trim(section);
    Location location;
    if (wanted.empty()) {
        return location;
    }
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionName(m_lines[i].text);
        if (!name) {
            continue;
        }
        if (location.found) {
            location.end = i;
            return location;
        }
        if (EqualNoCase(*name, wanted)) {
            location.found = true;
            location.header = i;
        }
    }
    location.end = m_lines.size();
    return location;
}

std::optional<std::size_t> IniFile::FindKey(const Location& location, std::string_view key) const
{
    const std::string_view wanted = Trim(key);
    if (!location.found || wanted.empty()) {
        return std::nullopt;
    }
    for (std::size_t i = location.header + 1; i < location.end; ++i) {
        const auto entry = ParseKeyLine(m_lines[i].text);
        if (entry && EqualNoCase(entry->key, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::RawValue(std::string_view section, std::string_view key) const
{
    const auto index = FindKey(FindSection(section), key);
    if (!index) {
        return std::nullopt;
    }
    const auto entry = ParseKeyLine(m_lines[*index].text);
    if (!entry->value) {
        return std::nullopt;
    }
    return std::string(Trim(UpToNul(*entry->value)));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback,
                                std::size_t bufferSize) const
{
    if (bufferSize == 0) {
        return {};
    }
    std::string text;
    if (auto value = RawValue(section, key)) {
        text = std::string(StripQuotes(*value));
    } else {
        while (!fallback.empty() && fallback.back() == ' ') {
            fallback.remove_suffix(1);
        }
        text = std::string(StripQuotes(fallback));
    }
    std::string_view kept = CutOnCharacter(text, bufferSize - 1);
    if (kept.size() < text.size()) {
        // Blanks the cut leaves at the end would be trimmed when the value is read back
        // after a save, so the value would change once more; they go now.
        while (!kept.empty() && IsBlank(kept.back())) {
            kept.remove_suffix(1);
        }
    }
    return std::string(kept);
}

std::int32_t IniFile::ReadInt(std::string_view section, std::string_view key, std::int32_t fallback) const
{
    const std::string text = ReadString(section, key, "", 30);
    if (text.empty()) {
        return fallback;
    }
    return ParseProfileInteger(text);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value, Quoting quoting)
{
    const std::string sectionName = OneLine(Trim(section));
    const std::string keyName = OneLine(Trim(key));
    std::string written = OneLine(UpToNul(value));
    const std::string text = keyName + "=" + (quoting == Quoting::AsNeeded ? Quoted(std::move(written)) : written);
    if (sectionName.empty() || keyName.empty()) {
        return;
    }
    const Location location = FindSection(sectionName);
    if (location.found) {
        if (const auto index = FindKey(location, keyName)) {
            Line& line = m_lines[*index];
            if (line.text == text) {
                return;
            }
            line.text = text;
            if (line.lineEnd.empty()) {
                line.lineEnd = "\r\n";
            }
            m_changed = true;
            return;
        }
        // New keys follow the section's last entry, ahead of any blank lines that
        // separate it from the next section.
        std::size_t insertAt = location.header + 1;
        for (std::size_t i = location.header + 1; i < location.end; ++i) {
            if (!Trim(m_lines[i].text).empty()) {
                insertAt = i + 1;
            }
        }
        if (m_lines[insertAt - 1].lineEnd.empty()) {
            m_lines[insertAt - 1].lineEnd = "\r\n";
        }
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{text, "\r\n"});
        m_changed = true;
        return;
    }
    if (!m_lines.empty() && m_lines.back().lineEnd.empty()) {
        m_lines.back().lineEnd = "\r\n";
    }
    m_lines.push_back(Line{"[" + sectionName + "]", "\r\n"});
    m_lines.push_back(Line{text, "\r\n"});
    m_changed = true;
}

std::string IniFile::Text() const
{
    std::string text(m_byteOrderMark ? kByteOrderMark : std::string_view());
    for (const Line& line : m_lines) {
        text += line.text;
        text += line.lineEnd;
    }
    return text;
}

TextFileSave IniFile::Save(const TextFiles& files, const std::string& path) const
{
    if (path.empty()) {
        return {"no file name"};
    }
    if (m_source == Source::Unreadable) {
        return {"it could not be read (" + m_problem + "), so it is left as it was"};
    }
    if (!m_readOnly.empty()) {
        return {m_readOnly, true};
    }
    return files.Replace(path, Text());
}

} // namespace sarvendo
