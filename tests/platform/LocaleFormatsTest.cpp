// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LocaleFormats.h"

#include "core/DateTimeText.h"
#include "core/IntegerText.h"
#include "core/RealText.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace sarvendo {
namespace {

constexpr DateTime kJune15Afternoon = 35961.58968; // 15 June 1998, 14:09:08

TEST(LocaleFormats, UnitedStatesKeepsTheTwelveHourClock)
{
    const DateTimeFormats formats = LocaleDateTimeFormats(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(formats.longTimeFormat, "h:mm:ss AMPM");
    EXPECT_EQ(FormatDateTime("c", kJune15Afternoon, formats), "6/15/98 2:09:08 PM");
}

TEST(LocaleFormats, GermanDatesUseTheirOwnSeparatorAndTwentyFourHours)
{
    const DateTimeFormats formats = LocaleDateTimeFormats(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(formats.dateSeparator, '.');
    EXPECT_EQ(formats.longTimeFormat.find("AMPM"), std::string::npos);
    const std::string stamp = FormatDateTime("c", kJune15Afternoon, formats);
    EXPECT_NE(stamp.find("15.06."), std::string::npos) << stamp;
    EXPECT_NE(stamp.find("14:09:08"), std::string::npos) << stamp;
}

TEST(LocaleFormats, EveryLongTimeFormatStartsWithTheHours)
{
    for (const char* name : {"en_US", "en_GB", "de_DE", "fr_FR", "ja_JP", "ar_EG", "C"}) {
        const DateTimeFormats formats = LocaleDateTimeFormats(QLocale(QString::fromLatin1(name)));
        EXPECT_EQ(formats.longTimeFormat.substr(0, 1), "h") << name;
        EXPECT_NE(formats.longTimeFormat.find(":mm:ss"), std::string::npos) << name;
    }
}

} // namespace
} // namespace sarvendo
