// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateTime.h"

#include <cmath>
#include <cstdlib>

namespace sarvendo {
namespace {

// 1970-01-01 is day 25569 of the program's calendar.
constexpr std::int64_t kUnixEpochDay = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

} // namespace

DateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    const std::int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kUnixEpochDay;
    const double fraction = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

DaysAndMs SplitDateTime(DateTime value)
{
    if (!std::isfinite(value)) {
        return {};
    }
    // Beyond this the whole days no longer fit the 64-bit count of milliseconds.
    constexpr double kLargestDays = 1e15;
    value = std::fmax(-kLargestDays, std::fmin(value, kLargestDays));
    const double whole = std::trunc(value);
    std::int64_t ms = std::llround(std::fabs(value - whole) * kMsPerDay);
    auto days = static_cast<std::int64_t>(whole);
    if (ms >= static_cast<std::int64_t>(kMsPerDay)) {
        ms -= static_cast<std::int64_t>(kMsPerDay);
        days += value < 0 ? -1 : 1;
    }
    return {days, ms};
}

DecodedDateTime DecodeDateTime(DateTime value)
{
    const DaysAndMs split = SplitDateTime(value);
    DecodedDateTime result;
    CivilFromDays(split.days - kUnixEpochDay, result.year, result.month, result.day);
    // Day 0 (1899-12-30) was a Saturday.
    result.dayOfWeek = static_cast<int>(((split.days % 7) + 7 + 6) % 7) + 1;
    result.hour = static_cast<int>(split.ms / 3600000);
    result.minute = static_cast<int>(split.ms / 60000 % 60);
    result.second = static_cast<int>(split.ms / 1000 % 60);
    result.millisecond = static_cast<int>(split.ms % 1000);
    return result;
}

} // namespace sarvendo
