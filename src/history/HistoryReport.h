// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryTypes.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace sarvendo {

class HistoryStore;

// What `sarvendo --history` was asked for: the sessions one per line, or totals by day,
// month or year; from and to are local dates, both included.
struct HistoryRequest
{
    std::optional<Grouping> by;
    std::optional<Date> from;
    std::optional<Date> to;
    bool csv = false;
};

// The local seconds from the start of the first day to the end of the last.
std::int64_t LocalStartOf(const std::optional<Date>& from);
std::int64_t LocalEndOf(const std::optional<Date>& to);

// "1:02:03", hours counting on past a day.
std::string DurationText(std::int64_t milliseconds);

// The CSV of sessions, header "start,end,port,seconds,sent,received,speed,ended_by".
void WriteSessionsCsv(std::ostream& out, const std::vector<SessionRecord>& sessions);

// Prints what the request asks for.
void PrintHistory(HistoryStore& store, const HistoryRequest& request, std::ostream& out);

} // namespace sarvendo
