// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryTypes.h"

#include <array>
#include <cstdio>

namespace sarvendo {
namespace {

constexpr std::array<std::string_view, 5> kEndedByNames = {"open", "carrier", "hangup", "exit", "unknown"};

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor)
{
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

} // namespace

std::string_view EndedByName(EndedBy endedBy)
{
    return kEndedByNames[static_cast<std::size_t>(endedBy)];
}

EndedBy EndedByFromName(std::string_view name)
{
    for (std::size_t i = 0; i < kEndedByNames.size(); ++i) {
        if (kEndedByNames[i] == name) {
            return static_cast<EndedBy>(i);
        }
    }
    return EndedBy::Unknown;
}

// The well-known days-from-civil conversion, exact for every date of the Gregorian
// calendar without looping.
std::int64_t DaysFromCivil(Date date)
{
    const std::int64_t year = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t month = date.month;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date CivilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const auto day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const auto month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const auto year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return Date{year, month, day};
}

std::string IsoLocal(const Instant& instant)
{
    const std::int64_t local = instant.LocalSeconds();
    const Date date = CivilFromDays(FloorDiv(local, 86400));
    const std::int64_t second = local - FloorDiv(local, 86400) * 86400;
    const int offset = instant.offset < 0 ? -instant.offset : instant.offset;
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", date.year, date.month, date.day,
                  static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60), static_cast<int>(second % 60),
                  instant.offset < 0 ? '-' : '+', offset / 3600, offset / 60 % 60);
    return text.data();
}

std::string IsoDate(Date date)
{
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02d", date.year, date.month, date.day);
    return text.data();
}

} // namespace sarvendo
