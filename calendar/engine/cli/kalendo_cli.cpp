#include "kalendo_cli.h"

#include "kalendo/dispatch.h"
#include "kalendo/errors.h"
#include "kalendo/month_grid.h"
#include "kalendo/text.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace kalendo {

namespace {

constexpr std::string_view kUsage =
    "usage: kalendo month [YEAR MONTH] [--today YYYY-MM-DD] [--cells]\n"
    "       kalendo call MEMBER [ARG...]\n";

struct UsageError {
    std::string message;
};

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

std::string centred(std::string_view text, int width) {
    const int pad = std::max(0, width - displayWidth(text));
    return std::string(static_cast<std::size_t>(pad / 2), ' ') + std::string(text) +
           std::string(static_cast<std::size_t>(pad - pad / 2), ' ');
}

std::string foreground(std::uint32_t bgr) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "\x1b[38;2;%u;%u;%um", bgr & 0xFF, (bgr >> 8) & 0xFF,
                  (bgr >> 16) & 0xFF);
    return buf;
}

std::string painted(const std::string& text, std::string_view style, bool colours) {
    if (!colours || style.empty())
        return text;
    return std::string(style) + text + "\x1b[0m";
}

struct MonthArgs {
    std::optional<Int16> year, month;
    std::optional<Date> today;
    bool cells = false;
};

MonthArgs parseMonthArgs(std::span<const std::string> args) {
    MonthArgs parsed;
    std::vector<std::string> numbers;
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
            numbers.push_back(args[i]);
        }
    }
    if (numbers.size() == 1 || numbers.size() > 2)
        throw UsageError{"month takes a YEAR and a MONTH, or neither"};
    if (numbers.size() == 2) {
        try {
            parsed.year = text::parseInt16(numbers[0]);
            parsed.month = text::parseInt16(numbers[1]);
        } catch (const EngineError&) {
            throw UsageError{"YEAR and MONTH must be numbers: " + numbers[0] + " " + numbers[1]};
        }
    }
    return parsed;
}

int runMonth(std::span<const std::string> args, std::ostream& out, const CliOptions& options) {
    const MonthArgs parsed = parseMonthArgs(args);
    const Date today = parsed.today.value_or(options.today);
    Engine engine;
    MonthGridInput input;
    input.year = parsed.year.value_or(static_cast<Int16>(today.year()));
    input.month = parsed.month.value_or(static_cast<Int16>(today.month()));
    input.today = today;
    // As on the control, the lunar lists hold today's lunar year and month until a fill
    // changes them.
    if (today >= Engine::kFirstDay && today <= Engine::kLastDay) {
        LunarListTexts texts = lunarListTexts(engine.solarToLunarDate(today));
        input.lunarYearText = std::move(texts.year);
        input.lunarMonthText = std::move(texts.month);
    }
    MonthGrid grid;
    fillMonthGrid(engine, input, grid);

    const std::pair<std::string_view, const std::string*> titles[] = {
        {"平润年", &grid.leapYearText},     {"生肖", &grid.yearName},
        {"星座C", &grid.starSign},          {"背景年分", &grid.yearWatermark},
        {"背景月份", &grid.monthWatermark}, {"农历年份", &grid.lunarYearText},
        {"农历月份", &grid.lunarMonthText},
    };
    if (parsed.cells) {
        for (int i = 0; i < MonthGrid::kCells; ++i) {
            const GridCell& c = grid.cells[static_cast<std::size_t>(i)];
            char colour[16];
            std::snprintf(colour, sizeof colour, "0x%06X", c.colour);
            out << i << '\t' << c.day << '\t' << c.caption << '\t' << colour << '\t'
                << (c.today ? 1 : 0) << '\n';
        }
        for (const auto& [name, text] : titles)
            out << name << '\t' << *text << '\n';
        return 0;
    }

    constexpr int kColumn = 12;
    const bool colours = options.colours;
    out << input.year << "年" << input.month << "月   农历 " << grid.lunarYearText << "年"
        << grid.lunarMonthText << "月   " << grid.yearName << "   " << grid.leapYearText << "   "
        << grid.starSign << '\n';
    std::string_view const weekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
    for (int c = 0; c < 7; ++c) {
        std::string const style = c == 0   ? foreground(0x0000FF)
                                  : c == 6 ? foreground(0xFF0000)
                                           : "";
        std::string text = centred(weekdays[c], kColumn);
        if (c == 6)
            text.erase(text.find_last_not_of(' ') + 1);
        out << painted(text, style, colours);
    }
    out << '\n';
    for (int row = 0; row * 7 < MonthGrid::kCells; ++row) {
        std::string numbers, captions;
        bool any = false;
        for (int c = 0; c < 7 && row * 7 + c < MonthGrid::kCells; ++c) {
            const GridCell& cell = grid.cells[static_cast<std::size_t>(row * 7 + c)];
            any = any || !cell.day.empty();
            std::string style = c == 0 ? foreground(0x0000FF) : c == 6 ? foreground(0xFF0000) : "";
            if (cell.today)
                style = "\x1b[30;48;2;0;255;255m";
            numbers += painted(centred(cell.day, kColumn), cell.day.empty() ? "" : style, colours);
            captions +=
                painted(centred(cell.caption, kColumn),
                        cell.colour == colour::kBlack ? "" : foreground(cell.colour), colours);
        }
        if (!any)
            continue;
        while (!numbers.empty() && numbers.back() == ' ')
            numbers.pop_back();
        while (!captions.empty() && captions.back() == ' ')
            captions.pop_back();
        out << numbers << '\n' << captions << '\n';
    }
    return 0;
}

std::string argumentList(const MemberInfo& m) {
    std::string list;
    for (const ParamInfo& p : m.params)
        list += (list.empty() ? "" : ", ") + std::string(p.name);
    return list;
}

int runCall(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        throw UsageError{"call needs a MEMBER"};
    const MemberInfo* member = findEngineMember(args[0]);
    if (member == nullptr) {
        err << "error 438: no member named " << args[0] << '\n';
        return 2;
    }
    const std::span<const std::string> given = args.subspan(1);
    if (given.size() != member->params.size()) {
        err << "error 450: " << member->name << " takes " << member->params.size()
            << " argument(s) (" << argumentList(*member) << "), " << given.size() << " given\n";
        return 2;
    }
    std::vector<Value> values;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const ParamInfo& p = member->params[i];
        try {
            switch (p.kind) {
            case ParamKind::Integer16:
                values.emplace_back(static_cast<long long>(toInt16(given[i])));
                break;
            case ParamKind::Integer32:
                values.emplace_back(static_cast<long long>(toInt32(given[i])));
                break;
            case ParamKind::Date:
                values.emplace_back(parseDateTime(given[i]));
                break;
            case ParamKind::Text:
                values.emplace_back(given[i]);
                break;
            }
        } catch (const EngineError& e) {
            err << "error " << e.number() << ": " << e.what() << ": argument " << p.name << " ("
                << given[i] << ")"
                << (p.kind == ParamKind::Date ? " is not a date like 2008-4-23"
                                              : " is not a 16-bit number")
                << '\n';
            return 2;
        }
    }
    const std::vector<Value> before = values;
    Engine engine;
    Value result;
    try {
        result = callEngineMember(engine, member->name, values);
    } catch (const EngineError& e) {
        err << "error " << e.number() << ": " << e.what() << '\n';
        return 2;
    }
    out << toText(result) << '\n';
    for (std::size_t i = 0; i < values.size(); ++i)
        if (member->params[i].byRef && values[i] != before[i])
            out << member->params[i].name << '=' << toText(values[i]) << '\n';
    return 0;
}

} // namespace

int displayWidth(std::string_view utf8) {
    int width = 0;
    for (std::size_t pos = 0; pos < utf8.size();)
        width += isWide(text::decodeCharacter(utf8, pos)) ? 2 : 1;
    return width;
}

int runKalendo(std::span<const std::string> args, std::ostream& out, std::ostream& err,
               const CliOptions& options) {
    try {
        if (args.empty())
            throw UsageError{"missing command"};
        if (args[0] == "--help" || args[0] == "-h") {
            out << kUsage;
            return 0;
        }
        if (args[0] == "month")
            return runMonth(args.subspan(1), out, options);
        if (args[0] == "call")
            return runCall(args.subspan(1), out, err);
        throw UsageError{"unknown command " + args[0]};
    } catch (const UsageError& e) {
        err << "kalendo: " << e.message << '\n' << kUsage;
    } catch (const EngineError& e) {
        err << "error " << e.number() << ": " << e.what() << '\n';
    }
    return 2;
}

} // namespace kalendo
