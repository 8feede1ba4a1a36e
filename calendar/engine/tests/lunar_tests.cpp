// SPDX-License-Identifier: MIT
// The typed lunar API, checked against the dispatch members that hosts have always called.
#include "../src/tables.h"
#include "kalendo/dispatch.h"
#include "kalendo/lunar.h"
#include "kalendo/month_grid.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace kalendo {
namespace {

Date d(int y, unsigned m, unsigned day) {
    return Date::fromYmd(y, m, day);
}

std::string member(std::string_view name, std::vector<Value> args) {
    Engine engine;
    return kalendo::toText(callEngineMember(engine, name, args));
}

TEST(LunarDateTest, EveryDayConvertsBothWaysAsTheMembersDo) {
    Engine engine;
    LunarDate previous = LunarDate::fromSolar(d(1900, 12, 31));
    for (Date day = d(1901, 1, 1); day <= d(2090, 12, 31); day = day.plusDays(1)) {
        const LunarDate lunar = LunarDate::fromSolar(day);
        std::vector<Value> args{DateTime(day)};
        const std::string text = kalendo::toText(callEngineMember(engine, "阳历返回农", args));
        ASSERT_EQ(text, (lunar.leap ? "1" : "0") + text::zeroPadded(unsigned(lunar.year), 4) +
                            text::zeroPadded(unsigned(lunar.month), 2) +
                            text::zeroPadded(unsigned(lunar.day), 2))
            << toText(day);
        ASSERT_EQ(lunar.toSolar(), day) << toText(day);
        ASSERT_LT(previous, lunar) << toText(day); // calendar order, leap months included
        previous = lunar;
        if (!lunar.leap && lunar.year >= kFirstListYear) { // the member takes 1901 on
            std::vector<Value> back{lunar.year, lunar.month, lunar.day};
            ASSERT_EQ(kalendo::toText(callEngineMember(engine, "阴历转阳历", back)), toText(day));
        }
    }
}

TEST(LunarDateTest, EveryLeapMonthFollowsTheMonthItRepeats) {
    Engine engine;
    int leapMonths = 0;
    for (int y = 1901; y <= 2090; ++y) {
        const int m = engine.leapMonth(static_cast<Int16>(y));
        if (m == 0) {
            EXPECT_FALSE((LunarDate{y, 1, 1, true}.exists()));
            continue;
        }
        ++leapMonths;
        // 阴历转阳历 clamps day 30 to the ordinary month's last day.
        const Date ordinaryEnd = parseDate(member("阴历转阳历", {y, m, 30}));
        const LunarDate first{y, m, 1, true};
        EXPECT_EQ(first.toSolar(), ordinaryEnd.plusDays(1)) << y;
        EXPECT_EQ(LunarDate::fromSolar(ordinaryEnd.plusDays(1)), first) << y;
        const int length = engine.leapMonthDays(static_cast<Int16>(y));
        EXPECT_TRUE((LunarDate{y, m, length, true}.exists()));
        EXPECT_FALSE((LunarDate{y, m, length + 1, true}.exists()));
        EXPECT_FALSE((LunarDate{y, m % 12 + 1, 1, true}.exists()));
    }
    EXPECT_EQ(leapMonths, 70);
}

TEST(LunarDateTest, DatesOutsideTheTableOrTheCalendarAreDateErrors) {
    EXPECT_EQ(LunarDate::fromSolar(d(1900, 1, 31)), (LunarDate{1900, 1, 1, false}));
    EXPECT_EQ(LunarDate::fromSolar(d(2091, 2, 17)), (LunarDate{2090, 12, 29, false}));
    EXPECT_THROW(LunarDate::fromSolar(d(1900, 1, 30)), DateError);
    EXPECT_THROW(LunarDate::fromSolar(d(2091, 2, 18)), DateError);
    for (const LunarDate bad :
         {LunarDate{1899, 12, 1}, LunarDate{2091, 1, 1}, LunarDate{2026, 0, 1},
          LunarDate{2026, 13, 1}, LunarDate{2026, 1, 0}, LunarDate{2026, 1, 31},
          LunarDate{2026, 5, 1, true}}) {
        EXPECT_FALSE(bad.exists());
        EXPECT_THROW(bad.toSolar(), DateError);
        EXPECT_THROW(bad.dayName(), DateError);
    }
    try {
        LunarDate{2026, 2, 30}.toSolar(); // 2026's second month has 29 days
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), 5); // the number the members report for a date out of range
    }
}

TEST(LunarDateTest, Names) {
    const LunarDate newYear = LunarDate::fromSolar(d(2026, 2, 17));
    EXPECT_EQ(newYear.yearStemBranch() + newYear.zodiacAnimal() + newYear.monthName() +
                  newYear.dayName(),
              "丙午马正月初一");
    const LunarDate leap = LunarDate::fromSolar(d(2020, 5, 23));
    EXPECT_EQ(leap.monthName() + leap.dayName(), "闰四月初一");
    EXPECT_EQ((LunarDate{2008, 12, 21}.monthName() + LunarDate{2008, 12, 21}.dayName()),
              "十二月二十一");
    // The year's names agree with the members for every lunar year.
    for (int y = 1901; y <= 2090; ++y) {
        const LunarDate date{y, 1, 1};
        ASSERT_EQ(date.yearStemBranch(), member("天干地", {y}));
        ASSERT_EQ(date.zodiacAnimal(), member("返回属象", {y}));
    }
}

TEST(SolarTermsTest, TheYearsTermsAsTheMembersGiveThem) {
    for (int y : {1900, 2026, 2100}) {
        const auto terms = solarTerms(y);
        for (int n = 1; n <= 24; ++n) {
            const SolarTermDay& t = terms[std::size_t(n - 1)];
            EXPECT_EQ(t.term, n);
            EXPECT_EQ(toText(t.date), member("sTerm", {y, n}));
            EXPECT_EQ(t.date.month(), unsigned(n + 1) / 2);
            EXPECT_EQ(solarTermOn(t.date), t.name);
        }
    }
    EXPECT_EQ(solarTerms(2026)[2].name, "立春");
    EXPECT_EQ(solarTerms(2026)[2].date, d(2026, 2, 4));
    EXPECT_EQ(solarTermOn(d(2026, 2, 5)), "");
    EXPECT_THROW(solarTerms(1899), DateError);
    EXPECT_THROW(solarTerms(2101), DateError);
}

// The names as the tables hold them: each entry's names, split at blanks.
std::set<std::string> tableNames() {
    std::set<std::string> names{"复活节", "黑色星期五"};
    auto add = [&](const auto& table) {
        for (std::string_view entry : table) {
            entry.remove_prefix(4);
            while (!entry.empty()) {
                const std::size_t blank = entry.find(' ');
                if (blank != 0)
                    names.emplace(entry.substr(0, blank));
                entry = blank == std::string_view::npos ? "" : entry.substr(blank + 1);
            }
        }
    };
    add(tables::kSolarFestivals);
    add(tables::kLunarFestivals);
    add(tables::kWeekdayFestivals);
    return names;
}

TEST(FestivalNamesTest, OneNameEachAndNothingLostAgainstTheGridsFestivals) {
    const std::set<std::string> known = tableNames();
    Engine engine;
    for (Date day = d(1901, 1, 1); day <= d(2090, 12, 31); day = day.plusDays(1)) {
        const std::vector<std::string> names = festivalNames(day);
        std::string joined, gridJoined;
        for (const std::string& name : names) {
            ASSERT_TRUE(known.contains(name)) << toText(day) << ": " << name;
            joined += name;
        }
        for (const Festival& f : festivalsOn(engine, day, LunarDate::fromSolar(day)))
            gridJoined += f.names;
        std::erase(gridJoined, ' ');
        ASSERT_EQ(joined, gridJoined) << toText(day);
    }
}

TEST(FestivalNamesTest, EntriesSharingADayStayApart) {
    // The third Sunday of July holds two entries under one key.
    EXPECT_EQ(festivalNames(d(2026, 7, 19)), (std::vector<std::string>{"被奴役国家周", "被奴周"}));
    // The fourth Sunday of September that is also its last.
    EXPECT_EQ(festivalNames(d(2026, 9, 27)),
              (std::vector<std::string>{"世界旅游日", "国际聋人节", "世界儿童日", "世界海事日"}));
    EXPECT_EQ(festivalNames(d(2026, 2, 16)), (std::vector<std::string>{"总统日", "除夕"}));
    EXPECT_THROW(festivalNames(d(2091, 2, 18)), DateError);
}

TEST(StemBranchTest, DaysAndMonthsOfTheStemBranchCalendar) {
    EXPECT_EQ(dayStemBranch(d(1949, 10, 1)), "甲子");
    EXPECT_EQ(dayStemBranch(d(2000, 1, 1)), "戊午");
    EXPECT_EQ(dayStemBranch(d(1949, 9, 30)), "癸亥");
    // The Beijing Olympics opened on 戊子年庚申月庚辰日; 立秋 fell the day before.
    EXPECT_EQ(monthStemBranch(d(2008, 8, 8)) + dayStemBranch(d(2008, 8, 8)), "庚申庚辰");
    EXPECT_EQ(monthStemBranch(d(2008, 8, 6)), "己未");
    EXPECT_EQ(monthStemBranch(d(2026, 2, 17)), "庚寅"); // 丙午 years begin with 庚寅
    EXPECT_EQ(monthStemBranch(d(2026, 2, 3)), "己丑");  // the day before 立春
    EXPECT_EQ(monthStemBranch(d(2026, 1, 1)), "戊子");  // before 小寒: last year's 子月
    EXPECT_EQ(monthStemBranch(d(2025, 12, 31)), "戊子");
    EXPECT_THROW(monthStemBranch(d(2101, 1, 1)), DateError);
}

} // namespace
} // namespace kalendo
