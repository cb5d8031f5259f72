// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/HistoryTypes.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvendo {

class CivilTime;
class HistoryStore;

// A local date and time read back from a log's "c" stamp.
struct LocalStamp
{
    Date date;
    std::int64_t secondOfDay = 0;
};

// Reads a whole text written with the "c" format (short date, then a blank and the long
// time unless it is midnight) with the given formats; empty when the text is anything
// else or names no real date.
std::optional<LocalStamp> ParseStamp(std::string_view text, const DateTimeFormats& formats);

// Reads a duration as the connect log writes it ("1:02:03", "49:00:00"): whole seconds.
std::optional<std::int64_t> ParseElapsed(std::string_view text, const DateTimeFormats& formats);

// The records of one log and the lines that could not be read, each named
// "FILE:LINE: text".
struct ParsedLog
{
    std::vector<SessionRecord> sessions;
    std::vector<CallRecord> calls;
    std::vector<std::string> problems;
};

// The connect log: each "Connected: … Disconnected: … Session Time = … Total Time = …
// [Sent: … Received: … bytes]" line is a session ending Unknown; a lone "Connected:"
// piece is a session whose end is not known.
ParsedLog ParseConnectLog(std::string_view text, std::string_view name, const DateTimeFormats& formats,
                          const CivilTime& civil);
// The ring log: each "Call: …   Signals= N" line is a call of N rings.
ParsedLog ParseRingLog(std::string_view text, std::string_view name, const DateTimeFormats& formats,
                       const CivilTime& civil);

// What one import of a log did.
struct ImportReport
{
    std::string log;
    bool alreadyImported = false;
    std::size_t sessions = 0;
    std::size_t calls = 0;
    std::vector<std::string> problems;
    std::string failure; // the log could not be read or the records not stored
};

// Imports the connect log and the ring log unless they were imported before (known by
// their name and a hash of their start), all of a log or nothing. A log that does not
// exist yet is remembered as imported empty, so the records the program writes to it
// later, which the history already holds, are never imported.
std::vector<ImportReport> ImportLogs(HistoryStore& store, const std::string& connectLog, const std::string& ringLog,
                                     const DateTimeFormats& formats, const CivilTime& civil);

// What the user should read about imports: how much each brought, and every line that
// could not be read, named by file and line.
std::vector<std::string> ImportNotes(const std::vector<ImportReport>& reports);

} // namespace sarvendo
