// SPDX-License-Identifier: MIT
#pragma once

// The year table's fields, decoded in one place, and the days the lunar years begin on.

#include "kalendo/date.h"
#include "kalendo/lunar.h"
#include "tables.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kalendo::lunar_years {

using tables::kLunarYears;

// The length of ordinary month m (1-12) of a year entry.
constexpr int monthLength(std::uint32_t entry, int m) {
    return entry & (0x10000u >> m) ? 30 : 29;
}
// The leap month (1-12) of a year entry, 0 for none.
constexpr int leapMonthOf(std::uint32_t entry) {
    return static_cast<int>(entry & 0xF);
}
// The length of a year entry's leap month, 0 without one.
constexpr int leapLength(std::uint32_t entry) {
    return leapMonthOf(entry) == 0 ? 0 : entry & 0x10000 ? 30 : 29;
}
constexpr int yearLength(std::uint32_t entry) {
    int days = leapLength(entry);
    for (int m = 1; m <= 12; ++m)
        days += monthLength(entry, m);
    return days; // [348, 390]
}

// Serial day of each lunar new year 1900-2091 (index 0 = 1900), derived from the year table.
inline constexpr auto kNewYears = [] {
    std::array<std::int32_t, kLunarYears.size() + 1> days{};
    days[0] = Date::fromYmd(1900, 1, 31).serial();
    for (std::size_t i = 0; i < kLunarYears.size(); ++i)
        days[i + 1] = days[i] + yearLength(kLunarYears[i]);
    return days;
}();
static_assert(kNewYears[100] == Date::fromYmd(2000, 2, 5).serial(), "lunar 2000 begins 2000-2-5");
static_assert(kNewYears.back() == Date::fromYmd(2091, 2, 18).serial(), "lunar 2090 ends 2091-2-17");

// The lunar date of a day from the first new year on and before kNewYears.back().
constexpr LunarDate lunarDateOf(Date solar) noexcept {
    // The lunar year: the last new year not after the day. Year y >= 1900 begins in
    // Gregorian year y, so it is the Gregorian year's or the one before.
    int year = solar.year();
    std::size_t index = static_cast<std::size_t>(year - tables::kFirstLunarYear); // [0, 191]
    if (index >= kNewYears.size() || kNewYears[index] > solar.serial())
        --index, --year;
    int offset = solar.serial() - kNewYears[index]; // [0, 383]
    std::uint32_t const entry = kLunarYears[index];
    const int leap = leapMonthOf(entry);
    int m = 1;
    for (;; ++m) {
        const int days = monthLength(entry, m);
        if (offset < days || m == 12) // the offset lies within the year
            break;
        offset -= days;
        if (m == leap) {
            if (offset < leapLength(entry))
                return {year, m, offset + 1, true};
            offset -= leapLength(entry);
        }
    }
    return {year, m, offset + 1, false};
}

// The serial day of the first day of a lunar month, or nothing when there is no such month.
constexpr std::optional<std::int32_t> monthStart(int year, int month, bool leap) noexcept {
    if (year < tables::kFirstLunarYear || year > tables::kLastLunarYear || month < 1 || month > 12)
        return std::nullopt;
    const std::size_t index = static_cast<std::size_t>(year - tables::kFirstLunarYear);
    std::uint32_t const entry = kLunarYears[index];
    const int leapMonth = leapMonthOf(entry);
    if (leap && leapMonth != month)
        return std::nullopt;
    std::int32_t serial = kNewYears[index];
    for (int m = 1; m < month; ++m)
        serial += monthLength(entry, m) + (m == leapMonth ? leapLength(entry) : 0);
    return leap ? serial + monthLength(entry, month) : serial;
}

} // namespace kalendo::lunar_years
