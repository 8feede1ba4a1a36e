// SPDX-License-Identifier: MIT
#include "kalendo/month_grid.h"

#include "kalendo/errors.h"
#include "kalendo/text.h"
#include "tables.h"

#include <algorithm>

namespace kalendo {

namespace {

using text::trimBlanks;

// A month and day, or a lunar month and day, as a four-digit festival key.
std::string monthDayKey(int month, int day) {
    std::string key(4, '0');
    text::putDigits(&key[0], static_cast<unsigned>(month), 2);
    text::putDigits(&key[2], static_cast<unsigned>(day), 2);
    return key;
}

// The last day of a lunar year is the last day of its twelfth month, or of the leap
// twelfth month where the year has one.
bool isLunarNewYearsEve(const Engine& engine, const LunarDate& lunar) {
    if (lunar.month != 12)
        return false;
    const Int16 year = static_cast<Int16>(lunar.year);
    const bool leapTwelfth = engine.leapMonth(year) == 12;
    if (leapTwelfth != lunar.leap)
        return false;
    const int length = lunar.leap ? engine.leapMonthDays(year) : engine.lunarMonthDays(year, 12);
    return lunar.day == length;
}

void setCaption(GridCell& cell, std::string text, std::uint32_t colour) {
    cell.caption = std::move(text);
    cell.colour = colour;
}

void addFestival(std::vector<Festival>& festivals, FestivalKind kind, std::string_view names) {
    names = trimBlanks(names);
    if (!names.empty())
        festivals.push_back({kind, std::string(names)});
}

} // namespace

namespace {

// The keys a day's festivals are stored under; the grid's caption and the list of names read
// the same ones.
struct FestivalKeys {
    std::string solar;       // MMDD
    std::string weekday;     // MM + n + w: the n-th (1-5) weekday w of the month
    std::string lastWeekday; // MM + 5 + w when an n-th below 5 is also the month's last, or ""
    bool easter = false;
    bool blackFriday = false;
    std::string lunar; // lunar MMDD, 0100 on 除夕, "" on a leap month's other days
};

FestivalKeys festivalKeys(const Engine& engine, Date date, const LunarDate& lunar) {
    FestivalKeys keys;
    const int month = static_cast<int>(date.month());
    const int d = static_cast<int>(date.day());
    keys.solar = monthDayKey(month, d);

    // Weekday festivals are keyed by the weekday's occurrence in its month (1-4), and by 5
    // for the last one.
    keys.weekday = monthDayKey(month, 0);
    const int occurrence = (d - 1) / 7 + 1; // [1, 5]
    keys.weekday[2] = static_cast<char>('0' + occurrence);
    keys.weekday[3] = static_cast<char>('0' + date.weekday());
    if (occurrence < 5 && static_cast<unsigned>(d + 7) > daysInMonth(date.year(), date.month())) {
        keys.lastWeekday = keys.weekday;
        keys.lastWeekday[2] = '5';
    }

    keys.easter = date.year() >= 1583 && engine.easterDate(date.year()) == date; // the computus
    keys.blackFriday = d == 13 && date.weekday() == 5;

    // A lunar festival falls on its ordinary month only, never on the leap month that
    // repeats it; 除夕 is the year's last day, a leap twelfth month's included.
    if (isLunarNewYearsEve(engine, lunar))
        keys.lunar = "0100";
    else if (!lunar.leap)
        keys.lunar = monthDayKey(lunar.month, lunar.day);
    return keys;
}

constexpr std::string_view kEaster = "复活节";
constexpr std::string_view kBlackFriday = "黑色星期五";

} // namespace

std::vector<Festival> festivalsOn(const Engine& engine, Date date, const LunarDate& lunar) {
    const FestivalKeys keys = festivalKeys(engine, date, lunar);
    std::vector<Festival> festivals;
    addFestival(festivals, FestivalKind::Solar, engine.solarFestival(keys.solar));
    std::string names = engine.weekdayFestival(keys.weekday);
    if (!keys.lastWeekday.empty())
        names += engine.weekdayFestival(keys.lastWeekday);
    addFestival(festivals, FestivalKind::Weekday, names);
    if (keys.easter)
        addFestival(festivals, FestivalKind::Easter, kEaster);
    if (keys.blackFriday)
        addFestival(festivals, FestivalKind::BlackFriday, kBlackFriday);
    if (!keys.lunar.empty())
        addFestival(festivals, FestivalKind::Lunar, engine.lunarFestival(keys.lunar));
    return festivals;
}

std::vector<std::string> festivalNamesOn(const Engine& engine, Date date, const LunarDate& lunar) {
    const FestivalKeys keys = festivalKeys(engine, date, lunar);
    std::vector<std::string> result;
    // An entry may hold several names split by blanks; entries are never glued together.
    auto add = [&](std::string_view names) {
        while (!names.empty()) {
            const std::size_t blank = names.find(' ');
            if (blank != 0)
                result.emplace_back(names.substr(0, blank));
            names = blank == std::string_view::npos ? std::string_view() : names.substr(blank + 1);
        }
    };
    tables::forEachEntry(tables::kSolarFestivals, keys.solar, add);
    tables::forEachEntry(tables::kWeekdayFestivals, keys.weekday, add);
    if (!keys.lastWeekday.empty())
        tables::forEachEntry(tables::kWeekdayFestivals, keys.lastWeekday, add);
    if (keys.easter)
        add(kEaster);
    if (keys.blackFriday)
        add(kBlackFriday);
    if (!keys.lunar.empty())
        tables::forEachEntry(tables::kLunarFestivals, keys.lunar, add);
    return result;
}

std::string shortenedFestival(std::string_view names) {
    names = trimBlanks(names);
    if (text::characterCount(names) <= 5)
        return std::string(names);
    return std::string(text::firstCharacters(names, 4)) + "…";
}

LunarListTexts lunarListTexts(const LunarDate& date) {
    return {text::zeroPadded(static_cast<unsigned>(date.year), 4),
            text::zeroPadded(static_cast<unsigned>(date.month), 2)};
}

std::string lunarMonthCaption(const Engine& engine, const LunarDate& firstDay) {
    const Int16 y = static_cast<Int16>(firstDay.year);
    const Int16 m = static_cast<Int16>(firstDay.month);
    // A leap month has a length of its own, not that of the month it repeats.
    const int length = firstDay.leap ? engine.leapMonthDays(y) : engine.lunarMonthDays(y, m);
    std::string caption = engine.lunarMonthName(m) + (length < 30 ? "小" : "大");
    return firstDay.leap ? "闰" + caption : caption;
}

void fillMonthGrid(const Engine& engine, const MonthGridInput& in, MonthGrid& grid) {
    grid.daysFilled = 0;
    grid.complete = false;
    grid.lunarYearText = in.lunarYearText;
    grid.lunarMonthText = in.lunarMonthText;

    const Date first = Date::rolled(in.year, in.month, 1);
    const int days = static_cast<int>(Date::rolled(in.year, in.month + 1, 0).day()); // [28, 31]
    const int start = static_cast<int>(first.weekday());                             // [0, 6]
    for (GridCell& cell : grid.cells)
        cell = GridCell{};

    const bool shownIsCurrent =
        in.year == in.today.year() && in.month == static_cast<int>(in.today.month());
    const int todayDay = static_cast<int>(in.today.day());

    for (int i = start; i < start + days; ++i) {
        const int d = i - start + 1;
        GridCell& cell = grid.cells[static_cast<std::size_t>(i)];
        cell.day = std::to_string(d);
        // The cell's date text "year-month-day" cannot be read for a month outside 1-12
        // or a year outside the date range: the fill stops at the first day.
        if (in.month < 1 || in.month > 12 || in.year < Date::kFirstYear)
            throw TypeMismatchError();
        const Date date = first.plusDays(d - 1);

        const LunarDate lunar = engine.solarToLunarDate(date);
        if (d == todayDay) {
            cell.today = shownIsCurrent;
            LunarListTexts texts = lunarListTexts(lunar);
            grid.lunarYearText = std::move(texts.year);
            grid.lunarMonthText = std::move(texts.month);
        }
        setCaption(cell, engine.lunarDayName(static_cast<Int16>(lunar.day)), colour::kBlack);

        std::string term = engine.solarTermOn(date);
        if (!trimBlanks(term).empty())
            setCaption(cell, std::move(term), colour::kSolarTerm);

        if (lunar.day == 1)
            setCaption(cell, lunarMonthCaption(engine, lunar), colour::kLunarMonth);

        for (Festival& festival : festivalsOn(engine, date, lunar)) {
            switch (festival.kind) {
            case FestivalKind::BlackFriday:
                cell.caption = festival.names + " "; // the colour stays the day's own
                break;
            case FestivalKind::Lunar:
                setCaption(cell, shortenedFestival(festival.names), colour::kLunarFestival);
                break;
            default:
                setCaption(cell, shortenedFestival(festival.names), colour::kFestival);
                break;
            }
        }
        grid.daysFilled = d;
    }

    grid.leapYearText = isLeapYear(in.year) ? "闰年" : "平年";
    const Int16 lunarYear = text::parseInt16(grid.lunarYearText);
    grid.yearName = engine.yearStemBranch(lunarYear) + engine.zodiacAnimal(lunarYear) + "年";
    // Today's day number may not exist in the shown month; the month's last day stands in.
    const int signDay = std::min(todayDay, days);
    grid.starSign = engine.starSign(
        Date::fromYmd(in.year, static_cast<unsigned>(in.month), static_cast<unsigned>(signDay)));
    grid.yearWatermark = std::to_string(in.today.year());
    grid.monthWatermark = std::to_string(in.today.month());
    grid.complete = true;
}

} // namespace kalendo
