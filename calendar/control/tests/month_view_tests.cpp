// SPDX-License-Identifier: MIT
// The rules of the month view, without a window.
#include "month_view.h"

#include <gtest/gtest.h>
#include <kalendo/errors.h>

namespace kalendo {
namespace {

using List = MonthView::List;
using Button = MonthView::Button;
using Mouse = MonthView::Mouse;

class MonthViewTest : public ::testing::Test {
protected:
    Engine engine;
    Date today = Date::fromYmd(2008, 4, 23);
    int clockReads = 0; // a fill reads the clock once
    MonthView view{engine, [this] {
                       ++clockReads;
                       return today;
                   }};

    void SetUp() override { view.create(); }

    std::string shown() const {
        return view.text(List::SolarYear) + "-" + view.text(List::SolarMonth);
    }
    int cellOf(int day) const {
        for (int i = 0; i < MonthView::kCells; ++i)
            if (view.grid().cells[std::size_t(i)].day == std::to_string(day))
                return i;
        return -1;
    }
    void show(int year, int month) {
        view.choose(List::SolarMonth, std::to_string(month));
        view.choose(List::SolarYear, std::to_string(year));
    }
    // The number of the error an action ends with, 0 for none.
    template <class F> int errorOf(F&& action) {
        try {
            action();
        } catch (const EngineError& e) {
            return e.number();
        }
        return 0;
    }
    bool enabled(Button b) const { return view.isEnabled(b); }
};

TEST_F(MonthViewTest, CreationShowsTodaysMonthWithTheListsOnIt) {
    EXPECT_EQ(shown(), "2008-4");
    EXPECT_EQ(view.text(List::LunarYear), "2008");
    EXPECT_EQ(view.text(List::LunarMonth), "03");
    EXPECT_EQ(view.year(), 2008);
    EXPECT_EQ(view.month(), 4);
    EXPECT_TRUE(view.grid().complete);
    EXPECT_EQ(cellOf(1), 2);
    for (Button b : {Button::PreviousYear, Button::NextYear, Button::PreviousMonth,
                     Button::NextMonth, Button::Today})
        EXPECT_TRUE(enabled(b));
    // A list opens on the shown value: "4" is the entry "04".
    EXPECT_EQ(view.entryIndex(List::SolarMonth), 3);
    EXPECT_EQ(view.entryIndex(List::SolarYear), 2008 - 1901);
    EXPECT_EQ(view.entryIndex(List::LunarMonth), 2);
    EXPECT_EQ(MonthView::entries(List::SolarMonth).front(), "01");
    EXPECT_EQ(MonthView::entries(List::LunarYear).back(), "2090");
}

TEST_F(MonthViewTest, MonthsRollOverTheYearWithOneFill) {
    show(2008, 12);
    clockReads = 0;
    view.press(Button::NextMonth);
    EXPECT_EQ(shown(), "2009-1");
    EXPECT_EQ(cellOf(1), 4); // 1 January 2009 is a Thursday
    EXPECT_EQ(clockReads, 1);
    clockReads = 0;
    view.press(Button::PreviousMonth);
    EXPECT_EQ(shown(), "2008-12");
    EXPECT_EQ(clockReads, 1);
    show(2008, 1);
    view.press(Button::PreviousMonth);
    EXPECT_EQ(shown(), "2007-12");
}

TEST_F(MonthViewTest, TheFirstYears) {
    show(1903, 1);
    view.press(Button::PreviousYear);
    EXPECT_EQ(shown(), "1902-1");
    EXPECT_FALSE(enabled(Button::PreviousYear));
    view.press(Button::PreviousYear); // disabled: ignored
    EXPECT_EQ(shown(), "1902-1");
    view.press(Button::PreviousMonth);
    EXPECT_EQ(shown(), "1902-1");
    EXPECT_FALSE(enabled(Button::PreviousMonth));
    view.press(Button::NextYear);
    EXPECT_TRUE(enabled(Button::PreviousYear));
    EXPECT_TRUE(enabled(Button::PreviousMonth));
    // 1901 is reachable through the list, and from there by month.
    show(1901, 3);
    EXPECT_FALSE(enabled(Button::PreviousYear));
    view.press(Button::PreviousMonth);
    EXPECT_EQ(shown(), "1901-2");
    // From January 1902 with 上年 still on, 上月 reaches December 1901.
    show(1902, 1);
    view.press(Button::PreviousMonth);
    EXPECT_EQ(shown(), "1901-12");
    EXPECT_FALSE(enabled(Button::PreviousYear));
}

TEST_F(MonthViewTest, TheLastYears) {
    show(2089, 12);
    view.press(Button::NextYear);
    EXPECT_EQ(shown(), "2090-12");
    EXPECT_FALSE(enabled(Button::NextYear));
    view.press(Button::NextMonth);
    EXPECT_EQ(shown(), "2090-12");
    EXPECT_FALSE(enabled(Button::NextMonth));
    view.press(Button::PreviousYear);
    EXPECT_TRUE(enabled(Button::NextYear));
    EXPECT_TRUE(enabled(Button::NextMonth));
}

TEST_F(MonthViewTest, AYearChosenAnewLetsTheMonthButtonsMoveAgain) {
    show(1903, 1);
    view.press(Button::PreviousYear);
    view.press(Button::PreviousMonth);
    ASSERT_FALSE(enabled(Button::PreviousMonth));
    view.choose(List::SolarYear, "2000");
    EXPECT_TRUE(enabled(Button::PreviousMonth));
    EXPECT_TRUE(enabled(Button::PreviousYear));
}

TEST_F(MonthViewTest, TodayOnlyWithinTheButtonsYearsAndWithTheButtonsOfItsYear) {
    show(2010, 7);
    view.press(Button::Today);
    EXPECT_EQ(shown(), "2008-4");
    EXPECT_TRUE(view.grid().cells[std::size_t(cellOf(23))].today);
    // After a visit to 1902 the user on today's month can step back a year again.
    show(1903, 5);
    view.press(Button::PreviousYear);
    ASSERT_FALSE(enabled(Button::PreviousYear));
    view.press(Button::Today);
    EXPECT_TRUE(enabled(Button::PreviousYear));
    view.press(Button::PreviousYear);
    EXPECT_EQ(shown(), "2007-4");

    for (Date outside : {Date::fromYmd(2090, 5, 1), Date::fromYmd(1901, 5, 1)}) {
        today = outside;
        show(2010, 7);
        view.press(Button::Today);
        EXPECT_EQ(shown(), "2010-7");
    }
}

TEST_F(MonthViewTest, AListTextThatIsNoNumberStopsTheActionAndChangesNothing) {
    const MonthGrid before = view.grid();
    view.type(List::SolarYear, "2009x");
    EXPECT_EQ(errorOf([&] { view.choose(List::SolarMonth, "06"); }), 13);
    EXPECT_EQ(view.grid().cells, before.cells);
    EXPECT_EQ(view.grid().starSign, before.starSign);
    EXPECT_EQ(view.grid().yearName, before.yearName);
    EXPECT_EQ(shown(), "2008-4"); // the lists went back to the shown month
    EXPECT_EQ(view.month(), 4);

    view.type(List::SolarMonth, "");
    EXPECT_EQ(errorOf([&] { view.press(Button::NextMonth); }), 13);
    EXPECT_EQ(shown(), "2008-4");
    view.type(List::SolarYear, "40000");
    EXPECT_EQ(errorOf([&] { view.press(Button::NextYear); }), 6);
    EXPECT_EQ(shown(), "2008-4");
}

TEST_F(MonthViewTest, AFailedFillLeavesThePreviousMonthWhole) {
    // A typed year beyond the tables, then 年↓: once a grid of a single "1", no message
    // and 年↑ and 月↑ off.
    const MonthGrid before = view.grid();
    view.type(List::SolarYear, "2100");
    EXPECT_EQ(errorOf([&] { view.press(Button::NextYear); }), 9);
    EXPECT_EQ(view.grid().cells, before.cells);
    EXPECT_EQ(shown(), "2008-4");
    EXPECT_EQ(view.text(List::LunarYear), "2008");
    EXPECT_TRUE(enabled(Button::PreviousYear));
    EXPECT_TRUE(enabled(Button::PreviousMonth));
    EXPECT_TRUE(enabled(Button::NextYear));

    // The selection survives a failed fill too; the fill says how far it got.
    view.pressDay(cellOf(10), Mouse::Left);
    const FillReport report = view.fill(2091, 2);
    EXPECT_FALSE(report.completed);
    EXPECT_EQ(report.daysFilled, 17); // 2091-2-18 lies beyond the year table
    EXPECT_EQ(view.selectedCell(), cellOf(10));
    EXPECT_EQ(view.year(), 2008);
    EXPECT_EQ(view.grid().starSign, "牡羊座");
    EXPECT_EQ(errorOf([&] { view.showMonth(0, 4); }), 5);
    EXPECT_EQ(errorOf([&] { view.showMonth(2008, 13); }), 13);
    EXPECT_EQ(view.selectedCell(), cellOf(10));
}

TEST_F(MonthViewTest, MonthTextsAreNumbers) {
    view.choose(List::SolarMonth, "04");
    EXPECT_EQ(shown(), "2008-04");
    const MonthGrid padded = view.grid();
    view.choose(List::SolarMonth, " 4");
    EXPECT_EQ(view.grid().cells, padded.cells);
    EXPECT_EQ(view.entryIndex(List::SolarMonth), 3);
    view.type(List::SolarMonth, "13");
    EXPECT_EQ(view.entryIndex(List::SolarMonth), -1);
    view.type(List::SolarMonth, "x");
    EXPECT_EQ(view.entryIndex(List::SolarMonth), -1);
}

TEST_F(MonthViewTest, ABlankListTextShowsNothing) {
    view.type(List::SolarMonth, "  ");
    clockReads = 0;
    view.choose(List::SolarYear, "2009");
    EXPECT_EQ(clockReads, 0);
    EXPECT_EQ(view.year(), 2008);
}

TEST_F(MonthViewTest, DayPresses) {
    const MonthGrid before = view.grid();
    view.pressDay(cellOf(10), Mouse::Right); // 10 April 2008: lunar 03-05, 牡羊座
    EXPECT_EQ(view.selectedCell(), cellOf(10));
    EXPECT_EQ(view.grid().starSign, "牡羊座");
    EXPECT_EQ(view.selectedDate(), Date::fromYmd(2008, 4, 10));
    view.pressDay(cellOf(3), Mouse::Left);
    EXPECT_EQ(view.selectedCell(), cellOf(3));
    // The middle button and empty cells change nothing; neither does a press the grid.
    view.pressDay(cellOf(20), Mouse::Other);
    view.pressDay(36, Mouse::Left);
    view.pressDay(99, Mouse::Left);
    EXPECT_EQ(view.selectedCell(), cellOf(3));
    EXPECT_EQ(view.grid().cells, before.cells);
    // The lunar lists follow the pressed day.
    show(2008, 1);
    view.pressDay(cellOf(15), Mouse::Left);
    EXPECT_EQ(view.text(List::LunarYear), "2007");
    EXPECT_EQ(view.text(List::LunarMonth), "12");
    // The next fill removes the selection; then the date is the month's first day.
    view.press(Button::NextMonth);
    EXPECT_EQ(view.selectedCell(), -1);
    EXPECT_EQ(view.selectedDate(), Date::fromYmd(2008, 2, 1));
}

TEST_F(MonthViewTest, ADayPressedIsADayOfTheShownMonthNotOfATypedText) {
    view.type(List::SolarYear, "1999");
    view.pressDay(cellOf(10), Mouse::Left);
    EXPECT_EQ(view.selectedDate(), Date::fromYmd(2008, 4, 10));
}

TEST_F(MonthViewTest, LunarChoices) {
    // Lunar 2009, third month, day 23 (today's day number) is 18 April 2009.
    view.choose(List::LunarYear, "2009");
    EXPECT_EQ(shown(), "2009-4");
    view.choose(List::LunarMonth, "01");
    EXPECT_EQ(shown(), "2009-2"); // lunar 2009-01-23 is 17 February 2009
    EXPECT_EQ(errorOf([&] { view.choose(List::LunarYear, "2091"); }), 9);
    EXPECT_EQ(view.text(List::LunarYear), "2009");
    EXPECT_EQ(shown(), "2009-2");
}

TEST_F(MonthViewTest, SelectingADateShowsItsMonth) {
    view.selectDate(Date::fromYmd(2012, 2, 29));
    EXPECT_EQ(shown(), "2012-2");
    EXPECT_EQ(view.selectedCell(), 3 + 28); // 1 February 2012 is a Wednesday
    EXPECT_EQ(view.selectedDate(), Date::fromYmd(2012, 2, 29));
    EXPECT_EQ(errorOf([&] { view.selectDate(Date::fromYmd(2100, 1, 1)); }), 380);
    EXPECT_EQ(shown(), "2012-2");
}

TEST_F(MonthViewTest, TheHostsFillMovesTheListsAndTheButtonsToItsMonth) {
    show(1903, 1);
    view.press(Button::PreviousYear);
    ASSERT_FALSE(enabled(Button::PreviousYear));
    view.showMonth(2008, 6);
    EXPECT_EQ(shown(), "2008-6");
    EXPECT_TRUE(enabled(Button::PreviousYear));
    view.press(Button::NextMonth);
    EXPECT_EQ(shown(), "2008-7");
}

TEST_F(MonthViewTest, RecordsLastUntilTheNextFill) {
    view.showRecord(24);
    EXPECT_TRUE(view.isRecorded(24));
    EXPECT_EQ(errorOf([&] { view.showRecord(39); }), 340);
    EXPECT_EQ(errorOf([&] { view.showRecord(-1); }), 340);
    view.showMonth(2008, 4);
    EXPECT_FALSE(view.isRecorded(24));
}

TEST(MonthViewCreation, ADayBeyondTheTablesShowsNoMonth) {
    const Engine engine;
    MonthView view(engine, [] { return Date::fromYmd(2095, 3, 1); });
    EXPECT_THROW(view.create(), EngineError);
    EXPECT_FALSE(view.hasMonth());
    EXPECT_EQ(view.text(MonthView::List::SolarYear), "2095");
    EXPECT_THROW(view.selectedDate(), InvalidCallError);
    view.showMonth(2008, 4); // the host can still show a month
    EXPECT_TRUE(view.hasMonth());
}

} // namespace
} // namespace kalendo
