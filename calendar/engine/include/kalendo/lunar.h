// SPDX-License-Identifier: MIT
#pragma once

// The typed face of the engine: lunar dates as values, and the facts of a day as lists.
// Every function here is plain C++ and thread-safe (the tables are constant). Failures throw
// kalendo::DateError, an InvalidCallError (error number 5), as each function says.

#include "kalendo/date.h"
#include "kalendo/errors.h"

#include <array>
#include <compare>
#include <string>
#include <string_view>
#include <vector>

namespace kalendo {

// A date the lunar table does not cover (before 1900-1-31 or after 2091-2-17), a lunar date
// that does not exist, or a year outside a table.
class DateError : public InvalidCallError {
public:
    using InvalidCallError::InvalidCallError;
};

// A day of the Chinese lunar calendar: lunar year 1900-2090, month 1-12 (for a leap month:
// the month it repeats, with leap set), day 1-30. The lunar year is numbered by the
// Gregorian year in which it begins.
struct LunarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool leap = false;

    // The lunar date of a Gregorian day. Throws DateError outside 1900-1-31 ... 2091-2-17.
    static LunarDate fromSolar(Date solar);
    // The Gregorian day of this lunar date, leap months included. Throws DateError when the
    // date does not exist: a year outside 1900-2090, a month outside 1-12, a leap month the
    // year does not have, a day beyond the month's 29 or 30.
    Date toSolar() const;
    // Whether toSolar() succeeds.
    bool exists() const noexcept;

    // The names, for any date that exists (DateError otherwise):
    std::string yearStemBranch() const; // 干支 of the lunar year, e.g. 丙午
    std::string zodiacAnimal() const;   // 生肖, e.g. 马
    std::string monthName() const;      // 正月, 二月 ... 十二月; 闰四月 for a leap month
    std::string dayName() const;        // 初一 ... 二十一 ... 三十

    friend constexpr bool operator==(const LunarDate&, const LunarDate&) = default;
    // Calendar order: a leap month follows the ordinary month it repeats.
    friend constexpr std::strong_ordering operator<=>(const LunarDate& a, const LunarDate& b) {
        if (auto c = a.year <=> b.year; c != 0)
            return c;
        if (auto c = a.month <=> b.month; c != 0)
            return c;
        if (auto c = a.leap <=> b.leap; c != 0)
            return c;
        return a.day <=> b.day;
    }
};

// One of the 24 solar terms of a Gregorian year.
struct SolarTermDay {
    int term = 0;          // 1 = 小寒, 2 = 大寒, ... 24 = 冬至
    std::string_view name; // 小寒 ... 冬至
    Date date;
    friend constexpr bool operator==(const SolarTermDay&, const SolarTermDay&) = default;
};

// The first and last Gregorian years whose solar terms are known to the day (from the Sun's
// computed positions).
constexpr int kFirstSolarTermYear = 1900;
constexpr int kLastSolarTermYear = 2100;

// The 24 solar terms of Gregorian year `year`, in order. Throws DateError outside
// kFirstSolarTermYear ... kLastSolarTermYear.
std::array<SolarTermDay, 24> solarTerms(int year);
// The name of the solar term on a day, or "" on most days. Throws DateError outside those years.
std::string_view solarTermOn(Date date);

// The festivals of a day, one name each, in the order the month grid lays them: Gregorian,
// weekday, Easter, Friday the 13th, lunar. Throws DateError outside the lunar table.
std::vector<std::string> festivalNames(Date date);

// 干支 of a day, e.g. 甲子 on 1949-10-1. Any day of years 1-9999.
std::string dayStemBranch(Date date);
// 干支 of the month a day lies in, in the stem-branch calendar that almanacs print beside
// the lunar date: its months begin at the twelve 节 solar terms (立春 begins 寅月, 惊蛰
// 卯月, ... 小寒 丑月) and their stems follow the year that begins at 立春. Throws DateError
// outside kFirstSolarTermYear ... kLastSolarTermYear.
std::string monthStemBranch(Date date);

} // namespace kalendo
