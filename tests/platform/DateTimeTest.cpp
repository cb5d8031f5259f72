// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DateTime.h"

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

TEST(DateTime, KnownDaysOfTheCalendar)
{
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1996, 1, 1), 35065.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1970, 1, 1), 25569.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6), -1.25);
}

TEST(DateTime, DecodeRoundTripsDateAndTime)
{
    const DecodedDateTime parts = DecodeDateTime(EncodeDateTime(2024, 2, 29, 23, 59, 58, 250));
    EXPECT_EQ(parts.year, 2024);
    EXPECT_EQ(parts.month, 2);
    EXPECT_EQ(parts.day, 29);
    EXPECT_EQ(parts.hour, 23);
    EXPECT_EQ(parts.minute, 59);
    EXPECT_EQ(parts.second, 58);
    EXPECT_EQ(parts.millisecond, 250);
    EXPECT_EQ(parts.dayOfWeek, 5); // a Thursday
}

TEST(DateTime, DecodeRoundsToTheMillisecondAndCarriesIntoTheNextDay)
{
    const DecodedDateTime parts = DecodeDateTime(2.0 - 1e-10);
    EXPECT_EQ(parts.day, 1);
    EXPECT_EQ(parts.month, 1);
    EXPECT_EQ(parts.year, 1900);
    EXPECT_EQ(parts.hour, 0);
    EXPECT_EQ(SplitDateTime(2.9999999999).days, 3);
}

TEST(DateTime, NegativeValuesKeepTheTimeOfDayAsMagnitude)
{
    const DecodedDateTime parts = DecodeDateTime(-1.25);
    EXPECT_EQ(parts.day, 29);
    EXPECT_EQ(parts.hour, 6);
}

TEST(DateTime, NonFiniteValuesDecodeAsTheEpoch)
{
    const DaysAndMs split = SplitDateTime(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(split.days, 0);
    EXPECT_EQ(split.ms, 0);
}

} // namespace
} // namespace sarvendo
