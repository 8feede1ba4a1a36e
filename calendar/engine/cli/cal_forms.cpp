// SPDX-License-Identifier: MIT
// kalendo read as cal: `kalendo 2026`, `kalendo 2 2026`, `kalendo 2026 2`, -1, -3, -y, -m, -w.
#include "commands.h"
#include "kalendo/text.h"

#include <optional>

namespace kalendo::cli {

namespace {

struct CalendarArgs {
    enum class Span { Default, One, Three, Year } span = Span::Default;
    bool mondayFirst = false;
    bool weekNumbers = false;
    std::vector<std::string> numbers;
};

constexpr const char* kKnownOptions = " (known: -1, -3, -y, -m, -w)";

CalendarArgs readArgs(std::span<const std::string> args) {
    CalendarArgs parsed;
    for (const std::string& arg : args) {
        if (arg == "--monday") {
            parsed.mondayFirst = true;
        } else if (arg == "--week") {
            parsed.weekNumbers = true;
        } else if (arg == "--year") {
            parsed.span = CalendarArgs::Span::Year;
        } else if (arg.size() >= 2 && arg[0] == '-' && arg[1] != '-') {
            // Short options, alone or together (-3mw); a negative number is none.
            if (arg != "-1" && arg != "-3" && arg.find_first_not_of("0123456789", 1) == arg.npos)
                throw UsageError{"unknown option " + arg + kKnownOptions};
            for (const char c : std::string_view(arg).substr(1)) {
                switch (c) {
                case '1':
                    parsed.span = CalendarArgs::Span::One;
                    break;
                case '3':
                    parsed.span = CalendarArgs::Span::Three;
                    break;
                case 'y':
                    parsed.span = CalendarArgs::Span::Year;
                    break;
                case 'm':
                    parsed.mondayFirst = true;
                    break;
                case 'w':
                    parsed.weekNumbers = true;
                    break;
                default:
                    throw UsageError{"unknown option -" + std::string(1, c) + kKnownOptions};
                }
            }
        } else if (arg.starts_with("--")) {
            throw UsageError{"unknown option " + arg + kKnownOptions};
        } else {
            parsed.numbers.push_back(arg);
        }
    }
    if (parsed.numbers.size() > 2)
        throw UsageError{"too many arguments: give YEAR, MONTH YEAR, YEAR MONTH or nothing"};
    return parsed;
}

// The number an argument holds, if it is one.
std::optional<long long> numberIn(std::string_view text) {
    try {
        return text::parseInteger(text, -1'000'000'000, 1'000'000'000);
    } catch (const EngineError&) {
        return std::nullopt;
    }
}

bool isYear(std::optional<long long> n) {
    return n && *n >= kFirstListYear && *n <= kLastListYear;
}
bool isMonth(std::optional<long long> n) {
    return n && *n >= 1 && *n <= 12;
}

std::string yearError(std::string_view got) {
    return "year must be " + listYearRange() + " (got " + std::string(got) + ")";
}

} // namespace

bool isCalendarForm(std::span<const std::string> args) {
    if (args.empty())
        return true;
    const std::string& first = args[0];
    if (first == "-h" || first == "--help" || first == "--version")
        return false;
    if (first.starts_with("-"))
        return true;
    return !first.empty() && first.find_first_not_of("0123456789") == std::string::npos;
}

int runCalendar(std::span<const std::string> args, std::ostream& out, const CliOptions& options) {
    const CalendarArgs parsed = readArgs(args);
    PageOptions page;
    page.today = options.today;
    page.colours = options.colours;
    page.mondayFirst = parsed.mondayFirst;
    page.weekNumbers = parsed.weekNumbers;
    page.columns = options.columns.value_or(0);

    const int thisYear = options.today.year();
    int year = thisYear;
    int month = static_cast<int>(options.today.month());
    bool yearGiven = false;
    if (parsed.numbers.size() == 1) {
        const std::string& arg = parsed.numbers[0];
        const std::optional<long long> n = numberIn(arg);
        if (!isYear(n)) {
            if (!n)
                throw UsageError{"year must be a number " + listYearRange() + ", not '" + arg +
                                 "'"};
            std::string message = yearError(arg);
            if (isMonth(n))
                message += "; did you mean `kalendo " + arg + " " + std::to_string(thisYear) + "`?";
            throw UsageError{message};
        }
        year = static_cast<int>(*n);
        yearGiven = true;
    } else if (parsed.numbers.size() == 2) {
        const std::string& a = parsed.numbers[0];
        const std::string& b = parsed.numbers[1];
        const std::optional<long long> na = numberIn(a), nb = numberIn(b);
        if (isYear(na) && isMonth(nb)) { // YEAR MONTH
            year = static_cast<int>(*na);
            month = static_cast<int>(*nb);
        } else if (isMonth(na) && isYear(nb)) { // cal's MONTH YEAR
            month = static_cast<int>(*na);
            year = static_cast<int>(*nb);
        } else if (isYear(na)) {
            throw UsageError{"month must be 1-12 (got " + b + ")"};
        } else if (isMonth(na)) {
            std::string message = yearError(b);
            if (isMonth(nb))
                message += "; did you mean `kalendo " + a + " " + std::to_string(thisYear) + "`?";
            throw UsageError{message};
        } else if (isYear(nb)) {
            throw UsageError{"month must be 1-12 (got " + a + ")"};
        } else {
            throw UsageError{yearError(a) + ", and a month 1-12 goes with it"};
        }
    } else if (thisYear < kFirstListYear || thisYear > kLastListYear) {
        throw UsageError{"today's year " + std::to_string(thisYear) + " lies outside " +
                         listYearRange() + "; give a year"};
    }

    using Span = CalendarArgs::Span;
    const Span span = parsed.span != Span::Default ? parsed.span
                      : yearGiven                  ? Span::Year
                                                   : Span::One;
    const Engine engine;
    switch (span) {
    case Span::Year:
        printYearPage(engine, year, page, out);
        break;
    case Span::Three: {
        std::vector<std::pair<int, int>> months;
        for (int offset = -1; offset <= 1; ++offset) {
            const int index = year * 12 + (month - 1) + offset; // months since year 0
            const int y = index / 12, m = index % 12 + 1;
            if (y >= kFirstListYear && y <= kLastListYear)
                months.emplace_back(y, m);
        }
        printMonthBlocks(engine, months, {}, true, page, out);
        break;
    }
    default:
        printMonthPage(engine, year, month, page, out);
    }
    return 0;
}

} // namespace kalendo::cli
