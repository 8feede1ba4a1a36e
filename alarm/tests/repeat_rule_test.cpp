// SPDX-License-Identifier: MIT
#include "kalendo/lunar.h"
#include "tikko/alarm/repeat_rule.h"

#include <gtest/gtest.h>

namespace tikko {
namespace {

using kalendo::Date;
using kalendo::DateTime;
using kalendo::LunarDate;

Date day(int y, unsigned m, unsigned d) {
    return Date::fromYmd(y, m, d);
}

RepeatRule rule(RepeatRule::Kind kind, int month = 0, int dayOf = 0, bool leap = false) {
    RepeatRule r;
    r.kind = kind;
    r.month = static_cast<std::uint8_t>(month);
    r.day = static_cast<std::uint8_t>(dayOf);
    r.leapMonth = leap;
    r.timeOfDay = 7 * 3600 + 30 * 60;
    return r;
}

TEST(RepeatRule, GregorianRulesKeepTheirDayAtTheEdgesOfMonthsAndYears) {
    const RepeatRule day31 = rule(RepeatRule::Monthly, 0, 31);
    EXPECT_EQ(nextOccurrenceDay(day31, day(2026, 2, 1)), day(2026, 2, 28));
    EXPECT_EQ(nextOccurrenceDay(day31, day(2028, 2, 1)), day(2028, 2, 29));
    EXPECT_EQ(nextOccurrenceDay(day31, day(2026, 4, 1)), day(2026, 4, 30));
    EXPECT_EQ(nextOccurrenceDay(day31, day(2026, 12, 31)), day(2026, 12, 31));
    EXPECT_EQ(nextOccurrenceDay(day31, day(2027, 1, 1)), day(2027, 1, 31));
    const RepeatRule leapDay = rule(RepeatRule::Yearly, 2, 29);
    EXPECT_EQ(nextOccurrenceDay(leapDay, day(2026, 3, 1)), day(2027, 2, 28));
    EXPECT_EQ(nextOccurrenceDay(leapDay, day(2027, 3, 1)), day(2028, 2, 29));
    RepeatRule weekly = rule(RepeatRule::Weekly);
    weekly.weekdays = 0b0101010; // Monday, Wednesday, Friday
    EXPECT_EQ(nextOccurrenceDay(weekly, day(2026, 12, 12)), day(2026, 12, 14)); // a Saturday
    EXPECT_EQ(nextOccurrenceDay(rule(RepeatRule::Workdays), day(2026, 12, 13)), day(2026, 12, 14));
}

TEST(RepeatRule, TheNextFiringComesAfterThePresentMinuteLessTheAdvance) {
    RepeatRule daily = rule(RepeatRule::Daily);
    // Fired at 07:30 (any second of that minute): tomorrow, not again today.
    EXPECT_EQ(nextFiring(daily, {day(2026, 12, 9), 7 * 3600 + 30 * 60 + 40}),
              (DateTime{day(2026, 12, 10), 7 * 3600 + 30 * 60}));
    EXPECT_EQ(nextFiring(daily, {day(2026, 12, 9), 7 * 3600}),
              (DateTime{day(2026, 12, 9), 7 * 3600 + 30 * 60}));
    // Ten minutes early: 07:20 fires for 07:30, and at 00:05 the next one is the day's own.
    daily.advanceMinutes = 10;
    EXPECT_EQ(nextFiring(daily, {day(2026, 12, 9), 7 * 3600 + 20 * 60}),
              (DateTime{day(2026, 12, 10), 7 * 3600 + 20 * 60}));
    daily.timeOfDay = 5 * 60;
    EXPECT_EQ(nextFiring(daily, {day(2026, 12, 9), 0}),
              (DateTime{day(2026, 12, 9), 23 * 3600 + 55 * 60}));
    EXPECT_FALSE(nextFiring(rule(RepeatRule::Once), {day(2026, 12, 9), 0}));
}

TEST(RepeatRule, LunarDayThirtyIsTheLastDayOfAShortMonthAndLeapMonthsCount) {
    const RepeatRule thirtieth = rule(RepeatRule::LunarMonthly, 0, 30);
    // Walk two years of lunar months: one firing in each, on its last day.
    std::optional<Date> at = nextOccurrenceDay(thirtieth, day(2025, 1, 29));
    for (int i = 0; i < 26 && at; ++i, at = nextOccurrenceDay(thirtieth, at->plusDays(1))) {
        const LunarDate lunar = LunarDate::fromSolar(*at);
        EXPECT_GE(lunar.day, 29);
        EXPECT_FALSE((LunarDate{lunar.year, lunar.month, lunar.day + 1, lunar.leap}.exists()))
            << lunar.year << "-" << lunar.month << (lunar.leap ? "闰" : "");
    }
    // 2025 has 闰六月: 初一 comes in it too.
    const RepeatRule first = rule(RepeatRule::LunarMonthly, 0, 1);
    const Date leapSix = LunarDate{2025, 6, 1, true}.toSolar();
    EXPECT_EQ(nextOccurrenceDay(first, leapSix.plusDays(-1)), leapSix);
}

TEST(RepeatRule, LunarYearlyFiresOncePerLunarYearInTheRightMonthFrom1901To2090) {
    // Every month and a day that some months lack, set for an ordinary and for a leap month.
    for (int month = 1; month <= 12; ++month) {
        for (const bool leap : {false, true}) {
            const RepeatRule yearly = rule(RepeatRule::LunarYearly, month, 30, leap);
            Date from = LunarDate{1901, 1, 1, false}.toSolar();
            int expectedYear = 1901;
            for (auto at = nextOccurrenceDay(yearly, from); at;
                 at = nextOccurrenceDay(yearly, at->plusDays(1)), ++expectedYear) {
                const LunarDate lunar = LunarDate::fromSolar(*at);
                ASSERT_EQ(lunar.year, expectedYear) << month << (leap ? " leap" : "");
                const bool hasLeap = LunarDate{lunar.year, month, 1, true}.exists();
                EXPECT_EQ(lunar.month, month);
                EXPECT_EQ(lunar.leap, leap && hasLeap) << lunar.year << "-" << month;
                // Day 30, or the last day of a month of 29.
                EXPECT_FALSE((LunarDate{lunar.year, month, lunar.day + 1, lunar.leap}.exists()))
                    << lunar.year;
            }
            // Up to the end of the table, then nothing: no occurrence is made up.
            EXPECT_EQ(expectedYear, 2091) << month << (leap ? " leap" : "");
        }
    }
}

TEST(RepeatRule, SolarTermsFollowTheEngineAndEndWithItsRange) {
    const RepeatRule terms = rule(RepeatRule::SolarTerms);
    const auto year = kalendo::solarTerms(2026);
    EXPECT_EQ(nextOccurrenceDay(terms, day(2026, 1, 1)), year[0].date);
    EXPECT_EQ(nextOccurrenceDay(terms, year[5].date.plusDays(1)), year[6].date);
    EXPECT_EQ(nextOccurrenceDay(terms, day(2026, 12, 31)), kalendo::solarTerms(2027)[0].date);
    EXPECT_FALSE(nextOccurrenceDay(terms, day(2101, 1, 1)));
}

TEST(RepeatRule, TheWordsAndTheAsciiFormsReadBackAsTheSameRule) {
    RepeatRule weekly = rule(RepeatRule::Weekly);
    weekly.weekdays = 0b1000011; // Sunday, Monday, Saturday
    RepeatRule leap = rule(RepeatRule::LunarYearly, 4, 8, true);
    leap.advanceMinutes = 15;
    leap.timeOfDay = 9 * 3600 + 5;
    const RepeatRule rules[] = {rule(RepeatRule::Daily),
                                rule(RepeatRule::Workdays),
                                weekly,
                                rule(RepeatRule::Monthly, 0, 31),
                                rule(RepeatRule::Yearly, 2, 29),
                                rule(RepeatRule::LunarMonthly, 0, 30),
                                rule(RepeatRule::LunarYearly, 8, 15),
                                leap,
                                rule(RepeatRule::SolarTerms)};
    for (const RepeatRule& r : rules) {
        EXPECT_EQ(parseRuleText(ruleText(r)), r) << ruleText(r);
        RepeatRule untimed = r;
        untimed.timeOfDay = 0;
        untimed.advanceMinutes = 0;
        EXPECT_EQ(parseRuleName(asciiRule(r)), untimed) << asciiRule(r);
        EXPECT_EQ(parseRuleName(ruleName(r)), untimed) << ruleName(r);
    }
    EXPECT_EQ(ruleText(weekly), "每周一六日 07:30");
    EXPECT_EQ(ruleText(leap), "农历每年闰四月初八 09:00:05 提前15分钟");
    EXPECT_EQ(asciiRule(leap), "lunar-yearly:leap04-08");
    EXPECT_EQ(parseRuleName("农历每年腊月廿三")->month, 12);
    for (const char* bad : {"每月32日", "每年2月30日", "农历每年十三月初一", "每周", "weekly:",
                            "monthly:0", "yearly:2-29x", "每天", "工作日 25:00", "每天 07:30 提前"})
        EXPECT_FALSE(parseRuleText(bad)) << bad;
}

} // namespace
} // namespace tikko
