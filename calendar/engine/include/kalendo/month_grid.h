// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/date.h"
#include "kalendo/engine.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kalendo {

// Colour values as the control stores them: 0x00BBGGRR.
namespace colour {
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kSolarTerm = 0x00C000;     // green
constexpr std::uint32_t kLunarMonth = 0x0000FF;    // red
constexpr std::uint32_t kFestival = 0xFF0000;      // blue
constexpr std::uint32_t kLunarFestival = 0x0000C0; // dark red
constexpr std::uint32_t kToday = 0xFFFF00;         // cyan background of today's number
} // namespace colour

// One of the 39 day cells: cell i is row i / 7, column i % 7 (0 = Sunday).
struct GridCell {
    std::string day;     // "1" ... "31", empty outside the month
    bool today = false;  // today's number is highlighted
    std::string caption; // the calendar line under the number
    std::uint32_t colour = colour::kBlack;
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// What a fill reads besides the asked month: the clock and the lunar lists' texts, which
// it keeps when no cell carries today's day number.
struct MonthGridInput {
    Int16 year = 0;  // Gregorian year, 1901-2090 in normal use
    Int16 month = 0; // 1-12
    Date today;
    std::string lunarYearText;  // 农历年份
    std::string lunarMonthText; // 农历月份
};

// Everything a fill sets.
struct MonthGrid {
    static constexpr int kCells = 39;
    std::array<GridCell, kCells> cells;
    std::string leapYearText;   // 平润年: 闰年 or 平年
    std::string yearName;       // 生肖: e.g. 戊子鼠年
    std::string starSign;       // 星座C
    std::string yearWatermark;  // 背景年分: the current year
    std::string monthWatermark; // 背景月份: the current month
    std::string lunarYearText;  // 农历年份
    std::string lunarMonthText; // 农历月份
    // How far the fill got: the days whose cells are whole, and whether the titles are too.
    int daysFilled = 0;
    bool complete = false;
};

// Fills `grid` for the asked month. On an engine error the exception propagates and
// `grid` stays as far as it was filled; daysFilled and complete tell how far that was.
void fillMonthGrid(const Engine& engine, const MonthGridInput& input, MonthGrid& grid);

// A festival of one day by the grid's rules, with its names in full (blanks trimmed).
enum class FestivalKind { Solar, Weekday, Easter, BlackFriday, Lunar };
struct Festival {
    FestivalKind kind;
    std::string names;
    friend bool operator==(const Festival&, const Festival&) = default;
};

// The festivals of a day whose lunar date is `lunar`, in the order the grid lays them: a
// later one takes the cell's caption from an earlier one.
std::vector<Festival> festivalsOn(const Engine& engine, Date date, const LunarDate& lunar);
// The same festivals as a list of names, one entry per name: where festivalsOn joins two
// table entries of one kind into one text, this keeps them apart.
std::vector<std::string> festivalNamesOn(const Engine& engine, Date date, const LunarDate& lunar);

// The texts the lunar year and month lists show for a lunar date, e.g. "2008" and "03".
struct LunarListTexts {
    std::string year;
    std::string month;
};
LunarListTexts lunarListTexts(const LunarDate& date);

// The caption of a lunar month's first day: 闰 for a leap month, the month's name, and
// 大 or 小 by that month's own length.
std::string lunarMonthCaption(const Engine& engine, const LunarDate& firstDay);

// A festival name longer than five characters is cut to four and "…".
std::string shortenedFestival(std::string_view names);

} // namespace kalendo
