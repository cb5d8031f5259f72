// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryReport.h"

#include "history/HistoryStore.h"

#include <array>
#include <cstdio>
#include <limits>

namespace sarvendo {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::string PortName(std::int32_t port)
{
    return port > 0 ? "COM" + std::to_string(port) : std::string();
}

std::string EndText(const SessionRecord& session)
{
    return session.end ? IsoLocal(*session.end) : std::string();
}

// A field as CSV needs it: in quotes when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string_view CsvEndedBy(EndedBy endedBy)
{
    // A session still running when the history is read has no way of ending yet.
    return endedBy == EndedBy::Open ? EndedByName(EndedBy::Unknown) : EndedByName(endedBy);
}

} // namespace

std::int64_t LocalStartOf(const std::optional<Date>& from)
{
    return from ? DaysFromCivil(*from) * kSecondsPerDay : std::numeric_limits<std::int64_t>::min() / 2;
}

std::int64_t LocalEndOf(const std::optional<Date>& to)
{
    return to ? (DaysFromCivil(*to) + 1) * kSecondsPerDay : std::numeric_limits<std::int64_t>::max() / 2;
}

std::string DurationText(std::int64_t milliseconds)
{
    const std::int64_t seconds = milliseconds / 1000;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text.data();
}

void WriteSessionsCsv(std::ostream& out, const std::vector<SessionRecord>& sessions)
{
    out << "start,end,port,seconds,sent,received,speed,ended_by\n";
    for (const SessionRecord& session : sessions) {
        out << IsoLocal(session.start) << ',' << EndText(session) << ',' << PortName(session.port) << ','
            << (session.durationMs + 500) / 1000 << ',' << session.sent << ',' << session.received << ','
            << CsvField(session.speed) << ',' << CsvEndedBy(session.endedBy) << '\n';
    }
}

void PrintHistory(HistoryStore& store, const HistoryRequest& request, std::ostream& out)
{
    const std::int64_t from = LocalStartOf(request.from);
    const std::int64_t to = LocalEndOf(request.to);
    if (!request.by) {
        const std::vector<SessionRecord> sessions = store.Sessions(from, to);
        if (request.csv) {
            WriteSessionsCsv(out, sessions);
            return;
        }
        for (const SessionRecord& session : sessions) {
            out << IsoLocal(session.start) << "  " << (session.end ? IsoLocal(*session.end) : "(end not known)") << "  "
                << (session.port > 0 ? PortName(session.port) : "COM?") << "  " << DurationText(session.durationMs)
                << "  sent " << session.sent << "  received " << session.received;
            if (!session.speed.empty()) {
                out << "  " << session.speed;
            }
            out << "  " << CsvEndedBy(session.endedBy) << '\n';
        }
        return;
    }
    const std::vector<PeriodTotals> periods = store.Grouped(*request.by, from, to);
    const char* name = *request.by == Grouping::Day ? "day" : *request.by == Grouping::Month ? "month" : "year";
    if (request.csv) {
        out << name << ",calls,sessions,seconds,sent,received,longest_seconds\n";
    }
    for (const PeriodTotals& period : periods) {
        if (request.csv) {
            out << period.period << ',' << period.calls << ',' << period.sessions << ','
                << (period.durationMs + 500) / 1000 << ',' << period.sent << ',' << period.received << ','
                << (period.longestMs + 500) / 1000 << '\n';
        } else {
            out << period.period << "  calls " << period.calls << "  sessions " << period.sessions << "  time "
                << DurationText(period.durationMs) << "  sent " << period.sent << "  received " << period.received
                << "  longest " << DurationText(period.longestMs) << '\n';
        }
    }
}

} // namespace sarvendo
