// SPDX-License-Identifier: MIT
#include "tikko/alarm/repeat_rule.h"

#include "kalendo/date.h"
#include "kalendo/lunar.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tikko {

namespace {

using kalendo::Date;
using kalendo::DateTime;
using kalendo::LunarDate;

constexpr std::int64_t DaySeconds = 86400;
constexpr std::uint8_t WorkdayMask = 0b0111110; // Monday to Friday

// Weekday characters in the order the rules write them, Monday first; bit = weekday number.
constexpr std::array<std::string_view, 7> WeekdayNames{"一", "二", "三", "四", "五", "六", "日"};
constexpr std::array<int, 7> WeekdayBits{1, 2, 3, 4, 5, 6, 0};
constexpr std::array<std::string_view, 7> WeekdayAscii{"mon", "tue", "wed", "thu",
                                                       "fri", "sat", "sun"};

constexpr std::array<std::string_view, 12> LunarMonthNames{"正月", "二月", "三月",   "四月",
                                                           "五月", "六月", "七月",   "八月",
                                                           "九月", "十月", "十一月", "十二月"};
constexpr std::array<std::string_view, 10> Digits{"",   "一", "二", "三", "四",
                                                  "五", "六", "七", "八", "九"};

// --- The next occurrence day of each kind.

std::optional<Date> onWeekdays(std::uint8_t mask, Date from) {
    for (int i = 0; i < 7; ++i) {
        const Date day = from.plusDays(i);
        if (mask & (1u << day.weekday()))
            return day;
    }
    return std::nullopt;
}

std::optional<Date> clampedDay(int year, unsigned month, unsigned day) {
    if (year > Date::kLastYear)
        return std::nullopt;
    return Date::fromYmd(year, month, std::min(day, kalendo::daysInMonth(year, month)));
}

// The first day of a lunar month, and its length; nothing outside the table.
struct LunarMonth {
    int year;
    int month;
    bool leap;
};

std::optional<Date> startOf(LunarMonth m) {
    const LunarDate first{m.year, m.month, 1, m.leap};
    if (!first.exists())
        return std::nullopt;
    return first.toSolar();
}

int lengthOf(LunarMonth m) {
    return LunarDate{m.year, m.month, 30, m.leap}.exists() ? 30 : 29;
}

LunarMonth following(LunarMonth m) {
    if (!m.leap && LunarDate{m.year, m.month, 1, true}.exists())
        return {m.year, m.month, true};
    return m.month == 12 ? LunarMonth{m.year + 1, 1, false}
                         : LunarMonth{m.year, m.month + 1, false};
}

// The day of a lunar month on which lunar day `day` falls, the last day when it is shorter.
std::optional<Date> dayInLunarMonth(LunarMonth m, int day) {
    const auto start = startOf(m);
    if (!start)
        return std::nullopt;
    return start->plusDays(std::min(day, lengthOf(m)) - 1);
}

std::optional<LunarDate> lunarOf(Date day) {
    try {
        return LunarDate::fromSolar(day);
    } catch (const kalendo::DateError&) {
        return std::nullopt; // beyond the table: no occurrence
    }
}

std::optional<Date> lunarMonthly(int day, Date from) {
    const auto today = lunarOf(from);
    if (!today)
        return std::nullopt;
    LunarMonth month{today->year, today->month, today->leap};
    for (int i = 0; i < 2; ++i, month = following(month)) {
        const auto candidate = dayInLunarMonth(month, day);
        if (!candidate)
            return std::nullopt;
        if (*candidate >= from)
            return candidate;
    }
    return std::nullopt;
}

std::optional<Date> lunarYearly(const RepeatRule& rule, Date from) {
    const auto today = lunarOf(from);
    if (!today)
        return std::nullopt;
    for (int year = today->year; year <= today->year + 1; ++year) {
        // A leap month where the year has it, its ordinary month where it has not.
        const bool leap = rule.leapMonth && LunarDate{year, rule.month, 1, true}.exists();
        const auto candidate = dayInLunarMonth({year, rule.month, leap}, rule.day);
        if (!candidate)
            return std::nullopt;
        if (*candidate >= from)
            return candidate;
    }
    return std::nullopt;
}

std::optional<Date> solarTerm(Date from) {
    for (int year = from.year(); year <= from.year() + 1; ++year) {
        if (year > kalendo::kLastSolarTermYear || year < kalendo::kFirstSolarTermYear)
            return std::nullopt;
        for (const kalendo::SolarTermDay& term : kalendo::solarTerms(year)) {
            if (term.date >= from)
                return term.date;
        }
    }
    return std::nullopt;
}

// --- Words.

std::string number(int value, int width = 1) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

// Consumes `prefix` from the front of text.
bool take(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// Consumes 1 to maxDigits ASCII digits.
std::optional<int> takeNumber(std::string_view& text, int maxDigits = 2) {
    int value = 0;
    std::size_t n = 0;
    while (n < text.size() && n < static_cast<std::size_t>(maxDigits) && text[n] >= '0' &&
           text[n] <= '9')
        value = value * 10 + (text[n++] - '0');
    if (n == 0)
        return std::nullopt;
    text.remove_prefix(n);
    return value;
}

std::optional<int> takeLunarMonth(std::string_view& text, bool& leap) {
    leap = take(text, "闰");
    // Longest names first: 十一月 before 十月 ... and 冬月, 腊月 as people also say.
    for (int m = 12; m >= 1; --m) {
        if (take(text, LunarMonthNames[m - 1]))
            return m;
    }
    if (take(text, "冬月"))
        return 11;
    if (take(text, "腊月"))
        return 12;
    return std::nullopt;
}

std::optional<int> takeLunarDay(std::string_view& text) {
    for (int day = 30; day >= 1; --day) {
        if (take(text, lunarDayName(day)))
            return day;
    }
    // The engine's own spelling of 21-29.
    if (take(text, "二十")) {
        for (int d = 9; d >= 1; --d) {
            if (take(text, Digits[d]))
                return 20 + d;
        }
        return 20;
    }
    return std::nullopt;
}

std::string timeText(std::int32_t seconds) {
    std::string text = number(seconds / 3600, 2) + ":" + number(seconds / 60 % 60, 2);
    if (seconds % 60)
        text += ":" + number(seconds % 60, 2);
    return text;
}

std::optional<std::int32_t> takeTime(std::string_view& text) {
    const auto hour = takeNumber(text);
    if (!hour || !take(text, ":"))
        return std::nullopt;
    const auto minute = takeNumber(text);
    if (!minute || *hour > 23 || *minute > 59)
        return std::nullopt;
    int second = 0;
    if (take(text, ":")) {
        const auto s = takeNumber(text);
        if (!s || *s > 59)
            return std::nullopt;
        second = *s;
    }
    return *hour * 3600 + *minute * 60 + second;
}

// The fields of each kind after its name, in words and in ASCII.
bool takeFields(RepeatRule& rule, std::string_view& text) {
    switch (rule.kind) {
    case RepeatRule::Weekly:
        for (bool any = false;;) {
            bool found = false;
            for (int i = 0; i < 7; ++i) {
                if (take(text, WeekdayNames[i]) || (i == 6 && take(text, "天"))) {
                    rule.weekdays |= static_cast<std::uint8_t>(1u << WeekdayBits[i]);
                    found = any = true;
                }
            }
            if (!found)
                return any;
        }
    case RepeatRule::Monthly: {
        const auto day = takeNumber(text);
        if (!day || !(take(text, "日") || take(text, "号")))
            return false;
        rule.day = static_cast<std::uint8_t>(*day);
        return true;
    }
    case RepeatRule::Yearly: {
        const auto month = takeNumber(text);
        if (!month || !take(text, "月"))
            return false;
        const auto day = takeNumber(text);
        if (!day || !(take(text, "日") || take(text, "号")))
            return false;
        rule.month = static_cast<std::uint8_t>(*month);
        rule.day = static_cast<std::uint8_t>(*day);
        return true;
    }
    case RepeatRule::LunarMonthly: {
        const auto day = takeLunarDay(text);
        rule.day = static_cast<std::uint8_t>(day.value_or(0));
        return day.has_value();
    }
    case RepeatRule::LunarYearly: {
        bool leap = false;
        const auto month = takeLunarMonth(text, leap);
        const auto day = month ? takeLunarDay(text) : std::nullopt;
        rule.month = static_cast<std::uint8_t>(month.value_or(0));
        rule.leapMonth = leap;
        rule.day = static_cast<std::uint8_t>(day.value_or(0));
        return day.has_value();
    }
    default:
        return true;
    }
}

bool takeAsciiFields(RepeatRule& rule, std::string_view text) {
    const auto twoNumbers = [&](std::string_view part, int& a, int& b) {
        const auto first = takeNumber(part);
        if (!first || !take(part, "-"))
            return false;
        const auto second = takeNumber(part);
        if (!second || !part.empty())
            return false;
        a = *first;
        b = *second;
        return true;
    };
    switch (rule.kind) {
    case RepeatRule::Weekly:
        while (!text.empty()) {
            bool found = false;
            for (int i = 0; i < 7; ++i) {
                if (take(text, WeekdayAscii[i])) {
                    rule.weekdays |= static_cast<std::uint8_t>(1u << WeekdayBits[i]);
                    found = true;
                }
            }
            if (!found || !(text.empty() || take(text, ",")))
                return false;
        }
        return rule.weekdays != 0;
    case RepeatRule::Monthly:
    case RepeatRule::LunarMonthly: {
        const auto day = takeNumber(text);
        rule.day = static_cast<std::uint8_t>(day.value_or(0));
        return day && text.empty();
    }
    case RepeatRule::Yearly:
    case RepeatRule::LunarYearly: {
        rule.leapMonth = rule.kind == RepeatRule::LunarYearly && take(text, "leap");
        int month = 0, day = 0;
        if (!twoNumbers(text, month, day))
            return false;
        rule.month = static_cast<std::uint8_t>(month);
        rule.day = static_cast<std::uint8_t>(day);
        return true;
    }
    default:
        return text.empty();
    }
}

} // namespace

bool RepeatRule::valid() const noexcept {
    if (timeOfDay < 0 || timeOfDay >= DaySeconds)
        return false;
    switch (kind) {
    case Weekly:
        return (weekdays & 0x7F) != 0;
    case Monthly:
        return day >= 1 && day <= 31;
    case Yearly:
        return month >= 1 && month <= 12 && day >= 1 &&
               day <= kalendo::daysInMonth(2000, month); // 2000: a leap year
    case LunarMonthly:
        return day >= 1 && day <= 30;
    case LunarYearly:
        return month >= 1 && month <= 12 && day >= 1 && day <= 30;
    default:
        return true;
    }
}

const RepeatKind& repeatKind(RepeatRule::Kind kind) {
    for (const RepeatKind& row : RepeatKinds) {
        if (row.kind == kind)
            return row;
    }
    return RepeatKinds.front();
}

std::optional<Date> nextOccurrenceDay(const RepeatRule& rule, Date from) {
    switch (rule.kind) {
    case RepeatRule::Once:
        return std::nullopt;
    case RepeatRule::Daily:
        return from;
    case RepeatRule::Workdays:
        return onWeekdays(WorkdayMask, from);
    case RepeatRule::Weekly:
        return onWeekdays(rule.weekdays, from);
    case RepeatRule::Monthly: {
        const auto here = clampedDay(from.year(), from.month(), rule.day);
        if (here && *here >= from)
            return here;
        return from.month() == 12 ? clampedDay(from.year() + 1, 1, rule.day)
                                  : clampedDay(from.year(), from.month() + 1, rule.day);
    }
    case RepeatRule::Yearly: {
        const auto here = clampedDay(from.year(), rule.month, rule.day);
        if (here && *here >= from)
            return here;
        return clampedDay(from.year() + 1, rule.month, rule.day);
    }
    case RepeatRule::LunarMonthly:
        return lunarMonthly(rule.day, from);
    case RepeatRule::LunarYearly:
        return lunarYearly(rule, from);
    case RepeatRule::SolarTerms:
        return solarTerm(from);
    }
    return std::nullopt;
}

DateTime addSeconds(DateTime moment, std::int64_t seconds) {
    const std::int64_t total = moment.seconds + seconds;
    const std::int64_t days =
        total >= 0 ? total / DaySeconds : -((-total + DaySeconds - 1) / DaySeconds);
    return {moment.date.plusDays(static_cast<std::int32_t>(days)),
            static_cast<std::int32_t>(total - days * DaySeconds)};
}

std::optional<DateTime> nextFiring(const RepeatRule& rule, DateTime after) {
    if (!rule.repeats() || !rule.valid())
        return std::nullopt;
    const std::int64_t advance = std::int64_t{rule.advanceMinutes} * 60;
    // Occurrences are compared by minute, as the due test is: an occurrence in the minute
    // that just fired is that occurrence, not the next one.
    const DateTime limit = addSeconds({after.date, after.seconds - after.seconds % 60}, advance);
    try {
        auto day = nextOccurrenceDay(rule, limit.date);
        if (day && *day == limit.date && rule.timeOfDay - rule.timeOfDay % 60 <= limit.seconds)
            day = nextOccurrenceDay(rule, limit.date.plusDays(1));
        if (!day)
            return std::nullopt;
        return addSeconds({*day, rule.timeOfDay}, -advance);
    } catch (const kalendo::InvalidCallError&) {
        return std::nullopt; // a year beyond the calendar
    }
}

int firingsBetween(const RepeatRule& rule, DateTime first, DateTime now, int limit) {
    const auto minuteOf = [](DateTime t) {
        return std::int64_t{t.date.serial()} * 1440 + t.seconds / 60;
    };
    int count = 0;
    for (std::optional<DateTime> at = first; at && minuteOf(*at) <= minuteOf(now) && count < limit;
         at = nextFiring(rule, *at))
        ++count;
    return count;
}

std::string lunarMonthName(int month, bool leap) {
    if (month < 1 || month > 12)
        return {};
    return (leap ? std::string("闰") : std::string()) + std::string(LunarMonthNames[month - 1]);
}

std::string lunarDayName(int day) {
    if (day < 1 || day > 30)
        return {};
    if (day <= 10)
        return std::string("初") + (day == 10 ? "十" : std::string(Digits[day]));
    if (day < 20)
        return std::string("十") + std::string(Digits[day - 10]);
    if (day == 20)
        return "二十";
    if (day < 30)
        return std::string("廿") + std::string(Digits[day - 20]);
    return "三十";
}

std::string ruleName(const RepeatRule& rule) {
    std::string text(repeatKind(rule.kind).name);
    switch (rule.kind) {
    case RepeatRule::Weekly:
        for (int i = 0; i < 7; ++i) {
            if (rule.weekdays & (1u << WeekdayBits[i]))
                text += WeekdayNames[i];
        }
        break;
    case RepeatRule::Monthly:
        text += number(rule.day) + "日";
        break;
    case RepeatRule::Yearly:
        text += number(rule.month) + "月" + number(rule.day) + "日";
        break;
    case RepeatRule::LunarMonthly:
        text += lunarDayName(rule.day);
        break;
    case RepeatRule::LunarYearly:
        text += lunarMonthName(rule.month, rule.leapMonth) + lunarDayName(rule.day);
        break;
    default:
        break;
    }
    return text;
}

std::string ruleText(const RepeatRule& rule) {
    std::string text = ruleName(rule) + " " + timeText(rule.timeOfDay);
    if (rule.advanceMinutes != 0)
        text += " 提前" + std::to_string(rule.advanceMinutes) + "分钟";
    return text;
}

std::optional<RepeatRule> parseRuleName(std::string_view text) {
    // Longest names first, so that "农历每月" is not read as "每月".
    std::array<const RepeatKind*, RepeatKinds.size()> rows{};
    std::transform(RepeatKinds.begin(), RepeatKinds.end(), rows.begin(),
                   [](const RepeatKind& row) { return &row; });
    std::sort(rows.begin(), rows.end(), [](const RepeatKind* a, const RepeatKind* b) {
        return a->name.size() > b->name.size();
    });
    for (const RepeatKind* row : rows) {
        std::string_view rest = text;
        if (!take(rest, row->name))
            continue;
        RepeatRule rule;
        rule.kind = row->kind;
        if (takeFields(rule, rest) && rest.empty() && rule.valid())
            return rule;
        return std::nullopt;
    }
    for (const RepeatKind& row : RepeatKinds) {
        std::string_view rest = text;
        if (!take(rest, row.ascii))
            continue;
        RepeatRule rule;
        rule.kind = row.kind;
        if (!rest.empty() && !take(rest, ":"))
            continue; // "lunar-monthly" begins like no other name, but be exact
        if (takeAsciiFields(rule, rest) && rule.valid())
            return rule;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<RepeatRule> parseRuleText(std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    auto rule = parseRuleName(text.substr(0, blank));
    if (!rule || !rule->repeats())
        return std::nullopt;
    std::string_view rest = text.substr(blank + 1);
    const auto time = takeTime(rest);
    if (!time)
        return std::nullopt;
    rule->timeOfDay = *time;
    if (take(rest, " 提前")) {
        const bool negative = take(rest, "-");
        const auto minutes = takeNumber(rest, 6);
        if (!minutes || !take(rest, "分钟"))
            return std::nullopt;
        rule->advanceMinutes = negative ? -*minutes : *minutes;
    }
    if (!rest.empty())
        return std::nullopt;
    return rule;
}

std::string asciiRule(const RepeatRule& rule) {
    std::string text(repeatKind(rule.kind).ascii);
    switch (rule.kind) {
    case RepeatRule::Weekly: {
        std::string days;
        for (int i = 0; i < 7; ++i) {
            if (rule.weekdays & (1u << WeekdayBits[i]))
                days += (days.empty() ? "" : ",") + std::string(WeekdayAscii[i]);
        }
        return text + ":" + days;
    }
    case RepeatRule::Monthly:
    case RepeatRule::LunarMonthly:
        return text + ":" + number(rule.day);
    case RepeatRule::Yearly:
        return text + ":" + number(rule.month, 2) + "-" + number(rule.day, 2);
    case RepeatRule::LunarYearly:
        return text + ":" + (rule.leapMonth ? "leap" : "") + number(rule.month, 2) + "-" +
               number(rule.day, 2);
    default:
        return text;
    }
}

} // namespace tikko
