// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeldRecords.h"

#include "platform/LogFiles.h"

#include <charconv>
#include <cstdint>

namespace sarvendo {
namespace {

// The first line names what the file is, so that a stray file in its place is never taken
// for records; the second gives the records' length and check sum, so that a file cut
// short or damaged is never written into a log.
constexpr std::string_view kHeader = "Sarvendo held log records\n";
constexpr int kHexDigits = 8;

std::uint32_t Crc32(std::string_view data)
{
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const char c : data) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
        }
    }
    return ~crc;
}

std::string Hex(std::uint32_t value)
{
    std::string text(kHexDigits, '0');
    for (int i = kHexDigits - 1; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 0xFU];
        value >>= 4;
    }
    return text;
}

// A number that fills the whole text.
template <typename Number> bool ParseWhole(std::string_view text, Number& value, int base)
{
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    return !text.empty() && error == std::errc() && stop == end;
}

} // namespace

HeldRecords::HeldRecords(LogFiles& files, std::string logPath, std::vector<std::string> places)
    : m_files(files), m_logPath(std::move(logPath))
{
    for (std::string& path : places) {
        m_places.push_back(SidePlace{std::move(path)});
    }
}

std::string HeldRecords::Encode(std::string_view records, std::uint64_t logOffset)
{
    std::string text(kHeader);
    text += std::to_string(records.size());
    text += ' ';
    text += Hex(Crc32(records));
    text += ' ';
    text += std::to_string(logOffset);
    text += '\n';
    text += records;
    return text;
}

std::optional<HeldRecords::Contents> HeldRecords::Decode(std::string_view text, std::string& problem)
{
    if (!text.starts_with(kHeader)) {
        problem = "it does not begin as a file of held log records does";
        return std::nullopt;
    }
    text.remove_prefix(kHeader.size());
    const std::size_t lineEnd = text.find('\n');
    const std::string_view line = text.substr(0, lineEnd);
    const std::size_t space = line.find(' ');
    const std::size_t secondSpace = space == std::string_view::npos ? space : line.find(' ', space + 1);
    std::size_t length = 0;
    std::uint32_t check = 0;
    Contents contents;
    if (lineEnd == std::string_view::npos || secondSpace == std::string_view::npos ||
        !ParseWhole(line.substr(0, space), length, 10) || secondSpace - space - 1 != kHexDigits ||
        !ParseWhole(line.substr(space + 1, kHexDigits), check, 16) ||
        !ParseWhole(line.substr(secondSpace + 1), contents.logOffset, 10)) {
        problem = "its line with the length and check sum is damaged";
        return std::nullopt;
    }
    const std::string_view records = text.substr(lineEnd + 1);
    if (records.size() != length) {
        problem = records.size() < length ? "it is cut short" : "it has more bytes than it says";
        return std::nullopt;
    }
    if (Crc32(records) != check) {
        problem = "its check sum does not match its records";
        return std::nullopt;
    }
    contents.records = std::string(records);
    return contents;
}

std::string HeldRecords::TakeOver(std::vector<std::string>& notes)
{
    std::string taken;
    // Every place is looked at, so that a file in a later one is never written over.
    for (std::size_t index = 0; index < m_places.size(); ++index) {
        SidePlace& place = m_places[index];
        const SideFileContent content = m_files.ReadSideFile(place.path);
        if (content.status == SideFileContent::Status::Missing) {
            continue;
        }
        std::string problem = content.problem;
        const std::optional<Contents> held =
            content.status == SideFileContent::Status::Read ? Decode(content.text, problem) : std::nullopt;
        if (!held) {
            place.untouchable = true;
            notes.push_back(place.path + " cannot be read as log records held for " + m_logPath + " (" + problem +
                            "); it is left as it is");
            continue;
        }
        if (m_home) {
            // One side file at a time, so that no record can be in two of them: this one
            // waits for a start when the first is gone.
            place.untouchable = true;
            notes.push_back(place.path + " holds more log records for " + m_logPath +
                            "; they are written at a later start");
            continue;
        }
        m_home = index;
        m_kept = held->records;
        if (held->records.empty() || m_files.HoldsAt(m_logPath, held->logOffset, held->records)) {
            // Written before the last run could remove the side file, whatever followed.
            if (std::string note = Release(); !note.empty()) {
                notes.push_back(std::move(note));
            }
            continue;
        }
        taken = held->records;
    }
    return taken;
}

bool HeldRecords::Keep(std::string_view records, KeepAttempt attempt)
{
    if (Kept(records)) {
        return true;
    }
    if (attempt == KeepAttempt::WhenChanged && m_failed && *m_failed == records) {
        return false;
    }
    // Held records go at the log's end as it is now: any earlier ones are in it or in them.
    const std::string text = Encode(records, m_files.SizeOf(m_logPath).value_or(0));
    // Records already on the disk are replaced where they are, never copied elsewhere.
    for (std::size_t index = 0; index < m_places.size(); ++index) {
        if ((m_home && index != *m_home) || m_places[index].untouchable) {
            continue;
        }
        if (m_files.ReplaceSideFile(m_places[index].path, text).empty()) {
            m_home = index;
            m_kept = std::string(records);
            m_failed.reset();
            return true;
        }
    }
    m_failed = std::string(records);
    return false;
}

std::string HeldRecords::Release()
{
    m_failed.reset();
    if (!m_home) {
        return {};
    }
    const std::string& path = m_places[*m_home].path;
    if (const std::string failure = m_files.RemoveSideFile(path); !failure.empty()) {
        return path + " could not be removed (" + failure + ") although " + m_logPath + " has its records";
    }
    m_home.reset();
    m_kept.clear();
    return {};
}

void HeldRecords::Withdraw()
{
    if (m_home && m_files.RemoveSideFile(m_places[*m_home].path).empty()) {
        m_home.reset();
        m_kept.clear();
    }
}

} // namespace sarvendo
