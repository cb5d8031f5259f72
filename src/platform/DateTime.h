// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace sarvendo {

// A point in time or a duration as the program counts it everywhere: days since
// 30 December 1899 in local time, the fraction being the time of day. Durations are
// differences of such values, so adding two clock readings' difference adds time.
using DateTime = double;

inline constexpr double kMsPerDay = 86400000.0;
inline constexpr DateTime kOneSecond = 1.0 / 86400.0;
inline constexpr DateTime kOneMinute = 1.0 / 1440.0;

// The calendar and clock fields of a DateTime. Negative values follow the old
// convention: the whole part counts days before the epoch, the fraction's magnitude is
// still the time of day.
struct DecodedDateTime
{
    int year = 1899;
    int month = 12;
    int day = 30;
    int dayOfWeek = 7; // 1 = Sunday … 7 = Saturday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

DateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                        int millisecond = 0);

// Rounds to the nearest millisecond first, so 0.99999999 of a day reads as the next day
// at 0:00:00 rather than as 23:59:59.999.
DecodedDateTime DecodeDateTime(DateTime value);

// The whole days and the milliseconds of the day after rounding to the millisecond,
// the split every duration text is built from.
struct DaysAndMs
{
    std::int64_t days = 0;
    std::int64_t ms = 0;
};
DaysAndMs SplitDateTime(DateTime value);

// How dates and times are written as text; the defaults are the classic US settings.
struct DateTimeFormats
{
    std::string shortDateFormat = "M/d/yy";
    std::string longDateFormat = "dddd, MMMM dd, yyyy";
    std::string shortTimeFormat = "h:mm AMPM";
    std::string longTimeFormat = "h:mm:ss AMPM";
    char dateSeparator = '/';
    char timeSeparator = ':';
    std::string timeAmString = "AM";
    std::string timePmString = "PM";
};

} // namespace sarvendo
