// SPDX-License-Identifier: MIT
#include "kalendo/date.h"
#include "kalendo/errors.h"

#include <gtest/gtest.h>

namespace kalendo {
namespace {

TEST(DateTest, SerialDaysCountFrom1970) {
    EXPECT_EQ(Date::fromYmd(1970, 1, 1).serial(), 0);
    EXPECT_EQ(Date::fromYmd(2000, 2, 5).serial() - Date::fromYmd(1900, 1, 31).serial(), 36529);
    EXPECT_EQ(Date::fromYmd(2008, 5, 1).weekday(), 4u); // a Thursday
    EXPECT_EQ(Date::fromYmd(2011, 5, 1).weekday(), 0u); // a Sunday
}

TEST(DateTest, TextHasNoLeadingZerosAndReadsBack) {
    EXPECT_EQ(toText(Date::fromYmd(2008, 4, 23)), "2008-4-23");
    EXPECT_EQ(toText(Date::fromYmd(1, 1, 1)), "1-1-1");
    for (const char* text : {"2008-4-23", "1900-1-31", "9999-12-31", "2000-2-29"})
        EXPECT_EQ(toText(parseDate(text)), text);
    EXPECT_EQ(parseDate("2008-04-03"), Date::fromYmd(2008, 4, 3));
    EXPECT_EQ(parseDate("2008/4/3"), Date::fromYmd(2008, 4, 3));
    EXPECT_EQ(parseDateTime("2008-4-3 13:05").seconds, 13 * 3600 + 5 * 60);
    EXPECT_EQ(parseDateTime(" 2008-4-3 0:00:07 ").seconds, 7);
}

TEST(DateTest, InvalidTextsAreATypeMismatch) {
    for (const char* text :
         {"", "2008", "2008-4", "2008-13-1", "2008-2-30", "2009-2-29", "2008-0-1", "2008-1-0",
          "0-1-1", "10000-1-1", "2008-4-23x", "a-b-c", "2008-4-23 24:00", "2008-4-23 12:60",
          "-1-1-1", "2008--4-1", "2008-4-23 12"}) {
        EXPECT_THROW(parseDateTime(text), TypeMismatchError) << text;
    }
    EXPECT_THROW(parseDate("2008-4-23 12:00"), TypeMismatchError);
}

TEST(DateTest, RolledDatesCarryIntoOtherMonthsAndYears) {
    EXPECT_EQ(Date::rolled(2008, 13, 1), Date::fromYmd(2009, 1, 1));
    EXPECT_EQ(Date::rolled(2008, 0, 1), Date::fromYmd(2007, 12, 1));
    EXPECT_EQ(Date::rolled(2008, 3, 0), Date::fromYmd(2008, 2, 29));
    EXPECT_EQ(Date::rolled(2009, 5, 1 - 100), Date::fromYmd(2009, 1, 21));
    EXPECT_EQ(Date::rolled(2008, -23, 1), Date::fromYmd(2006, 1, 1));
    EXPECT_THROW(Date::rolled(9999, 12, 32), InvalidCallError);
    EXPECT_THROW(Date::rolled(1, 1, 0), InvalidCallError);
    EXPECT_THROW(Date::rolled(2'000'000'000, 2'000'000'000, 2'000'000'000), InvalidCallError);
    EXPECT_THROW(Date::rolled(-2'000'000'000, -2'000'000'000, -2'000'000'000), InvalidCallError);
}

} // namespace
} // namespace kalendo
