// SPDX-License-Identifier: MIT
#include "month_view.h"

#include <algorithm>
#include <kalendo/errors.h>
#include <kalendo/text.h>

namespace kalendo {

namespace {

// 上年 stops a year short of the lists' first year: 1901 stays reachable through the list
// and through 上月 from January 1902.
constexpr int kPreviousYearStop = kFirstListYear + 1;
// 今天 works only strictly inside the lists' years.
constexpr int kFirstTodayYear = kFirstListYear + 1;
constexpr int kLastTodayYear = kLastListYear - 1;

} // namespace

MonthView::MonthView(const Engine& engine, Clock today)
    : m_engine(engine)
    , m_today(std::move(today)) {}

const std::vector<std::string>& MonthView::entries(List list) {
    static const std::vector<std::string> years = [] {
        std::vector<std::string> v;
        for (int y = kFirstListYear; y <= kLastListYear; ++y)
            v.push_back(std::to_string(y));
        return v;
    }();
    static const std::vector<std::string> months = [] {
        std::vector<std::string> v;
        for (unsigned m = 1; m <= 12; ++m)
            v.push_back(text::zeroPadded(m, 2));
        return v;
    }();
    return list == List::SolarYear || list == List::LunarYear ? years : months;
}

int MonthView::entryIndex(List list) const {
    const bool years = list == List::SolarYear || list == List::LunarYear;
    const int first = years ? kFirstListYear : 1;
    const int count = static_cast<int>(entries(list).size());
    try {
        const int n = number(list);
        return n >= first && n < first + count ? n - first : -1;
    } catch (const EngineError&) {
        return -1;
    }
}

bool MonthView::isRecorded(int cell) const {
    return cell >= 0 && cell < kCells && m_recorded.test(static_cast<std::size_t>(cell));
}

std::optional<Date> MonthView::cellDate(int cell) const {
    if (!m_hasMonth || cell < 0 || cell >= kCells)
        return std::nullopt;
    const std::string_view day = text::trimBlanks(m_grid.cells[static_cast<std::size_t>(cell)].day);
    if (day.empty())
        return std::nullopt;
    return Date::fromYmd(m_year, static_cast<unsigned>(m_month),
                         static_cast<unsigned>(text::parseInt16(day)));
}

void MonthView::setMarkedDays(std::vector<Date> days) {
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    m_marked = std::move(days);
}

bool MonthView::isMarked(int cell) const {
    const std::optional<Date> date = cellDate(cell);
    return date && std::binary_search(m_marked.begin(), m_marked.end(), *date);
}

Int16 MonthView::number(List list) const {
    return text::parseInt16(text(list));
}

bool MonthView::isBlank(List list) const {
    return text::trimBlanks(text(list)).empty();
}

bool MonthView::holds(List list, int n) const {
    try {
        return number(list) == n;
    } catch (const EngineError&) {
        return false;
    }
}

void MonthView::setNumber(List list, int n) {
    m_texts[index(list)] = std::to_string(n);
}

// Runs an action; a failure puts the lists back on the texts of the shown month.
template <class F> void MonthView::act(F&& action) {
    try {
        action();
    } catch (...) {
        m_texts = m_shownTexts;
        throw;
    }
}

FillReport MonthView::fill(Int16 year, Int16 month) {
    MonthGridInput in;
    in.year = year;
    in.month = month;
    in.today = m_today();
    in.lunarYearText = text(List::LunarYear);
    in.lunarMonthText = text(List::LunarMonth);
    MonthGrid next;
    FillReport report;
    try {
        fillMonthGrid(m_engine, in, next);
    } catch (...) {
        report.daysFilled = next.daysFilled;
        report.error = std::current_exception();
        m_texts = m_shownTexts;
        return report;
    }
    report.daysFilled = next.daysFilled;
    report.completed = true;

    m_grid = std::move(next);
    m_hasMonth = true;
    m_year = year;
    m_month = month;
    m_selected = -1;
    m_recorded.reset();
    // The lists name the shown month; a text that already does ("04" for April) stays.
    if (!holds(List::SolarYear, year))
        setNumber(List::SolarYear, year);
    if (!holds(List::SolarMonth, month))
        setNumber(List::SolarMonth, month);
    m_texts[index(List::LunarYear)] = m_grid.lunarYearText;
    m_texts[index(List::LunarMonth)] = m_grid.lunarMonthText;
    m_shownTexts = m_texts;
    return report;
}

void MonthView::show(Int16 year, Int16 month) {
    const FillReport report = fill(year, month);
    if (!report.completed)
        std::rethrow_exception(report.error);
}

void MonthView::create() {
    const Date t = m_today();
    setNumber(List::SolarYear, t.year());
    setNumber(List::SolarMonth, static_cast<int>(t.month()));
    m_shownTexts = m_texts;
    show(checkedInt16(t.year()), static_cast<Int16>(t.month()));
}

void MonthView::type(List list, std::string text) {
    m_texts[index(list)] = std::move(text);
}

void MonthView::choose(List list, std::string chosen) {
    act([&] {
        m_texts[index(list)] = std::move(chosen);
        switch (list) {
        case List::SolarYear:
            refreshMonth();
            break;
        case List::SolarMonth:
            if (!isBlank(List::SolarYear) && !isBlank(List::SolarMonth))
                show(number(List::SolarYear), number(List::SolarMonth));
            break;
        case List::LunarYear:
            lunarChoiceToSolar();
            refreshMonth();
            break;
        case List::LunarMonth:
            lunarChoiceToSolar();
            show(number(List::SolarYear), number(List::SolarMonth));
            break;
        }
    });
}

void MonthView::press(Button button) {
    if (!isEnabled(button))
        return;
    act([&] {
        switch (button) {
        case Button::PreviousYear:
            previousYear();
            break;
        case Button::NextYear:
            nextYear();
            break;
        case Button::PreviousMonth:
            previousMonth();
            break;
        case Button::NextMonth:
            nextMonth();
            break;
        case Button::Today:
            today();
            break;
        }
    });
}

void MonthView::showMonth(Int16 year, Int16 month) {
    act([&] {
        show(year, month);
        buttonsForYear(year);
    });
}

void MonthView::refreshMonth() {
    if (isBlank(List::SolarYear) || isBlank(List::SolarMonth))
        return; // nothing to show yet
    const Int16 y = number(List::SolarYear);
    show(y, number(List::SolarMonth));
    buttonsForYear(y);
}

void MonthView::previousYear() {
    const Int16 y = sub16(number(List::SolarYear), 1);
    const Int16 m = number(List::SolarMonth);
    setNumber(List::SolarYear, y);
    show(y, m);
    buttonsAfterPreviousYear(y);
}

void MonthView::nextYear() {
    const Int16 y = add16(number(List::SolarYear), 1);
    const Int16 m = number(List::SolarMonth);
    setNumber(List::SolarYear, y);
    show(y, m);
    buttonsAfterNextYear(y);
}

void MonthView::previousMonth() {
    Int16 y = number(List::SolarYear);
    Int16 m = sub16(number(List::SolarMonth), 1);
    if (!isEnabled(Button::PreviousYear) && m <= 0) {
        m_enabled[index(Button::PreviousMonth)] = false;
        return;
    }
    const bool yearBack = m == 0; // 上年 is enabled here
    if (yearBack) {
        m = 12;
        y = sub16(y, 1);
        setNumber(List::SolarYear, y);
    }
    setNumber(List::SolarMonth, m);
    show(y, m); // once, for the new year's month
    if (yearBack)
        buttonsAfterPreviousYear(y);
    m_enabled[index(Button::NextMonth)] = true;
}

void MonthView::nextMonth() {
    Int16 y = number(List::SolarYear);
    Int16 m = add16(number(List::SolarMonth), 1);
    if (!isEnabled(Button::NextYear) && m > 12) {
        m_enabled[index(Button::NextMonth)] = false;
        return;
    }
    const bool yearOn = m == 13; // 下年 is enabled here
    if (yearOn) {
        m = 1;
        y = add16(y, 1);
        setNumber(List::SolarYear, y);
    }
    setNumber(List::SolarMonth, m);
    show(y, m);
    if (yearOn)
        buttonsAfterNextYear(y);
    m_enabled[index(Button::PreviousMonth)] = true;
}

void MonthView::today() {
    const Date t = m_today();
    if (t.year() < kFirstTodayYear || t.year() > kLastTodayYear)
        return;
    setNumber(List::SolarYear, t.year());
    setNumber(List::SolarMonth, static_cast<int>(t.month()));
    show(static_cast<Int16>(t.year()), static_cast<Int16>(t.month()));
    buttonsForYear(t.year());
}

void MonthView::lunarChoiceToSolar() {
    // The lunar day is today's day of the month; the conversion works on copies.
    Int16 ly = number(List::LunarYear);
    Int16 lm = number(List::LunarMonth);
    Int16 ld = static_cast<Int16>(m_today().day());
    const Date g = m_engine.lunarToSolarDate(ly, lm, ld);
    setNumber(List::SolarMonth, static_cast<int>(g.month()));
    setNumber(List::SolarYear, g.year());
}

void MonthView::buttonsForYear(int year) {
    m_enabled[index(Button::PreviousYear)] = year > kFirstListYear;
    m_enabled[index(Button::NextYear)] = year < kLastListYear;
    // The month buttons disable themselves only at the lists' ends, with the year button
    // already off; a year shown anew lets them move again.
    m_enabled[index(Button::PreviousMonth)] = true;
    m_enabled[index(Button::NextMonth)] = true;
}

void MonthView::buttonsAfterPreviousYear(int year) {
    buttonsForYear(year);
    if (year <= kPreviousYearStop)
        m_enabled[index(Button::PreviousYear)] = false;
    m_enabled[index(Button::NextYear)] = true;
}

void MonthView::buttonsAfterNextYear(int year) {
    buttonsForYear(year);
    m_enabled[index(Button::PreviousYear)] = true;
}

void MonthView::pressDay(int cell, Mouse mouse) {
    if (cell < 0 || cell >= kCells || mouse == Mouse::Other)
        return;
    if (text::trimBlanks(m_grid.cells[static_cast<std::size_t>(cell)].day).empty())
        return; // an empty cell
    act([&] { select(cell); });
}

void MonthView::select(int cell) {
    const std::string& day = m_grid.cells[static_cast<std::size_t>(cell)].day;
    const Date date = Date::fromYmd(m_year, static_cast<unsigned>(m_month),
                                    static_cast<unsigned>(text::parseInt16(day)));
    std::string sign = m_engine.starSign(date);
    LunarListTexts lunar = lunarListTexts(m_engine.solarToLunarDate(date));
    m_selected = cell;
    m_grid.starSign = std::move(sign);
    m_texts[index(List::LunarYear)] = m_shownTexts[index(List::LunarYear)] = lunar.year;
    m_texts[index(List::LunarMonth)] = m_shownTexts[index(List::LunarMonth)] = lunar.month;
}

void MonthView::selectDate(Date date) {
    // Only a day the lists can show is taken; anything else changes nothing.
    if (date.year() < kFirstListYear || date.year() > kLastListYear)
        throw EngineError(Error::InvalidPropertyValue);
    act([&] {
        setNumber(List::SolarYear, date.year());
        setNumber(List::SolarMonth, static_cast<int>(date.month()));
        refreshMonth();
        const std::string day = std::to_string(date.day());
        for (int i = 0; i < kCells; ++i)
            if (m_grid.cells[static_cast<std::size_t>(i)].day == day)
                return select(i);
    });
}

Date MonthView::selectedDate() const {
    if (!m_hasMonth)
        throw InvalidCallError("no month is shown");
    const int day =
        m_selected < 0 ? 1 : text::parseInt16(m_grid.cells[std::size_t(m_selected)].day);
    return Date::fromYmd(m_year, static_cast<unsigned>(m_month), static_cast<unsigned>(day));
}

void MonthView::showRecord(int cell) {
    if (cell < 0 || cell >= kCells)
        throw EngineError(Error::NoSuchElement, std::to_string(cell));
    m_recorded.set(static_cast<std::size_t>(cell));
}

} // namespace kalendo
