// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogImport.h"

#include "history/CivilTime.h"
#include "history/HistoryStore.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

namespace sarvendo {
namespace {

// The hash covers at most this much of a log's start.
constexpr std::size_t kHeadBytes = 4096;

constexpr std::array<std::string_view, 12> kShortMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 12> kLongMonths = {"January",   "February", "March",    "April",
                                                          "May",       "June",     "July",     "August",
                                                          "September", "October",  "November", "December"};
constexpr std::array<std::string_view, 14> kDayNames = {"Sunday", "Monday",   "Tuesday", "Wednesday", "Thursday",
                                                        "Friday", "Saturday", "Sun",     "Mon",       "Tue",
                                                        "Wed",    "Thu",      "Fri",     "Sat"};

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads a stamp by walking the same format letters the stamp was written with.
class StampReader
{
public:
    StampReader(std::string_view text, const DateTimeFormats& formats) : m_text(text), m_formats(formats) {}

    bool Read(std::string_view format, int depth)
    {
        if (depth > 2) {
            return true;
        }
        char lastToken = 0;
        std::size_t i = 0;
        while (i < format.size()) {
            const char c = format[i];
            const char token = Upper(c);
            std::size_t run = 1;
            while (i + run < format.size() && Upper(format[i + run]) == token) {
                ++run;
            }
            bool ok = true;
            switch (token) {
            case '"':
            case '\'': {
                const std::size_t end = format.find(c, i + 1);
                const std::size_t stop = end == std::string_view::npos ? format.size() : end;
                if (!Literal(format.substr(i + 1, stop - i - 1))) {
                    return false;
                }
                i = end == std::string_view::npos ? format.size() : end + 1;
                continue;
            }
            case 'A':
                ok = AmPm(format, i);
                if (ok) {
                    continue;
                }
                break;
            case 'C':
                run = 1;
                ok = Read(m_formats.shortDateFormat, depth + 1);
                if (ok && m_pos + 1 < m_text.size() && m_text[m_pos] == ' ' && IsDigit(m_text[m_pos + 1])) {
                    ++m_pos;
                    ok = Read(m_formats.longTimeFormat, depth + 1);
                }
                break;
            case 'D':
                run = std::min<std::size_t>(run, 6);
                ok = run <= 2   ? Number(2, m_day)
                     : run <= 4 ? Name(kDayNames, nullptr)
                                : Read(run == 5 ? m_formats.shortDateFormat : m_formats.longDateFormat, depth + 1);
                break;
            case 'M':
                run = std::min<std::size_t>(run, 4);
                if (lastToken == 'H') {
                    run = std::min<std::size_t>(run, 2);
                    ok = Number(2, m_minute);
                } else {
                    ok = run <= 2 ? Number(2, m_month) : Name(run == 3 ? kShortMonths : kLongMonths, &m_month);
                }
                break;
            case 'N':
                run = std::min<std::size_t>(run, 2);
                ok = Number(2, m_minute);
                break;
            case 'H':
                run = std::min<std::size_t>(run, 2);
                ok = Number(2, m_hour);
                break;
            case 'S':
                run = std::min<std::size_t>(run, 2);
                ok = Number(2, m_second);
                break;
            case 'Z': {
                run = run >= 3 ? 3 : 1;
                int ignored = 0;
                ok = Number(3, ignored);
                break;
            }
            case 'T':
                run = std::min<std::size_t>(run, 2);
                ok = Read(run == 1 ? m_formats.shortTimeFormat : m_formats.longTimeFormat, depth + 1);
                break;
            case 'Y':
                run = std::min<std::size_t>(run, 4);
                ok = Number(run <= 2 ? 2 : 4, m_year);
                m_twoDigitYear = run <= 2;
                break;
            case '/':
                run = 1;
                ok = Literal(std::string_view(&m_formats.dateSeparator, 1));
                break;
            case ':':
                run = 1;
                ok = Literal(std::string_view(&m_formats.timeSeparator, 1));
                break;
            default:
                ok = Literal(format.substr(i, run));
                break;
            }
            if (!ok) {
                return false;
            }
            if (token >= 'A' && token <= 'Z') {
                lastToken = token;
            }
            i += run;
        }
        return true;
    }

    std::optional<LocalStamp> Result() const
    {
        if (m_pos != m_text.size() || m_year < 0 || m_month < 1 || m_month > 12 || m_day < 1) {
            return std::nullopt;
        }
        int year = m_year;
        if (m_twoDigitYear) {
            year += year < 50 ? 2000 : 1900;
        }
        int hour = m_hour;
        if (m_pm.has_value()) {
            if (hour < 1 || hour > 12) {
                return std::nullopt;
            }
            hour = hour % 12 + (*m_pm ? 12 : 0);
        }
        const Date date{year, m_month, m_day};
        if (CivilFromDays(DaysFromCivil(date)) != date || hour > 23 || m_minute > 59 || m_second > 59) {
            return std::nullopt;
        }
        return LocalStamp{date, hour * 3600 + m_minute * 60 + m_second};
    }

private:
    bool Literal(std::string_view literal)
    {
        if (m_text.size() - m_pos < literal.size()) {
            return false;
        }
        for (std::size_t i = 0; i < literal.size(); ++i) {
            if (Upper(m_text[m_pos + i]) != Upper(literal[i])) {
                return false;
            }
        }
        m_pos += literal.size();
        return true;
    }

    bool Number(std::size_t maxDigits, int& out)
    {
        std::size_t digits = 0;
        int value = 0;
        while (digits < maxDigits && m_pos < m_text.size() && IsDigit(m_text[m_pos])) {
            value = value * 10 + (m_text[m_pos] - '0');
            ++m_pos;
            ++digits;
        }
        out = value;
        return digits > 0;
    }

    template <std::size_t N> bool Name(const std::array<std::string_view, N>& names, int* index)
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (Literal(names[i])) {
                if (index != nullptr) {
                    *index = static_cast<int>(i % 12) + 1;
                }
                return true;
            }
        }
        return false;
    }

    bool AmPm(std::string_view format, std::size_t& i)
    {
        auto match = [&](std::string_view marker, std::string_view am, std::string_view pm) {
            if (format.size() - i < marker.size()) {
                return false;
            }
            for (std::size_t k = 0; k < marker.size(); ++k) {
                if (Upper(format[i + k]) != marker[k]) {
                    return false;
                }
            }
            if (Literal(am)) {
                m_pm = false;
            } else if (Literal(pm)) {
                m_pm = true;
            } else {
                return false;
            }
            i += marker.size();
            return true;
        };
        if (match("AMPM", m_formats.timeAmString, m_formats.timePmString) || match("AM/PM", "am", "pm") ||
            match("A/P", "a", "p")) {
            return true;
        }
        // Any other "a" is written as it stands.
        if (Literal(format.substr(i, 1))) {
            ++i;
            return true;
        }
        return false;
    }

    std::string_view m_text;
    const DateTimeFormats& m_formats;
    std::size_t m_pos = 0;
    int m_year = -1;
    int m_month = -1;
    int m_day = -1;
    int m_hour = 0;
    int m_minute = 0;
    int m_second = 0;
    bool m_twoDigitYear = false;
    std::optional<bool> m_pm;
};

std::optional<std::int64_t> ParseCount(std::string_view text)
{
    if (text.empty() || text.size() > 18) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// Splits off what stands between the start of the text and a marker; empty when the
// marker is missing.
std::optional<std::string_view> Before(std::string_view& rest, std::string_view marker)
{
    const std::size_t at = rest.find(marker);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view piece = rest.substr(0, at);
    rest.remove_prefix(at + marker.size());
    return piece;
}

std::optional<Instant> InstantOf(std::string_view text, const DateTimeFormats& formats, const CivilTime& civil)
{
    const std::optional<LocalStamp> stamp = ParseStamp(text, formats);
    if (!stamp) {
        return std::nullopt;
    }
    return civil.FromLocal(stamp->date, stamp->secondOfDay);
}

std::optional<SessionRecord> ParseConnectLine(std::string_view line, const DateTimeFormats& formats,
                                              const CivilTime& civil)
{
    constexpr std::string_view kConnected = "Connected: ";
    if (!line.starts_with(kConnected)) {
        return std::nullopt;
    }
    std::string_view rest = line.substr(kConnected.size());
    SessionRecord session;
    session.endedBy = EndedBy::Unknown;
    const std::optional<std::string_view> startText = Before(rest, "  Disconnected: ");
    const std::optional<Instant> start = InstantOf(startText.value_or(rest), formats, civil);
    if (!start) {
        return std::nullopt;
    }
    session.start = *start;
    if (!startText) {
        return session; // a lone "Connected:" piece: the end is not known
    }
    const auto endText = Before(rest, "  Session Time = ");
    const auto sessionText = endText ? Before(rest, "  Total Time = ") : std::nullopt;
    if (!sessionText) {
        return std::nullopt;
    }
    const std::optional<Instant> end = InstantOf(*endText, formats, civil);
    const std::optional<std::int64_t> seconds = ParseElapsed(*sessionText, formats);
    const std::optional<std::string_view> totalText = Before(rest, "  Sent: ");
    if (!end || !seconds || !ParseElapsed(totalText.value_or(rest), formats)) {
        return std::nullopt;
    }
    if (totalText) {
        const auto sentText = Before(rest, "  Received: ");
        const auto receivedText = sentText ? Before(rest, " bytes") : std::nullopt;
        const auto sent = sentText ? ParseCount(*sentText) : std::nullopt;
        const auto received = receivedText ? ParseCount(*receivedText) : std::nullopt;
        if (!sent || !received || !rest.empty()) {
            return std::nullopt;
        }
        session.sent = *sent;
        session.received = *received;
    }
    session.durationMs = *seconds * 1000;
    session.end = *end;
    // A local time that happened twice (the end of daylight saving time) is read as the
    // earlier one; the session time says which was meant.
    if (session.end->utc < session.start.utc) {
        session.end->utc = session.start.utc + *seconds;
    }
    return session;
}

std::optional<CallRecord> ParseRingLine(std::string_view line, const DateTimeFormats& formats, const CivilTime& civil)
{
    constexpr std::string_view kCall = "Call: ";
    if (!line.starts_with(kCall)) {
        return std::nullopt;
    }
    std::string_view rest = line.substr(kCall.size());
    const auto stampText = Before(rest, "   Signals= ");
    const auto at = stampText ? InstantOf(*stampText, formats, civil) : std::nullopt;
    const auto rings = ParseCount(rest);
    if (!at || !rings || *rings > 1'000'000) {
        return std::nullopt;
    }
    return CallRecord{*at, static_cast<std::int32_t>(*rings)};
}

template <typename Line> void EachLine(std::string_view text, Line onLine)
{
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            onLine(number, line);
        }
    }
}

std::string Problem(std::string_view name, std::size_t number, std::string_view line)
{
    constexpr std::size_t kShown = 80;
    std::string text = std::string(name) + ":" + std::to_string(number) + ": cannot be read: ";
    text += line.substr(0, kShown);
    if (line.size() > kShown) {
        text += "...";
    }
    return text;
}

std::string HeadHash(std::string_view head)
{
    // FNV-1a: enough to tell one log from another, and the same everywhere.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : head) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%zu:%016llx", head.size(), static_cast<unsigned long long>(hash));
    return text.data();
}

bool KnownLog(const std::vector<std::string>& knownHeads, std::string_view start)
{
    for (const std::string& known : knownHeads) {
        const std::size_t length = std::strtoull(known.c_str(), nullptr, 10);
        if (length <= start.size() && HeadHash(start.substr(0, length)) == known) {
            return true;
        }
    }
    return false;
}

ImportReport ImportOne(HistoryStore& store, const std::string& path, bool ringLog, const DateTimeFormats& formats,
                       const CivilTime& civil)
{
    ImportReport report;
    report.log = path;
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::vector<std::string> known = store.ImportedHeads(name);
    std::string text;
    std::error_code missing;
    const std::filesystem::file_status status = std::filesystem::status(path, missing);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A FIFO or a device would block the reading or never end.
        report.failure = "is not a regular file";
        return report;
    }
    if (std::filesystem::exists(status)) {
        // C stdio: the C++ file streams would load the library's locale machinery and keep
        // it for the life of the program.
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
        if (!file) {
            // Not remembered: the next start tries again.
            report.failure = std::string("cannot be read: ") + std::strerror(errno);
            return report;
        }
        // The start first: a log imported before is known by it and not read further.
        text.resize(kHeadBytes);
        text.resize(std::fread(text.data(), 1, kHeadBytes, file.get()));
        if (!KnownLog(known, text)) {
            char block[16384];
            while (const std::size_t got = std::fread(block, 1, sizeof block, file.get())) {
                text.append(block, got);
            }
        }
        if (std::ferror(file.get()) != 0) {
            report.failure = "cannot be read";
            return report;
        }
    }
    // Known by the hash of the start that was hashed then: a log imported small and
    // grown since is still the same log.
    if (KnownLog(known, text)) {
        report.alreadyImported = true;
        return report;
    }
    const std::string_view head = std::string_view(text).substr(0, std::min(text.size(), kHeadBytes));
    const LogFingerprint fingerprint{name, static_cast<std::int64_t>(text.size()), HeadHash(head)};
    const ParsedLog parsed =
        ringLog ? ParseRingLog(text, path, formats, civil) : ParseConnectLog(text, path, formats, civil);
    if (auto failure = store.AddImport(fingerprint, parsed.sessions, parsed.calls, parsed.problems)) {
        report.failure = failure->message;
        return report;
    }
    report.sessions = parsed.sessions.size();
    report.calls = parsed.calls.size();
    report.problems = parsed.problems;
    return report;
}

} // namespace

std::optional<LocalStamp> ParseStamp(std::string_view text, const DateTimeFormats& formats)
{
    StampReader reader(text, formats);
    if (!reader.Read("c", 0)) {
        return std::nullopt;
    }
    return reader.Result();
}

std::optional<std::int64_t> ParseElapsed(std::string_view text, const DateTimeFormats& formats)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    std::array<std::int64_t, 3> parts{};
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const std::size_t end = k + 1 < parts.size() ? text.find(formats.timeSeparator) : text.size();
        const std::optional<std::int64_t> value = ParseCount(text.substr(0, end));
        if (!value || end == std::string_view::npos || (k > 0 && (end != 2 || *value > 59))) {
            return std::nullopt;
        }
        parts[k] = *value;
        text.remove_prefix(end == text.size() ? end : end + 1);
    }
    if (parts[0] > 24LL * 366 * 100) {
        return std::nullopt;
    }
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

ParsedLog ParseConnectLog(std::string_view text, std::string_view name, const DateTimeFormats& formats,
                          const CivilTime& civil)
{
    ParsedLog parsed;
    EachLine(text, [&](std::size_t number, std::string_view line) {
        if (auto session = ParseConnectLine(line, formats, civil)) {
            parsed.sessions.push_back(std::move(*session));
        } else {
            parsed.problems.push_back(Problem(name, number, line));
        }
    });
    return parsed;
}

ParsedLog ParseRingLog(std::string_view text, std::string_view name, const DateTimeFormats& formats,
                       const CivilTime& civil)
{
    ParsedLog parsed;
    EachLine(text, [&](std::size_t number, std::string_view line) {
        if (auto call = ParseRingLine(line, formats, civil)) {
            parsed.calls.push_back(*call);
        } else {
            parsed.problems.push_back(Problem(name, number, line));
        }
    });
    return parsed;
}

std::vector<ImportReport> ImportLogs(HistoryStore& store, const std::string& connectLog, const std::string& ringLog,
                                     const DateTimeFormats& formats, const CivilTime& civil)
{
    return {ImportOne(store, connectLog, false, formats, civil), ImportOne(store, ringLog, true, formats, civil)};
}

std::vector<std::string> ImportNotes(const std::vector<ImportReport>& reports)
{
    std::vector<std::string> notes;
    for (const ImportReport& report : reports) {
        if (!report.failure.empty()) {
            notes.push_back("the log " + report.log + " could not be imported: " + report.failure);
            continue;
        }
        if (report.alreadyImported || (report.sessions == 0 && report.calls == 0 && report.problems.empty())) {
            continue;
        }
        notes.push_back("imported " + std::to_string(report.sessions) + " sessions and " +
                        std::to_string(report.calls) + " calls from " + report.log);
        notes.insert(notes.end(), report.problems.begin(), report.problems.end());
        if (!report.problems.empty()) {
            notes.push_back(std::to_string(report.problems.size()) +
                            (report.problems.size() == 1 ? " line of " : " lines of ") + report.log +
                            " could not be read and were left out");
        }
    }
    return notes;
}

} // namespace sarvendo
