// SPDX-License-Identifier: MIT
#include "kalendo/lunar.h"

#include "kalendo/engine.h"
#include "kalendo/month_grid.h"
#include "lunar_years.h"
#include "tables.h"

namespace kalendo {

namespace {

using lunar_years::kNewYears;

constexpr Date kFirstDay = Date(kNewYears.front());
constexpr Date kLastDay = Date(kNewYears.back() - 1);

void requireCovered(Date date) {
    if (date < kFirstDay || date > kLastDay)
        throw DateError("the lunar calendar covers 1900-1-31 to 2091-2-17, not " + toText(date));
}

void requireTermYear(int year) {
    if (year < kFirstSolarTermYear || year > kLastSolarTermYear)
        throw DateError("solar terms are known for 1900-2100, not " + std::to_string(year));
}

// The length of a lunar month, 0 when the year has no such month.
int monthLengthOf(int year, int month, bool leap) noexcept {
    if (!lunar_years::monthStart(year, month, leap))
        return 0;
    std::uint32_t const entry =
        tables::kLunarYears[static_cast<std::size_t>(year - tables::kFirstLunarYear)];
    return leap ? lunar_years::leapLength(entry) : lunar_years::monthLength(entry, month);
}

void requireExists(const LunarDate& d) {
    if (!d.exists())
        throw DateError("no lunar date " + std::to_string(d.year) + "-" + (d.leap ? "闰" : "") +
                        std::to_string(d.month) + "-" + std::to_string(d.day));
}

// The pair of a 60-cycle index (0 = 甲子).
std::string stemBranch(long long cycle) {
    const auto i = static_cast<std::size_t>(((cycle % 60) + 60) % 60);
    return std::string(tables::kStems[i % 10]).append(tables::kBranches[i % 12]);
}

} // namespace

LunarDate LunarDate::fromSolar(Date solar) {
    requireCovered(solar);
    return lunar_years::lunarDateOf(solar);
}

bool LunarDate::exists() const noexcept {
    return day >= 1 && day <= monthLengthOf(year, month, leap);
}

Date LunarDate::toSolar() const {
    requireExists(*this);
    return Date(*lunar_years::monthStart(year, month, leap) + day - 1);
}

std::string LunarDate::yearStemBranch() const {
    requireExists(*this);
    return stemBranch(year - 1864); // 1864 was a 甲子 year
}

std::string LunarDate::zodiacAnimal() const {
    requireExists(*this);
    return std::string(tables::kAnimals[static_cast<std::size_t>((year - 1900) % 12)]);
}

std::string LunarDate::monthName() const {
    requireExists(*this);
    // The engine names the first month 一月, as the control's captions do; people say 正月.
    const std::string name =
        month == 1 ? "正月" : Engine().lunarMonthName(static_cast<Int16>(month));
    return leap ? "闰" + name : name;
}

std::string LunarDate::dayName() const {
    requireExists(*this);
    return Engine().lunarDayName(static_cast<Int16>(day));
}

std::array<SolarTermDay, 24> solarTerms(int year) {
    requireTermYear(year);
    const Engine engine;
    std::array<SolarTermDay, 24> terms;
    for (int n = 1; n <= 24; ++n)
        terms[static_cast<std::size_t>(n - 1)] = {
            n, tables::kTermNames[static_cast<std::size_t>(n - 1)],
            engine.solarTerm(year, static_cast<Int16>(n))};
    return terms;
}

std::string_view solarTermOn(Date date) {
    requireTermYear(date.year());
    const Engine engine;
    // A month holds two terms: 2m-1 and 2m.
    for (int n = 2 * static_cast<int>(date.month()) - 1; n <= 2 * static_cast<int>(date.month());
         ++n)
        if (engine.solarTerm(date.year(), static_cast<Int16>(n)) == date)
            return tables::kTermNames[static_cast<std::size_t>(n - 1)];
    return {};
}

std::vector<std::string> festivalNames(Date date) {
    requireCovered(date);
    const Engine engine;
    return festivalNamesOn(engine, date, lunar_years::lunarDateOf(date));
}

std::string dayStemBranch(Date date) {
    // 1949-10-1 was a 甲子 day.
    return stemBranch(static_cast<long long>(date.serial()) - Date::fromYmd(1949, 10, 1).serial());
}

std::string monthStemBranch(Date date) {
    requireTermYear(date.year());
    const Engine engine;
    // The 节 are the odd terms: 小寒 (1) begins 丑月, 立春 (3) 寅月, ... 大雪 (23) 子月.
    // Months before this year's 小寒 belong to last year's 子月.
    const int year = date.year();
    int month = 0; // months since 寅月 of the stem-branch year that `year` begins with 立春
    bool found = false;
    for (int n = 23; n >= 1 && !found; n -= 2)
        if (engine.solarTerm(year, static_cast<Int16>(n)) <= date) {
            month = (n - 3) / 2; // 小寒 -1, 立春 0, ... 大雪 10
            found = true;
        }
    if (!found)
        month = -2; // last December's 子月
    // 寅月 of a year whose stem is s (甲 = 0) has the stem (2s + 2) mod 10; 立春 years
    // count from 1864, a 甲子 year.
    const int stem = ((year - 1864) % 10 + 10) % 10;
    const int firstStem = (2 * stem + 2) % 10;
    const int cycleStem = ((firstStem + month) % 10 + 10) % 10;
    const int branch = ((2 + month) % 12 + 12) % 12; // 寅 = 2
    // The 60-cycle index with this stem and branch.
    for (int i = 0; i < 60; ++i)
        if (i % 10 == cycleStem && i % 12 == branch)
            return stemBranch(i);
    return {}; // unreachable: stem and branch share their parity
}

} // namespace kalendo
