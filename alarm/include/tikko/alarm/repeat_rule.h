// SPDX-License-Identifier: MIT
#pragma once

// Alarms that repeat, on the Gregorian and the lunar calendar. Plain C++ on the engine's date
// types, so that another front end can share it. Times are local wall-clock times: a day is a
// kalendo::Date, a moment a kalendo::DateTime (seconds into the day).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalendo {
class Date;
struct DateTime;
} // namespace kalendo

namespace tikko {

struct RepeatRule {
    enum Kind : std::uint8_t {
        Once,
        Daily,
        Workdays,     // Monday to Friday
        Weekly,       // on the days of `weekdays`
        Monthly,      // on day `day`, or the month's last day when it is shorter
        Yearly,       // on `month`-`day`; 29 February is 28 February in common years
        LunarMonthly, // on lunar day `day` of every lunar month, leap months too; 30 is the
                      // last day (廿九) in a month of 29 days
        LunarYearly,  // on lunar `month`-`day` once a lunar year: an ordinary month never
                      // fires in the leap month of that number; a leap month fires in the
                      // ordinary month in years that have no such leap month
        SolarTerms,   // on each of the 24 solar terms
    };

    Kind kind = Once;
    std::uint8_t weekdays = 0;       // Weekly: bit 0 = Sunday ... bit 6 = Saturday
    std::uint8_t month = 0;          // Yearly: 1-12; LunarYearly: the lunar month 1-12
    bool leapMonth = false;          // LunarYearly: 闰`month`月
    std::uint8_t day = 0;            // Monthly, Yearly: 1-31; LunarMonthly, LunarYearly: 1-30
    std::int32_t timeOfDay = 0;      // [0, 86399] seconds: the time the user entered
    std::int32_t advanceMinutes = 0; // each occurrence fires this much earlier

    bool repeats() const noexcept { return kind != Once; }
    // Whether the fields fit the kind (a month 1-12, a day in range, a weekday chosen).
    bool valid() const noexcept;
    friend bool operator==(const RepeatRule&, const RepeatRule&) = default;
};

// The rules as a table: each kind with its Chinese name (the editor's item, the first words of
// its text in the store) and its ASCII name for scripts.
struct RepeatKind {
    RepeatRule::Kind kind;
    std::string_view name;  // "不重复", "每天", ... "每个节气"
    std::string_view ascii; // "once", "daily", ... "solar-terms"
};
inline constexpr std::array<RepeatKind, 9> RepeatKinds{{
    {RepeatRule::Once, "不重复", "once"},
    {RepeatRule::Daily, "每天", "daily"},
    {RepeatRule::Workdays, "工作日", "workdays"},
    {RepeatRule::Weekly, "每周", "weekly"},
    {RepeatRule::Monthly, "每月", "monthly"},
    {RepeatRule::Yearly, "每年", "yearly"},
    {RepeatRule::LunarMonthly, "农历每月", "lunar-monthly"},
    {RepeatRule::LunarYearly, "农历每年", "lunar-yearly"},
    {RepeatRule::SolarTerms, "每个节气", "solar-terms"},
}};
const RepeatKind& repeatKind(RepeatRule::Kind kind);

// The first day on or after `from` on which the rule has an occurrence; nothing past the
// engine's range (lunar year 2090, solar terms of 2100) or for Once.
std::optional<kalendo::Date> nextOccurrenceDay(const RepeatRule& rule, kalendo::Date from);

// The first firing moment (an occurrence's time of day less the advance minutes) whose minute
// lies after the minute of `after`; nothing when there is no further occurrence.
std::optional<kalendo::DateTime> nextFiring(const RepeatRule& rule, kalendo::DateTime after);

// How many firing moments lie from `first` (itself one) up to the minute of `now`, at most
// `limit`.
int firingsBetween(const RepeatRule& rule, kalendo::DateTime first, kalendo::DateTime now,
                   int limit = 100000);

// The rule in words, as the store keeps it after "重复:" and the list shows it:
// "工作日 07:30", "每周一三五 07:30", "农历每年闰四月初八 09:00 提前2分钟".
std::string ruleText(const RepeatRule& rule);
// Reads ruleText's words back; nothing for anything else.
std::optional<RepeatRule> parseRuleText(std::string_view text);
// The rule's words without the time ("农历每年八月十五").
std::string ruleName(const RepeatRule& rule);

// The rule's ASCII form for scripts, without the time: "once", "daily", "workdays",
// "weekly:mon,wed,fri", "monthly:31", "yearly:02-29", "lunar-monthly:30", "lunar-yearly:08-15",
// "lunar-yearly:leap04-08", "solar-terms".
std::string asciiRule(const RepeatRule& rule);
// Reads an ASCII form (or the Chinese words) into a rule with no time; nothing when it is
// neither.
std::optional<RepeatRule> parseRuleName(std::string_view text);

// Lunar names as the rules write them: months 正月 ... 十二月, days 初一 ... 廿九 三十.
std::string lunarMonthName(int month, bool leap);
std::string lunarDayName(int day);

// The moment `seconds` later (or earlier), across days.
kalendo::DateTime addSeconds(kalendo::DateTime moment, std::int64_t seconds);

} // namespace tikko
