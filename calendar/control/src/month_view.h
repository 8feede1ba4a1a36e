// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <bitset>
#include <exception>
#include <functional>
#include <kalendo/engine.h>
#include <kalendo/month_grid.h>
#include <optional>
#include <string>
#include <vector>

namespace kalendo {

// How far a fill got. Its grid is shown only when it completed.
struct FillReport {
    int daysFilled = 0;       // day cells the new grid got before it completed or failed
    bool completed = false;   // the new month is shown
    std::exception_ptr error; // what stopped it
};

// What the control shows and the rules of moving through the months: the four list texts,
// the shown month and its grid, the selected day and the states of the five buttons. The
// control's widgets only show this state and hand the user's actions to it.
//
// Every action either completes or throws an EngineError. One that fails leaves the shown
// month whole (grid and titles), the lists on the texts that belong to it and the buttons
// as they were.
class MonthView {
public:
    enum class List { SolarYear, SolarMonth, LunarYear, LunarMonth };
    enum class Button { PreviousYear, NextYear, PreviousMonth, NextMonth, Today };
    enum class Mouse { Left, Right, Other };
    using Clock = std::function<Date()>;
    static constexpr int kCells = MonthGrid::kCells;

    MonthView(const Engine& engine, Clock today);

    // --- What the control shows ---
    const std::string& text(List list) const { return m_texts[index(list)]; }
    // The entries of a list: "1901" ... "2090", or "01" ... "12".
    static const std::vector<std::string>& entries(List list);
    // The entry that holds the number of the list's text ("4" is "04"), or -1.
    int entryIndex(List list) const;
    bool hasMonth() const { return m_hasMonth; } // false until a fill has completed
    Int16 year() const { return m_year; }        // the shown month
    Int16 month() const { return m_month; }
    const MonthGrid& grid() const { return m_grid; }
    int selectedCell() const { return m_selected; } // -1: none
    bool isEnabled(Button button) const { return m_enabled[index(button)]; }
    bool isRecorded(int cell) const; // 显视记录 marked the cell since the last fill
    // The day a cell of the shown month holds, if any.
    std::optional<Date> cellDate(int cell) const;
    // The days a host marks with events of its own, in whichever month is shown.
    void setMarkedDays(std::vector<Date> days);
    const std::vector<Date>& markedDays() const { return m_marked; }
    bool isMarked(int cell) const;

    // --- Actions ---
    void create(); // the lists on today's year and month, and that month shown
    // Typing changes a list's text and nothing else.
    void type(List list, std::string text);
    // Choosing an entry, or applying a typed text as if it were one.
    void choose(List list, std::string text);
    void press(Button button); // a disabled button ignores it
    void pressDay(int cell, Mouse mouse);
    void showMonth(Int16 year, Int16 month); // the host's fill
    void selectDate(Date date);              // shows the date's month and selects it
    // The selected day, or the shown month's first day.
    Date selectedDate() const;
    void showRecord(int cell);

    // The one fill: (year, month) into a new grid, shown with the list texts of that month
    // when it completes. On failure nothing shown changes and the lists go back to the
    // texts of the shown month.
    FillReport fill(Int16 year, Int16 month);

private:
    static constexpr std::size_t index(List l) { return static_cast<std::size_t>(l); }
    static constexpr std::size_t index(Button b) { return static_cast<std::size_t>(b); }

    // The one reading of a list's text: the strict reading of the fill.
    Int16 number(List list) const;
    bool isBlank(List list) const;
    bool holds(List list, int n) const;
    void setNumber(List list, int n);
    template <class F> void act(F&& action);

    void show(Int16 year, Int16 month); // a fill that throws its error
    void refreshMonth();
    void previousYear();
    void nextYear();
    void previousMonth();
    void nextMonth();
    void today();
    void lunarChoiceToSolar();
    void select(int cell);

    // What each action leaves the buttons in, for the year it showed.
    void buttonsForYear(int year);
    void buttonsAfterPreviousYear(int year);
    void buttonsAfterNextYear(int year);

    const Engine& m_engine;
    Clock m_today;
    std::array<std::string, 4> m_texts;
    std::array<std::string, 4> m_shownTexts; // the texts that belong to the shown month
    bool m_hasMonth = false;
    Int16 m_year = 0;
    Int16 m_month = 0;
    MonthGrid m_grid;
    int m_selected = -1;
    std::array<bool, 5> m_enabled{true, true, true, true, true};
    std::bitset<kCells> m_recorded;
    std::vector<Date> m_marked; // sorted, no repeats
};

} // namespace kalendo
