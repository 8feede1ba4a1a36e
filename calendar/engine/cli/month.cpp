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

// The terminal's own palette, so that each theme keeps the colours readable: a fixed dark
// blue disappears on black.
constexpr std::string_view kSunday = "\x1b[91m";
constexpr std::string_view kSaturday = "\x1b[94m";
constexpr std::string_view kToday = "\x1b[1;7m";

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
        throw UsageError{"month must be 1-12 (got " + numbers[1] + ")", false};
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

void printMonth(const MonthGridInput& input, const MonthGrid& grid, bool colours,
                std::ostream& out) {
    out << input.year << "年" << input.month << "月   农历 " << grid.lunarYearText << "年"
        << grid.lunarMonthText << "月   " << grid.yearName << "   " << grid.leapYearText << "   "
        << grid.starSign << '\n';
    auto dayStyle = [](int column) {
        return column == 0 ? kSunday : column == 6 ? kSaturday : std::string_view();
    };
    std::string_view const weekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
    std::string header;
    for (int c = 0; c < 7; ++c)
        header += centred(weekdays[c], kColumn, dayStyle(c), colours);
    trimRight(header);
    out << header << '\n';
    for (int row = 0; row * 7 < MonthGrid::kCells; ++row) {
        std::string numbers, captions;
        bool any = false;
        for (int c = 0; c < 7 && row * 7 + c < MonthGrid::kCells; ++c) {
            const GridCell& cell = grid.cells[static_cast<std::size_t>(row * 7 + c)];
            any = any || !cell.day.empty();
            const std::string_view style = cell.today ? kToday : dayStyle(c);
            numbers += centred(cell.day, kColumn, style, colours);
            captions += centred(cell.caption, kColumn, captionStyle(cell.colour), colours);
        }
        if (!any)
            continue;
        trimRight(numbers);
        trimRight(captions);
        out << numbers << '\n' << captions << '\n';
    }
}

} // namespace

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
                             listYearRange(),
                         false};

    // As on the control, the lunar lists hold today's lunar year and month until a fill
    // changes them.
    std::optional<Date> listDay;
    if (today >= Engine::kFirstDay && today <= Engine::kLastDay)
        listDay = today;
    else if (!parsed.cells) // a today beyond the table would leave the year name unreadable
        listDay = Date::fromYmd(input.year, static_cast<unsigned>(input.month), 1);
    if (listDay) {
        LunarListTexts texts = lunarListTexts(engine.solarToLunarDate(*listDay));
        input.lunarYearText = std::move(texts.year);
        input.lunarMonthText = std::move(texts.month);
    }
    MonthGrid grid;
    fillMonthGrid(engine, input, grid);
    if (parsed.cells)
        printCells(grid, out);
    else
        printMonth(input, grid, options.colours, out);
    return 0;
}

} // namespace kalendo::cli
