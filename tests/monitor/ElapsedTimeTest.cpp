// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/ElapsedTime.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

DateTime Duration(int days, int hours, int minutes, int seconds)
{
    return days + ((hours * 60.0 + minutes) * 60.0 + seconds) / 86400.0;
}

TEST(ElapsedToStr, MoreThanADayShowsTotalHours)
{
    DateTimeFormats us;
    EXPECT_EQ(ElapsedToStr(Duration(2, 3, 4, 5), us), "51:04:05");
    EXPECT_EQ(ElapsedToStr(3.0, us), "72:00:00");
    EXPECT_EQ(ElapsedToStr(Duration(1, 12, 0, 0), us), "36:00:00");
}

TEST(ElapsedToStr, TwoDigitHoursOfTheDayAreAddedToo)
{
    DateTimeFormats formats;
    formats.longTimeFormat = "hh:mm:ss";
    EXPECT_EQ(ElapsedToStr(Duration(1, 11, 22, 33), formats), "35:22:33");
    EXPECT_EQ(ElapsedToStr(Duration(4, 0, 0, 1), formats), "96:00:01");
}

TEST(ElapsedToStr, ASumJustBelowWholeDaysStillReadsWholeDays)
{
    DateTimeFormats formats;
    formats.longTimeFormat = "h:mm:ss";
    double total = 0;
    for (int i = 0; i < 3 * 24 * 60; ++i) {
        total += 1.0 / 1440.0;
    }
    EXPECT_EQ(ElapsedToStr(total, formats), "72:00:00");
}

TEST(ElapsedToStr, UnderADayIsTheLongTimeFormat)
{
    DateTimeFormats formats;
    formats.longTimeFormat = "hh.mm.ss";
    formats.timeSeparator = '.';
    EXPECT_EQ(ElapsedToStr(Duration(0, 0, 2, 30), formats), "00.02.30");
}

TEST(ElapsedToStr, ATwelveHourLocaleStillCountsDurationsOnTheTwentyFourHourClock)
{
    const DateTimeFormats us; // h:mm:ss AMPM
    EXPECT_EQ(ElapsedToStr(Duration(0, 0, 2, 30), us), "0:02:30");
    EXPECT_EQ(ElapsedToStr(Duration(0, 13, 0, 0), us), "13:00:00");
    EXPECT_EQ(ElapsedToStr(Duration(1, 0, 0, 0), us), "24:00:00");
}

} // namespace
} // namespace sarvendo
