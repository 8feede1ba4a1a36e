// SPDX-License-Identifier: MIT
#include "kalendo/engine.h"

#include "kalendo/errors.h"
#include "kalendo/text.h"
#include "lunar_years.h"
#include "tables.h"

#include <cmath>
#include <limits>

namespace kalendo {

namespace {

#include "solar_term_days.inc"

using lunar_years::kNewYears;
using tables::kFirstLunarYear;
using tables::kLunarYears;
using text::trimBlanks;

static_assert(kNewYears.front() == Engine::kFirstDay.serial() &&
                  kNewYears.back() - 1 == Engine::kLastDay.serial(),
              "the engine's range is the year table's");

template <class Array> const auto& at(const Array& array, long long index) {
    if (index < 0 || index >= static_cast<long long>(array.size()))
        throw SubscriptError();
    return array[static_cast<std::size_t>(index)];
}

// Joins the names of every entry whose key is `key`, in table order.
template <std::size_t N>
std::string lookUp(const std::array<std::string_view, N>& table, std::string_view key) {
    std::string result;
    tables::forEachEntry(table, key, [&](std::string_view names) {
        result.assign(trimBlanks(result));
        result += names;
    });
    return result;
}

std::string twoDigits(unsigned n) {
    return text::zeroPadded(n, 2);
}

} // namespace

std::uint32_t Engine::yearEntry(Int16 y) {
    return at(kLunarYears, y - kFirstLunarYear);
}

Int16 Engine::lunarMonthDays(Int16 y, Int16 m) const {
    std::uint32_t const entry = yearEntry(y < kFirstLunarYear ? Int16(kFirstLunarYear) : y);
    // The mask is the integer part of 65536 / 2^m, held in a 32-bit integer.
    if (m <= -15)
        throw OverflowError();
    const long long mask = m >= 17 ? 0 : 1LL << (16 - m);
    return (entry & mask) != 0 ? 30 : 29;
}

Int16 Engine::leapMonth(Int16 y) const {
    if (y < kFirstLunarYear)
        return 0;
    return static_cast<Int16>(yearEntry(y) & 0xF);
}

Int16 Engine::leapMonthDays(Int16 y) const {
    if (leapMonth(y) == 0)
        return 0;
    return (yearEntry(y) & 0x10000) != 0 ? 30 : 29;
}

Int16 Engine::lunarYearDays(Int16 y) const {
    Int16 days = 0;
    for (Int16 m = 1; m <= 12; ++m)
        days = add16(days, lunarMonthDays(y, m));
    return add16(days, leapMonthDays(y));
}

LunarDate Engine::solarToLunarDate(Date solar) const {
    if (solar < kFirstDay)
        throw InvalidCallError("date before lunar 1900-1-1");
    if (solar > kLastDay)
        throw SubscriptError(); // the year walk runs past the last lunar year
    return lunar_years::lunarDateOf(solar);
}

std::string Engine::solarToLunar(DateTime solar) const {
    // The day offset from the anchor is rounded to the nearest whole day, halves to even,
    // so a time of day from noon on can name the next day.
    const Date secondAnchor = Date::fromYmd(2000, 2, 5);
    const bool firstAnchor =
        solar.date < secondAnchor || (solar.date == secondAnchor && solar.seconds == 0);
    std::int32_t const offset =
        solar.date.serial() - (firstAnchor ? kFirstDay : secondAnchor).serial();
    Date day = solar.date;
    if (solar.seconds > 43200 || (solar.seconds == 43200 && offset % 2 != 0))
        day = day.plusDays(1);

    const LunarDate lunar = solarToLunarDate(day);
    // Written in place: this is the grid's hot path, and a formatted print costs more than
    // the conversion itself.
    std::string text(9, '0');
    text[0] = lunar.leap ? '1' : '0';
    text::putDigits(&text[1], static_cast<unsigned>(lunar.year), 4);
    text::putDigits(&text[5], static_cast<unsigned>(lunar.month), 2);
    text::putDigits(&text[7], static_cast<unsigned>(lunar.day), 2);
    return text;
}

Date Engine::lunarToSolarDate(Int16& lian, Int16& yue, Int16& tian) const {
    if (lian < kFirstListYear)
        lian = kFirstListYear;
    if (yue > 12)
        yue = 1;
    if (yue < 1)
        yue = 12;
    if (tian < 1)
        tian = 1;
    const Int16 length = lunarMonthDays(lian, yue); // fails beyond the table's last year
    if (tian > length)
        tian = length;

    // The ordinary month, never its leap repetition.
    return Date(*lunar_years::monthStart(lian, yue, false) + tian - 1);
}

std::string Engine::lunarToSolar(Int16& lian, Int16& yue, Int16& tian) const {
    return toText(lunarToSolarDate(lian, yue, tian));
}

std::string Engine::yearStemBranch(Int16 year) const {
    const Int16 stem = add16(sub16(year, 1900), 6) % 10;
    std::string result(at(tables::kStems, stem));
    const Int16 branch = add16(sub16(year, 1900), 12) % 12;
    result += at(tables::kBranches, branch);
    return result;
}

std::string Engine::zodiacAnimal(Int16 year) const {
    return std::string(at(tables::kAnimals, sub16(year, 1900) % 12));
}

std::string Engine::lunarMonthName(Int16 month) const {
    const auto& numerals = tables::kNumerals;
    std::string name;
    if (month < 10)
        name = at(numerals, sub16(month, 1));
    else if (month == 10)
        name = "十";
    else
        name = std::string("十").append(at(numerals, month % 10 - 1));
    return name + "月";
}

std::string Engine::lunarDayName(Int16 day) const {
    const auto& numerals = tables::kNumerals;
    if (day <= 10)
        return std::string("初").append(at(numerals, sub16(day, 1)));
    if (day <= 19)
        return std::string("十").append(at(numerals, day % 10 - 1));
    if (day == 20)
        return "二十";
    if (day <= 29)
        return std::string("二十").append(at(numerals, day % 10 - 1));
    return "三十";
}

Date Engine::solarTerm(int year, Int16 n) const {
    const std::int32_t minutes = at(tables::kTermMinutes, sub16(n, 1));
    if (year >= kSolarTermFirstYear && year <= kSolarTermLastYear)
        return Date::fromYmd(year, static_cast<unsigned>((n + 1) / 2),
                             kSolarTermDays[year - kSolarTermFirstYear][n - 1]);

    // Outside the astronomical table: the mean-year reckoning from 1900-1-6 2:05.
    const double s = (static_cast<double>(year) - 1900) * 31556925.9747 + minutes * 60.0;
    const double t = s - 2208549300.0; // seconds after 1970-01-01 00:00
    // Added in two halves, each of which must fit the date library's 32-bit seconds.
    auto toSeconds = [](double v) {
        double const r = std::nearbyint(v);
        if (!(r >= std::numeric_limits<std::int32_t>::min() &&
              r <= std::numeric_limits<std::int32_t>::max()))
            throw OverflowError();
        return static_cast<long long>(r);
    };
    const long long first = toSeconds(t / 2);
    const long long second = toSeconds(t - t / 2);
    const long long instant = first + second;
    const long long day = instant >= 0 ? instant / 86400 : -((-instant + 86399) / 86400);
    return Date::rolled(1970, 1, static_cast<int>(day) + 1);
}

std::string Engine::solarTermOn(DateTime date) const {
    const int y = date.date.year();
    const Int16 m = static_cast<Int16>(date.date.month());
    const bool midnight = date.seconds == 0;
    if (solarTerm(y, static_cast<Int16>(2 * m - 1)) == date.date && midnight)
        return std::string(tables::kTermNames[static_cast<std::size_t>(2 * m - 2)]);
    if (solarTerm(y, static_cast<Int16>(2 * m)) == date.date && midnight)
        return std::string(tables::kTermNames[static_cast<std::size_t>(2 * m - 1)]);
    return " ";
}

std::string Engine::solarFestival(std::string_view key) const {
    return lookUp(tables::kSolarFestivals, key);
}
std::string Engine::lunarFestival(std::string_view key) const {
    return lookUp(tables::kLunarFestivals, key);
}
std::string Engine::weekdayFestival(std::string_view key) const {
    return lookUp(tables::kWeekdayFestivals, key);
}

std::string Engine::weekdayKey(DateTime date) const {
    const Date d = date.date;
    const unsigned firstWeekday = Date::fromYmd(d.year(), d.month(), 1).weekday(); // [0, 6]
    const unsigned row = (d.day() - 1 + firstWeekday) / 7;                         // [0, 5]
    return twoDigits(d.month()) + std::to_string(row) + std::to_string(d.weekday());
}

Date Engine::easterDate(int year) const {
    // The Gregorian computus (Meeus, Jones, Butcher), good for every year of the Gregorian
    // calendar; before it the question has no Gregorian answer.
    if (year < 1583)
        throw InvalidCallError("no Gregorian Easter before 1583");
    const int a = year % 19;                        // [0, 18]: the year in the Metonic cycle
    const int b = year / 100, c = year % 100;       // the century and the year in it
    const int d = b / 4, e = b % 4;                 // leap centuries
    const int g = (b - (b + 8) / 25 + 1) / 3;       // the lunar correction
    const int h = (19 * a + b - d - g + 15) % 30;   // [0, 29]: the epact
    const int i = c / 4, k = c % 4;                 // leap years within the century
    const int l = (32 + 2 * e + 2 * i - h - k) % 7; // [0, 6]: days on to the Sunday
    const int m = (a + 11 * h + 22 * l) / 451;      // [0, 1]
    const int month = (h + l - 7 * m + 114) / 31;   // [3, 4]
    const int day = (h + l - 7 * m + 114) % 31 + 1; // [1, 31]
    return Date::fromYmd(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
}

std::string Engine::easter(Int16 year) const {
    return toText(easterDate(year));
}

std::string Engine::starSign(DateTime date) const {
    struct Sign {
        std::string_view from, to, name;
    };
    static constexpr Sign kSigns[] = {
        {"0321", "0419", "牡羊座"}, {"0420", "0520", "金牛座"}, {"0521", "0621", "双子座"},
        {"0622", "0722", "巨蟹座"}, {"0723", "0822", "狮子座"}, {"0823", "0922", "处女座"},
        {"0923", "1023", "天秤座"}, {"1024", "1121", "天蝎座"}, {"1122", "1221", "射手座"},
        {"1222", "0119", "魔羯座"}, {"0120", "0218", "水瓶座"}, {"0219", "0320", "双鱼座"},
    };
    std::string const mmdd = twoDigits(date.date.month()) + twoDigits(date.date.day());
    for (const Sign& sign : kSigns) {
        const bool across = sign.from > sign.to; // the range that spans the year's end
        if (across ? (mmdd >= sign.from || mmdd <= sign.to)
                   : (mmdd >= sign.from && mmdd <= sign.to))
            return std::string(sign.name);
    }
    return {};
}

} // namespace kalendo
