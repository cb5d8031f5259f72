// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sarvendo {

// A moment as the history keeps it: seconds since 1970 in UTC, and the offset of the
// local time from UTC at that moment, so that it reads as the user saw it then.
struct Instant
{
    std::int64_t utc = 0;
    std::int32_t offset = 0;

    std::int64_t LocalSeconds() const { return utc + offset; }
    friend bool operator==(const Instant&, const Instant&) = default;
};

// How a connection ended. Open means still running, or cut short by a crash until the
// next start marks it Unknown.
enum class EndedBy
{
    Open,
    Carrier,
    HangUp,
    Exit,
    Unknown,
};

std::string_view EndedByName(EndedBy endedBy);
EndedBy EndedByFromName(std::string_view name);

struct SessionRecord
{
    std::int64_t id = 0;
    std::int32_t port = 0;
    std::string device;
    Instant start;
    std::optional<Instant> end; // empty when the end is not known
    std::int64_t durationMs = 0;
    std::int64_t sent = 0;
    std::int64_t received = 0;
    std::string speed;
    EndedBy endedBy = EndedBy::Unknown;
};

struct CallRecord
{
    Instant at;
    std::int32_t rings = 0;
};

// Sums over a period; the period is a local date ("2026-12-09"), month ("2026-12") or
// year ("2026") when grouped.
struct PeriodTotals
{
    std::string period;
    std::int64_t calls = 0;
    std::int64_t sessions = 0;
    std::int64_t durationMs = 0;
    std::int64_t sent = 0;
    std::int64_t received = 0;
    std::int64_t longestMs = 0;
};

enum class Grouping
{
    Day,
    Month,
    Year,
};

// A local calendar date.
struct Date
{
    int year = 1970;
    int month = 1;
    int day = 1;
    friend auto operator<=>(const Date&, const Date&) = default;
};

// Days since 1970-01-01 of a date, and back (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(Date date);
Date CivilFromDays(std::int64_t days);

// "2026-12-09T04:30:12+01:00".
std::string IsoLocal(const Instant& instant);
// "2026-12-09".
std::string IsoDate(Date date);

} // namespace sarvendo
