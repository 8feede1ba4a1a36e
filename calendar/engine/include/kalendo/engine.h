// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/date.h"
#include "kalendo/int16.h"
#include "kalendo/lunar.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kalendo {

// The Gregorian years the control's year lists offer, and the least year 阴历转阳历 takes:
// the lunar year table covers 1900-2090, but January 1900 lies before its first day.
constexpr int kFirstListYear = 1901;
constexpr int kLastListYear = 2090;

// The lunar calendar engine: every calendar computation of the control, over constant
// tables. Members that fail throw an EngineError carrying the classic error number. These
// are the members by their dispatch names; C++ code is better served by kalendo/lunar.h.
// Each method's comment gives the name it has on the control's dispatch interface.
class Engine {
public:
    // SetValue: hosts call it before the other members; the tables are constant data, so
    // there is nothing left to fill.
    void setValue() const noexcept {}

    // lMonthDays: 29 or 30, the ordinary month m of lunar year y (years before 1900 read 1900).
    Int16 lunarMonthDays(Int16 y, Int16 m) const;
    // 闰哪月: the leap month 1-12 of lunar year y, 0 for none.
    Int16 leapMonth(Int16 y) const;
    // 农历y年闰月的天数: 0, 29 or 30.
    Int16 leapMonthDays(Int16 y) const;
    // 农历y年的总天数: the days of lunar year y.
    Int16 lunarYearDays(Int16 y) const;

    // 阳历返回农: the nine-character lunar date text, leap flag + YYYY + MM + DD.
    std::string solarToLunar(DateTime solar) const;
    LunarDate solarToLunarDate(Date solar) const; // the same, as a value
    // 阴历转阳历: the Gregorian date text of an ordinary lunar month's day; normalises its
    // arguments in place first (a year below 1901 becomes 1901, a month above 12 becomes 1
    // and below 1 becomes 12, the day is kept within the month's length).
    std::string lunarToSolar(Int16& lian, Int16& yue, Int16& tian) const;
    Date lunarToSolarDate(Int16& lian, Int16& yue, Int16& tian) const; // the same, as a value

    // 天干地: stem and branch of a year, e.g. 戊子.
    std::string yearStemBranch(Int16 year) const;
    // 返回属象: the zodiac animal of a year, e.g. 鼠.
    std::string zodiacAnimal(Int16 year) const;
    // 月份用农历表示: 一月 ... 十二月.
    std::string lunarMonthName(Int16 month) const;
    // 日用农历表示: 初一 ... 三十.
    std::string lunarDayName(Int16 day) const;

    // sTerm: the day of solar term n (1 = 小寒 ... 24 = 冬至) of a Gregorian year.
    Date solarTerm(int year, Int16 n) const;
    // 阳历返回节气: the name of the term falling on a day, or " ".
    std::string solarTermOn(DateTime date) const;

    // 阳历节日, 阴历节日, 星期节日: the names stored under a four-character key, or "".
    std::string solarFestival(std::string_view key) const;
    std::string lunarFestival(std::string_view key) const;
    std::string weekdayFestival(std::string_view key) const;
    // 第几个星期几: month + grid row + weekday of a date, e.g. "0520".
    std::string weekdayKey(DateTime date) const;

    // 复活节: Easter Sunday of a Gregorian year as text, e.g. "2008-3-23"; years before the
    // Gregorian computus (1583) are an invalid call.
    std::string easter(Int16 year) const;
    Date easterDate(int year) const; // the same, as a value
    // 星座: the star sign of a date, e.g. 金牛座.
    std::string starSign(DateTime date) const;

    // The first and last days that the lunar year table covers.
    static constexpr Date kFirstDay = Date::fromYmd(1900, 1, 31);
    static constexpr Date kLastDay = Date::fromYmd(2091, 2, 17);

private:
    static std::uint32_t yearEntry(Int16 y);
};

} // namespace kalendo
