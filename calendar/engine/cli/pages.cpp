// SPDX-License-Identifier: MIT
// The calendar pages as cal users know them: a year, three months, a month, in compact
// blocks of 20 columns, and the reading of cal's arguments.
#include "commands.h"
#include "kalendo/errors.h"
#include "kalendo/lunar.h"
#include "kalendo/month_grid.h"
#include "kalendo/text.h"

#include <algorithm>

namespace kalendo::cli {

namespace {

constexpr int kSlot = 3;       // a day: two digits and a blank
constexpr int kWeekColumn = 3; // "NN " before each week
constexpr int kOverhang = 2;   // a lunar label may run this far past the block's last day
constexpr int kGap = 2;        // between blocks

// A line being laid out in display columns: text goes at a column, blanks fill the rest.
class Line {
public:
    // Puts `text` (display width `width`) at column `at`, styled when colours are on.
    void put(int at, std::string_view text, int width, std::string_view style, bool colours) {
        if (at > m_width)
            m_text.append(static_cast<std::size_t>(at - m_width), ' ');
        if (colours && !style.empty())
            m_text.append(style).append(text).append(kPlain);
        else
            m_text.append(text);
        m_width = std::max(m_width, at) + width;
    }
    void put(int at, std::string_view text, std::string_view style = {}, bool colours = false) {
        put(at, text, displayWidth(text), style, colours);
    }
    int width() const { return m_width; }
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
    int m_width = 0;
};

// A block's lines, each laid out from column 0.
using Block = std::vector<Line>;

struct Label {
    std::string text;
    std::string_view style;
    int rank = 0; // where two labels collide, the higher rank is shown
};

// What the compact lunar line says of a day, if anything: a lunar festival, a solar term,
// the start of a lunar month. The Gregorian festivals are too many for a 20-column block.
std::optional<Label> lunarLabel(const Engine& engine, Date date) {
    const LunarDate lunar = LunarDate::fromSolar(date);
    for (const Festival& f : festivalsOn(engine, date, lunar))
        if (f.kind == FestivalKind::Lunar)
            return Label{f.names, captionStyle(colour::kLunarFestival), 4};
    // A leap month is rare enough to stand before a solar term beside it.
    if (lunar.day == 1 && lunar.leap)
        return Label{lunar.monthName(), captionStyle(colour::kLunarMonth), 3};
    const std::string term(text::trimBlanks(engine.solarTermOn(date)));
    if (!term.empty())
        return Label{term, captionStyle(colour::kSolarTerm), 2};
    if (lunar.day == 1)
        return Label{lunar.monthName(), captionStyle(colour::kLunarMonth), 1};
    return std::nullopt;
}

int blockWidth(const PageOptions& options) {
    return 7 * kSlot - 1 + (options.weekNumbers ? kWeekColumn : 0);
}

// The weeks a month's days take with the page's first weekday.
int weeksOf(int year, int month, const PageOptions& options) {
    const Date first = Date::fromYmd(year, static_cast<unsigned>(month), 1);
    const int firstColumn =
        (static_cast<int>(first.weekday()) + 7 - (options.mondayFirst ? 1 : 0)) % 7;
    return (firstColumn + static_cast<int>(daysInMonth(year, static_cast<unsigned>(month))) + 6) /
           7;
}

Block monthBlock(const Engine& engine, int year, int month, int rows, bool yearInTitle,
                 bool lunarLine, const PageOptions& options) {
    const bool colours = options.colours;
    const int left = options.weekNumbers ? kWeekColumn : 0;
    const int width = blockWidth(options);
    Block block;

    const std::string title =
        (yearInTitle ? std::to_string(year) + "年" : std::string()) + std::to_string(month) + "月";
    Line titleLine;
    titleLine.put(left + (width - left - displayWidth(title)) / 2, title);
    block.push_back(titleLine);

    const int shift = options.mondayFirst ? 1 : 0;
    std::string_view const weekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
    auto weekendStyle = [](int weekday) {
        return weekday == 0 ? kSunday : weekday == 6 ? kSaturday : std::string_view();
    };
    Line header;
    for (int c = 0; c < 7; ++c) {
        const int w = (c + shift) % 7;
        header.put(left + c * kSlot, weekdays[w], weekendStyle(w), colours);
    }
    block.push_back(header);

    const Date first = Date::fromYmd(year, static_cast<unsigned>(month), 1);
    const int firstColumn = (static_cast<int>(first.weekday()) + 7 - shift) % 7; // [0, 6]
    const int days = static_cast<int>(daysInMonth(year, static_cast<unsigned>(month)));
    for (int row = 0; row < rows; ++row) {
        Line numbers;
        const int rowFirst = row * 7 - firstColumn + 1; // the day in column 0, may be < 1
        if (rowFirst + 6 >= 1 && rowFirst <= days && options.weekNumbers) {
            const Date day = first.plusDays(std::max(1, rowFirst) - 1);
            const int week = options.mondayFirst ? isoWeek(day) : sundayWeek(day);
            numbers.put(0, (week < 10 ? " " : "") + std::to_string(week));
        }
        struct Placed {
            int at, width, day;
            Label label;
        };
        std::vector<Placed> candidates;
        for (int c = 0; c < 7; ++c) {
            const int d = rowFirst + c;
            if (d < 1 || d > days)
                continue;
            const Date date = first.plusDays(d - 1);
            const std::string number = (d < 10 ? " " : "") + std::to_string(d);
            const bool today = date == options.today;
            numbers.put(left + c * kSlot, number,
                        today ? kToday : weekendStyle(static_cast<int>(date.weekday())), colours);
            if (!lunarLine)
                continue;
            if (std::optional<Label> label = lunarLabel(engine, date)) {
                const int at = left + c * kSlot;
                const int labelWidth = displayWidth(label->text);
                if (at + labelWidth <= width + kOverhang) // else the day keeps its number alone
                    candidates.push_back({at, labelWidth, d, std::move(*label)});
            }
        }
        block.push_back(numbers);
        if (!lunarLine)
            continue;
        // Labels wider than a day collide with their neighbours': the higher rank stays, and
        // of two alike the later (春节 over 除夕).
        std::sort(candidates.begin(), candidates.end(), [](const Placed& a, const Placed& b) {
            return a.label.rank != b.label.rank ? a.label.rank > b.label.rank : a.day > b.day;
        });
        std::vector<Placed> placed;
        for (Placed& p : candidates) {
            const bool clear = std::none_of(placed.begin(), placed.end(), [&](const Placed& q) {
                return p.at < q.at + q.width + 1 && q.at < p.at + p.width + 1;
            });
            if (clear)
                placed.push_back(std::move(p));
        }
        std::sort(placed.begin(), placed.end(),
                  [](const Placed& a, const Placed& b) { return a.at < b.at; });
        Line labels;
        for (const Placed& p : placed)
            labels.put(p.at, p.label.text, p.width, p.label.style, colours);
        block.push_back(labels);
    }
    return block;
}

std::string trimmedRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

int isoWeek(Date date) {
    // The week belongs to the year of its Thursday.
    const int fromMonday = (static_cast<int>(date.weekday()) + 6) % 7; // [0, 6]
    const Date thursday = date.plusDays(3 - fromMonday);
    const int dayOfYear = thursday.serial() - Date::fromYmd(thursday.year(), 1, 1).serial();
    return dayOfYear / 7 + 1; // [1, 53]
}

int sundayWeek(Date date) {
    const Date january1 = Date::fromYmd(date.year(), 1, 1);
    const int dayOfYear = date.serial() - january1.serial();
    return (dayOfYear + static_cast<int>(january1.weekday())) / 7 + 1; // [1, 54]
}

void printMonthBlocks(const Engine& engine, std::span<const std::pair<int, int>> months,
                      std::string_view title, bool yearInBlockTitles, const PageOptions& options,
                      std::ostream& out) {
    const int width = blockWidth(options);
    const int columns = options.columns > 0 ? options.columns : 1 << 20;
    // The lunar line needs its overhang; without room for it, the numbers alone.
    const bool lunarLine = columns >= width + kOverhang;
    const int blockColumns = width + (lunarLine ? kOverhang : 0);
    const int abreast = std::clamp((columns + kGap) / (blockColumns + kGap), 1,
                                   std::min<int>(3, int(months.size())));
    const int pageWidth = abreast * blockColumns + (abreast - 1) * kGap;

    if (!title.empty()) {
        const int titleWidth = displayWidth(title);
        out << std::string(static_cast<std::size_t>(std::max(0, (pageWidth - titleWidth) / 2)), ' ')
            << title << "\n\n";
    }
    for (std::size_t i = 0; i < months.size(); i += static_cast<std::size_t>(abreast)) {
        const std::size_t end = std::min(months.size(), i + std::size_t(abreast));
        int rows = 0; // the weeks of the longest month in the row, so that all line up
        for (std::size_t j = i; j < end; ++j)
            rows = std::max(rows, weeksOf(months[j].first, months[j].second, options));
        std::vector<Block> row;
        for (std::size_t j = i; j < end; ++j)
            row.push_back(monthBlock(engine, months[j].first, months[j].second, rows,
                                     yearInBlockTitles, lunarLine, options));
        if (i > 0)
            out << '\n';
        for (std::size_t l = 0; l < row.front().size(); ++l) {
            Line line;
            for (std::size_t b = 0; b < row.size(); ++b) {
                const int at = static_cast<int>(b) * (blockColumns + kGap);
                const Line& part = row[b][l];
                line.put(at, part.text(), part.width(), {}, false);
            }
            out << trimmedRight(line.text()) << '\n';
        }
    }
}

void printYearPage(const Engine& engine, int year, const PageOptions& options, std::ostream& out) {
    std::vector<std::pair<int, int>> months;
    for (int m = 1; m <= 12; ++m)
        months.emplace_back(year, m);
    // The lunar year that begins in this Gregorian year, and its first day, as far as the
    // width allows.
    const LunarDate newYear{year, 1, 1, false};
    const Date first = newYear.toSolar();
    const std::string yearTitle = std::to_string(year) + "年";
    const std::string lunarYear =
        yearTitle + "  " + newYear.yearStemBranch() + newYear.zodiacAnimal() + "年";
    std::string title = lunarYear + " 正月初一 " + std::to_string(first.month()) + "月" +
                        std::to_string(first.day()) + "日";
    for (const std::string& shorter : {lunarYear, yearTitle})
        if (options.columns > 0 && displayWidth(title) > options.columns)
            title = shorter;
    printMonthBlocks(engine, months, title, false, options, out);
}

} // namespace kalendo::cli
