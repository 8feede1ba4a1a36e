// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace kalendo {

// A Gregorian calendar day, held as its serial number: days since 1970-01-01 (day 0).
// Years 1 to 9999; months 1-12; weekday 0 = Sunday ... 6 = Saturday.
class Date {
public:
    static constexpr int kFirstYear = 1;
    static constexpr int kLastYear = 9999;

    constexpr Date() noexcept = default;
    constexpr explicit Date(std::int32_t serial) noexcept
        : m_serial(serial) {}
    constexpr explicit Date(std::chrono::sys_days days) noexcept
        : m_serial(static_cast<std::int32_t>(days.time_since_epoch().count())) {}

    // The date with year y, month m and day d, which must exist (no rolling over).
    static constexpr Date fromYmd(int y, unsigned m, unsigned d) noexcept {
        return Date(std::chrono::sys_days(std::chrono::year_month_day(
            std::chrono::year(y), std::chrono::month(m), std::chrono::day(d))));
    }

    // The date library's way of building a date: months beyond 12 or below 1 roll into
    // other years and days beyond the month's end (or below 1) into other months.
    // Throws InvalidCallError when the result lies outside years 1-9999.
    static Date rolled(int y, int m, int d);

    constexpr std::int32_t serial() const noexcept { return m_serial; }
    constexpr std::chrono::sys_days sysDays() const noexcept {
        return std::chrono::sys_days(std::chrono::days(m_serial));
    }
    constexpr std::chrono::year_month_day ymd() const noexcept { return {sysDays()}; }
    constexpr int year() const noexcept { return static_cast<int>(ymd().year()); }
    constexpr unsigned month() const noexcept { return static_cast<unsigned>(ymd().month()); }
    constexpr unsigned day() const noexcept { return static_cast<unsigned>(ymd().day()); }
    constexpr unsigned weekday() const noexcept {
        return std::chrono::weekday(sysDays()).c_encoding(); // [0, 6], 0 = Sunday
    }
    constexpr Date plusDays(std::int32_t n) const noexcept { return Date(m_serial + n); }

    friend constexpr auto operator<=>(Date, Date) noexcept = default;

private:
    std::int32_t m_serial = 0;
};

// A date with a time of day, as hosts may hand one in; most members look at the day only.
struct DateTime {
    Date date;
    std::int32_t seconds = 0; // [0, 86399] into the day

    constexpr DateTime() noexcept = default;
    constexpr DateTime(Date d, std::int32_t s = 0) noexcept
        : date(d)
        , seconds(s) {}
    friend constexpr bool operator==(DateTime, DateTime) noexcept = default;
};

constexpr bool isLeapYear(int y) noexcept {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr unsigned daysInMonth(int y, unsigned m) noexcept {
    constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// "2008-4-23": year, month and day without leading zeros.
std::string toText(Date date);

// Reads "2008-4-23" (leading zeros and "/" as separator accepted), optionally followed by a
// time "13:05" or "13:05:30". Throws TypeMismatchError for anything that is not a valid
// date of years 1-9999.
DateTime parseDateTime(std::string_view text);
Date parseDate(std::string_view text); // the same, rejecting a time of day

} // namespace kalendo
