// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a connect log and as a ring log, read with the US formats and with
// day-first 24-hour ones: every line that holds anything is either a record or named as
// a problem by its file and number, and no record has a negative length or ends before
// it began.
#include "FuzzCheck.h"

#include "history/CivilTime.h"
#include "history/LogImport.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace sarvendo;

// UTC all year, so that every local time happened exactly once.
class UtcCivilTime final : public CivilTime
{
public:
    Instant Now() const override { return Instant{0, 0}; }
    std::optional<Instant> FromLocal(Date date, std::int64_t secondOfDay) const override
    {
        return Instant{DaysFromCivil(date) * 86400 + secondOfDay, 0};
    }
};

std::size_t LinesWithText(std::string_view text)
{
    std::size_t lines = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        lines += line.find_first_not_of("\r ") != std::string_view::npos ? 1 : 0;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const UtcCivilTime civil;
    DateTimeFormats dayFirst;
    dayFirst.shortDateFormat = "dd.MM.yyyy";
    dayFirst.longTimeFormat = "HH:mm:ss";
    dayFirst.dateSeparator = '.';
    for (const DateTimeFormats& formats : {DateTimeFormats{}, dayFirst}) {
        const ParsedLog connect = ParseConnectLog(text, "Sarvendo.DCD", formats, civil);
        fuzz::Check(connect.sessions.size() + connect.problems.size() == LinesWithText(text),
                    "every connect log line is a session or a problem");
        for (const SessionRecord& session : connect.sessions) {
            fuzz::Check(session.durationMs >= 0 && session.sent >= 0 && session.received >= 0,
                        "no session has a negative length or count");
            fuzz::Check(!session.end || session.end->utc >= session.start.utc, "no session ends before it began");
        }
        for (const std::string& problem : connect.problems) {
            fuzz::Check(problem.starts_with("Sarvendo.DCD:"), "a problem names its file");
        }
        const ParsedLog ring = ParseRingLog(text, "Sarvendo.RI", formats, civil);
        fuzz::Check(ring.calls.size() + ring.problems.size() == LinesWithText(text),
                    "every ring log line is a call or a problem");
        for (const CallRecord& call : ring.calls) {
            fuzz::Check(call.rings >= 0, "no call has a negative ring count");
        }
    }
    return 0;
}
