// SPDX-License-Identifier: MIT
#include "commands.h"
#include "kalendo/errors.h"
#include "kalendo/month_grid.h"
#include "kalendo/text.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace kalendo::cli {

namespace {

// 7 columns of 11 fit an 80-column terminal; the widest caption, 黑色星期五 with its
// trailing blank, takes 11.
constexpr int kColumn = 11;

// The text in the middle of a column; the blanks stay outside the colour, so that the
// line's trailing ones can be dropped.
std::string centred(std::string_view text, int width, std::string_view style = {},
                    bool colours = false) {
    const int pad = std::max(0, width - displayWidth(text));
    std::string cell(static_cast<std::size_t>(pad / 2), ' ');
    if (colours && !style.empty() && !text.empty())
        cell.append(style).append(text).append("\x1b[0m");
    else
        cell.append(text);
    return cell.append(static_cast<std::size_t>(pad - pad / 2), ' ');
}

} // namespace

std::string_view captionStyle(std::uint32_t colour) {
    switch (colour) {
    case colour::kSolarTerm:
        return "\x1b[32m";
    case colour::kLunarMonth:
        return "\x1b[91m";
    case colour::kFestival:
        return "\x1b[94m";
    case colour::kLunarFestival:
        return "\x1b[1;31m";
    default:
        return {};
    }
}

namespace {

struct MonthArgs {
    std::vector<std::string> numbers; // YEAR MONTH, or none
    std::optional<Date> today;
    bool cells = false;
};

MonthArgs parseMonthArgs(std::span<const std::string> args) {
    MonthArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--cells") {
            parsed.cells = true;
        } else if (args[i] == "--today") {
            if (i + 1 == args.size())
                throw UsageError{"--today needs a date YYYY-MM-DD"};
            try {
                parsed.today = parseDate(args[++i]);
            } catch (const EngineError&) {
                throw UsageError{"--today: not a valid date: " + args[i]};
            }
        } else if (args[i].starts_with("--")) {
            throw UsageError{"unknown option " + args[i]};
        } else {
            parsed.numbers.push_back(args[i]);
        }
    }
    if (parsed.numbers.size() == 1 || parsed.numbers.size() > 2)
        throw UsageError{"month takes a YEAR and a MONTH, or neither"};
    return parsed;
}

// The machine form reads any 16-bit numbers and lets the engine's errors through, as
// scripts have always seen them.
void readMachineNumbers(const std::vector<std::string>& numbers, MonthGridInput& input) {
    try {
        input.year = text::parseInt16(numbers[0]);
        input.month = text::parseInt16(numbers[1]);
    } catch (const EngineError&) {
        throw UsageError{"YEAR and MONTH must be numbers: " + numbers[0] + " " + numbers[1]};
    }
}

// People get the month checked before the engine sees it.
void readNumbers(const std::vector<std::string>& numbers, MonthGridInput& input) {
    input.year = static_cast<Int16>(parseYear(numbers[0]));
    long long month = 0;
    try {
        month = text::parseInteger(numbers[1], -1'000'000, 1'000'000);
    } catch (const EngineError&) {
        month = 0;
    }
    if (month < 1 || month > 12)
        throw UsageError{"month must be 1-12 (got " + numbers[1] + ")"};
    input.month = static_cast<Int16>(month);
}

void printCells(const MonthGrid& grid, std::ostream& out) {
    for (int i = 0; i < MonthGrid::kCells; ++i) {
        const GridCell& c = grid.cells[static_cast<std::size_t>(i)];
        char colour[16];
        std::snprintf(colour, sizeof colour, "0x%06X", c.colour);
        out << i << '\t' << c.day << '\t' << c.caption << '\t' << colour << '\t'
            << (c.today ? 1 : 0) << '\n';
    }
    const std::pair<std::string_view, const std::string*> titles[] = {
        {"平润年", &grid.leapYearText},     {"生肖", &grid.yearName},
        {"星座C", &grid.starSign},          {"背景年分", &grid.yearWatermark},
        {"背景月份", &grid.monthWatermark}, {"农历年份", &grid.lunarYearText},
        {"农历月份", &grid.lunarMonthText},
    };
    for (const auto& [name, text] : titles)
        out << name << '\t' << *text << '\n';
}

void trimRight(std::string& s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
}

// The grid a page for people shows. As on the control, the lunar lists hold today's lunar
// year and month until a fill changes them; a today beyond the table would leave the year
// name unreadable, so the month's first day stands in then.
MonthGrid pageGrid(const Engine& engine, int year, int month, Date today) {
    MonthGridInput input;
    input.year = static_cast<Int16>(year);
    input.month = static_cast<Int16>(month);
    input.today = today;
    const Date listDay = today >= Engine::kFirstDay && today <= Engine::kLastDay
                             ? today
                             : Date::fromYmd(year, static_cast<unsigned>(month), 1);
    LunarListTexts texts = lunarListTexts(engine.solarToLunarDate(listDay));
    input.lunarYearText = std::move(texts.year);
    input.lunarMonthText = std::move(texts.month);
    MonthGrid grid;
    fillMonthGrid(engine, input, grid);
    return grid;
}

void printWideMonth(int year, int month, const MonthGrid& grid, const PageOptions& options,
                    std::ostream& out) {
    const bool colours = options.colours;
    out << year << "年" << month << "月   农历 " << grid.lunarYearText << "年"
        << grid.lunarMonthText << "月   " << grid.yearName << "   " << grid.leapYearText << "   "
        << grid.starSign << '\n';
    // Columns are weekdays from Sunday, or from Monday; the grid's cells are from Sunday.
    const int shift = options.mondayFirst ? 1 : 0;
    auto weekday = [&](int column) {
        return (column + shift) % 7;
    }; // [0, 6], 0 = Sunday
    auto dayStyle = [&](int column) {
        const int w = weekday(column);
        return w == 0 ? kSunday : w == 6 ? kSaturday : std::string_view();
    };
    const std::string weekGap = options.weekNumbers ? "   " : "";
    std::string_view const weekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
    std::string header = weekGap;
    for (int c = 0; c < 7; ++c)
        header += centred(weekdays[weekday(c)], kColumn, dayStyle(c), colours);
    trimRight(header);
    out << header << '\n';

    const Date first = Date::fromYmd(year, static_cast<unsigned>(month), 1);
    const int firstCell = static_cast<int>(first.weekday()); // the grid's cell of day 1
    const int firstColumn = (firstCell + 7 - shift) % 7;     // [0, 6]
    const int days = static_cast<int>(daysInMonth(year, static_cast<unsigned>(month)));
    for (int row = 0; row * 7 < firstColumn + days; ++row) {
        std::string numbers, captions;
        if (options.weekNumbers) {
            const int d = std::max(1, row * 7 - firstColumn + 1); // the row's first day
            const Date day = first.plusDays(d - 1);
            const int week = options.mondayFirst ? isoWeek(day) : sundayWeek(day);
            numbers += (week < 10 ? " " : "") + std::to_string(week) + " ";
            captions += weekGap;
        }
        for (int c = 0; c < 7; ++c) {
            const int d = row * 7 + c - firstColumn + 1;
            GridCell empty;
            const GridCell& cell = d >= 1 && d <= days
                                       ? grid.cells[static_cast<std::size_t>(firstCell + d - 1)]
                                       : empty;
            const std::string_view style = cell.today ? kToday : dayStyle(c);
            numbers += centred(cell.day, kColumn, style, colours);
            captions += centred(cell.caption, kColumn, captionStyle(cell.colour), colours);
        }
        trimRight(numbers);
        trimRight(captions);
        out << numbers << '\n' << captions << '\n';
    }
}

} // namespace

int wideMonthWidth(const PageOptions& options) {
    return 7 * kColumn + (options.weekNumbers ? 3 : 0);
}

void printMonthPage(const Engine& engine, int year, int month, const PageOptions& options,
                    std::ostream& out) {
    if (options.columns > 0 && options.columns < wideMonthWidth(options)) {
        const std::pair<int, int> months[] = {{year, month}};
        printMonthBlocks(engine, months, {}, true, options, out);
        return;
    }
    printWideMonth(year, month, pageGrid(engine, year, month, options.today), options, out);
}

int runMonth(std::span<const std::string> args, std::ostream& out, const CliOptions& options) {
    const MonthArgs parsed = parseMonthArgs(args);
    const Date today = parsed.today.value_or(options.today);
    Engine engine;
    MonthGridInput input;
    input.year = static_cast<Int16>(today.year());
    input.month = static_cast<Int16>(today.month());
    input.today = today;
    if (parsed.numbers.size() == 2 && parsed.cells)
        readMachineNumbers(parsed.numbers, input);
    else if (parsed.numbers.size() == 2)
        readNumbers(parsed.numbers, input);
    else if (!parsed.cells && (input.year < kFirstListYear || input.year > kLastListYear))
        throw UsageError{"today's year " + std::to_string(input.year) + " lies outside " +
                         listYearRange()};

    if (!parsed.cells) {
        PageOptions page;
        page.today = today;
        page.colours = options.colours;
        page.columns = options.columns.value_or(0);
        printMonthPage(engine, input.year, input.month, page, out);
        return 0;
    }
    // As on the control, the lunar lists hold today's lunar year and month until a fill
    // changes them.
    if (today >= Engine::kFirstDay && today <= Engine::kLastDay) {
        LunarListTexts texts = lunarListTexts(engine.solarToLunarDate(today));
        input.lunarYearText = std::move(texts.year);
        input.lunarMonthText = std::move(texts.month);
    }
    MonthGrid grid;
    fillMonthGrid(engine, input, grid);
    printCells(grid, out);
    return 0;
}

} // namespace kalendo::cli
