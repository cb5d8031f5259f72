// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DateTimeText.h"
#include "core/IntegerText.h"
#include "core/RealText.h"
#include "core/Rounding.h"

#include "fakes/CommaLocale.h"

#include <gtest/gtest.h>
#include <limits>

namespace sarvendo {
namespace {

TEST(RealToText, TheFixedScientificForm)
{
    EXPECT_EQ(RealToText(0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(RealToText(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(RealToText(-0.1), "-1.00000000000000E-0001");
    EXPECT_EQ(RealToText(28.26), " 2.82600000000000E+0001");
    EXPECT_EQ(RealToText(1e300), " 1.00000000000000E+0300");
    EXPECT_EQ(RealToText(-0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(RealToText(1.5).size(), 23U);
}

TEST(RealToText, NonFiniteValuesAreWrittenAsZero)
{
    EXPECT_EQ(RealToText(std::numeric_limits<double>::quiet_NaN()), " 0.00000000000000E+0000");
    EXPECT_EQ(RealToText(std::numeric_limits<double>::infinity()), " 0.00000000000000E+0000");
}

TEST(ParseRealPrefix, PlainAndScientificForms)
{
    EXPECT_DOUBLE_EQ(ParseRealPrefix(" 1.50000000000000E+0000"), 1.5);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("-1.00000000000000E-0001"), -0.1);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("  2.25"), 2.25);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("+3"), 3.0);
    EXPECT_DOUBLE_EQ(ParseRealPrefix(".5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("0"), 0.0);
}

TEST(ParseRealPrefix, GarbageKeepsTheNumberBeforeItOrGivesTheFallback)
{
    EXPECT_DOUBLE_EQ(ParseRealPrefix("12.5x"), 12.5);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("4E"), 4.0);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("abc", 7.0), 7.0);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("", 7.0), 7.0);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("nan", 7.0), 7.0);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("1E99999", 7.0), 7.0);
}

// On a German desktop Qt sets LC_NUMERIC to a locale whose decimal point is a comma;
// the file's numbers must read and write exactly as in the C locale.
TEST(RealTextUnderACommaLocale, WritingAndReadingIgnoreTheLocale)
{
    fakes::CommaLocale comma;
    if (!comma.Active()) {
        GTEST_SKIP() << "no locale with a decimal comma could be made";
    }
    const std::pair<double, const char*> cases[] = {
        {1.5, " 1.50000000000000E+0000"},
        {-0.1, "-1.00000000000000E-0001"},
        {28.26, " 2.82600000000000E+0001"},
        {0.0, " 0.00000000000000E+0000"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(RealToText(value), text);
        EXPECT_DOUBLE_EQ(ParseRealPrefix(text), value) << text;
    }
    EXPECT_DOUBLE_EQ(ParseRealPrefix("2.25"), 2.25);
}

TEST(ParseRealPrefix, ACommaInThePointsPlaceRepairsFilesWrittenUnderACommaLocale)
{
    EXPECT_DOUBLE_EQ(ParseRealPrefix(" 1,50000000000000E+0000"), 1.5);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("-1,00000000000000E-0001"), -0.1);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("0,25"), 0.25);
    EXPECT_DOUBLE_EQ(ParseRealPrefix(",5"), 0.5);
    // Only one separator belongs to a number; what follows it is trailing text.
    EXPECT_DOUBLE_EQ(ParseRealPrefix("1,5,7"), 1.5);
    EXPECT_DOUBLE_EQ(ParseRealPrefix("1.5,7"), 1.5);
    EXPECT_DOUBLE_EQ(ParseRealPrefix(",", 7.0), 7.0);
}

TEST(ParseIntegerPrefix, ColourTexts)
{
    EXPECT_EQ(ParseIntegerPrefix("$FF"), 255);
    EXPECT_EQ(ParseIntegerPrefix("12x"), 12);
    EXPECT_EQ(ParseIntegerPrefix("  -$10"), -16);
    EXPECT_EQ(ParseIntegerPrefix("+8553090"), 8553090);
    EXPECT_EQ(ParseIntegerPrefix("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseIntegerPrefix("x"), 0);
    EXPECT_EQ(ParseIntegerPrefix("12 "), 12);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(2.5L), 2);
    EXPECT_EQ(RoundHalfEven(3.5L), 4);
    EXPECT_EQ(RoundHalfEven(-2.5L), -2);
    EXPECT_EQ(RoundHalfEven(511.5L), 512);
    EXPECT_EQ(RoundHalfEven(2.4999L), 2);
    EXPECT_EQ(RoundHalfEven(-2.6L), -3);
}

TEST(Rounding, TimerPeriodFromPollsPerSecond)
{
    EXPECT_EQ(TimerPeriodMs(3), 333);
    EXPECT_EQ(TimerPeriodMs(7), 143);
    EXPECT_EQ(TimerPeriodMs(16), 62);
    EXPECT_EQ(TimerPeriodMs(18), 56);
    EXPECT_EQ(TimerPeriodMs(1), 1000);
    // A period rounded down to 0 would stop the timer for good, with no menu item to
    // update the lamps by hand: any positive rate polls at least every millisecond.
    EXPECT_EQ(TimerPeriodMs(2000), 1);
    EXPECT_EQ(TimerPeriodMs(2001), 1);
    EXPECT_EQ(TimerPeriodMs(std::numeric_limits<std::int32_t>::max()), 1);
    EXPECT_EQ(TimerPeriodMs(0), 0);
    EXPECT_EQ(TimerPeriodMs(-3), 0);
}

class FormatDateTimeTest : public ::testing::Test
{
protected:
    DateTimeFormats us;
};

TEST_F(FormatDateTimeTest, TheShortDateAndLongTimeOfTheCFormat)
{
    EXPECT_EQ(FormatDateTime("c", 35961.58968, us), "6/15/98 2:09:08 PM");
    EXPECT_EQ(FormatDateTime("", 35961.58968, us), "6/15/98 2:09:08 PM");
    // Midnight leaves the time out.
    EXPECT_EQ(FormatDateTime("c", 35961.0, us), "6/15/98");
}

TEST_F(FormatDateTimeTest, QuotedLiteralsAndMinutesAfterHours)
{
    const DateTime oneHourOneMinute = 61.0 / 1440.0;
    EXPECT_EQ(FormatDateTime("\"Connect time: \"h\":\"mm\":\"ss", oneHourOneMinute, us), "Connect time: 1:01:00");
    EXPECT_EQ(FormatDateTime("\"Connect time: \"h\":\"mm\":\"ss\"    \"", oneHourOneMinute, us),
              "Connect time: 1:01:00    ");
    EXPECT_EQ(FormatDateTime("h mm", oneHourOneMinute, us), "1 01");
    // Without an hour before it "m" is the month.
    EXPECT_EQ(FormatDateTime("m/d/yyyy", 35961.5, us), "6/15/1998");
}

TEST_F(FormatDateTimeTest, HoursWrapAtADayAndSeparatorsComeFromTheLocale)
{
    DateTimeFormats german;
    german.dateSeparator = '.';
    german.timeSeparator = '.';
    german.shortDateFormat = "dd/mm/yyyy";
    german.longTimeFormat = "hh:nn:ss";
    EXPECT_EQ(FormatDateTime("h", 1.5, us), "12");
    EXPECT_EQ(FormatDateTime("h", 25.0 / 24.0, german), "1");
    EXPECT_EQ(FormatDateTime("c", 35961.58968, german), "15.06.1998 14.09.08");
}

TEST_F(FormatDateTimeTest, AmPmVariantsAndNames)
{
    EXPECT_EQ(FormatDateTime("hh:nn am/pm", 0.75, us), "06:00 pm");
    EXPECT_EQ(FormatDateTime("h A/P", 0.0, us), "12 A");
    EXPECT_EQ(FormatDateTime("dddd mmmm ddd mmm zzz", 35961.0, us), "Monday June Mon Jun 000");
}

TEST_F(FormatDateTimeTest, SelfReferentialLocaleFormatsDoNotRecurseForever)
{
    DateTimeFormats odd;
    odd.shortDateFormat = "c";
    EXPECT_NO_FATAL_FAILURE((void)FormatDateTime("c", 35961.5, odd));
}

} // namespace
} // namespace sarvendo
