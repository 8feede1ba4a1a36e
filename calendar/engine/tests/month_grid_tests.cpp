// SPDX-License-Identifier: MIT
#include "kalendo/errors.h"
#include "kalendo/month_grid.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace kalendo {

void PrintTo(const Festival& f, std::ostream* os) {
    *os << static_cast<int>(f.kind) << ':' << f.names;
}

namespace {

class MonthGridTest : public ::testing::Test {
protected:
    Engine engine;

    // The grid as the control fills it for (year, month) with the given today, the lunar
    // lists holding today's lunar year and month.
    MonthGrid fill(int year, int month, Date today) {
        MonthGridInput in;
        in.year = static_cast<Int16>(year);
        in.month = static_cast<Int16>(month);
        in.today = today;
        LunarListTexts texts = lunarListTexts(engine.solarToLunarDate(today));
        in.lunarYearText = std::move(texts.year);
        in.lunarMonthText = std::move(texts.month);
        MonthGrid grid;
        fillMonthGrid(engine, in, grid);
        return grid;
    }
    MonthGrid fill(int year, int month) { return fill(year, month, Date::fromYmd(2008, 4, 23)); }

    // The cell of day d.
    static const GridCell& cell(const MonthGrid& g, int d) {
        for (const GridCell& c : g.cells)
            if (c.day == std::to_string(d))
                return c;
        throw std::logic_error("no such day");
    }
    static int firstFilled(const MonthGrid& g) {
        for (int i = 0; i < MonthGrid::kCells; ++i)
            if (!g.cells[static_cast<std::size_t>(i)].day.empty())
                return i;
        return -1;
    }
    static int lastFilled(const MonthGrid& g) {
        for (int i = MonthGrid::kCells - 1; i >= 0; --i)
            if (!g.cells[static_cast<std::size_t>(i)].day.empty())
                return i;
        return -1;
    }
};

TEST_F(MonthGridTest, April2008AsTheControlShowsIt) {
    const MonthGrid g = fill(2008, 4);
    EXPECT_EQ(firstFilled(g), 2); // 2008-4-1 is a Tuesday
    EXPECT_EQ(lastFilled(g), 31);
    EXPECT_TRUE(g.cells[0].day.empty() && g.cells[0].caption.empty());

    const GridCell& today = cell(g, 23);
    EXPECT_TRUE(today.today);
    EXPECT_EQ(today.caption, "世界图书…"); // 世界图书和版权日, shortened
    EXPECT_EQ(today.colour, colour::kFestival);
    EXPECT_FALSE(cell(g, 22).today);

    EXPECT_EQ(cell(g, 1).caption, "愚人节 …");
    EXPECT_EQ(cell(g, 2).caption, "二十六");
    EXPECT_EQ(cell(g, 4).caption, "清明");
    EXPECT_EQ(cell(g, 4).colour, colour::kSolarTerm);
    EXPECT_EQ(cell(g, 6).caption, "三月小"); // lunar 2008-03-01
    EXPECT_EQ(cell(g, 6).colour, colour::kLunarMonth);
    EXPECT_EQ(cell(g, 20).caption, "谷雨");
    EXPECT_EQ(cell(g, 22).caption, "世界地球日"); // five characters stay whole
    EXPECT_EQ(cell(g, 24).caption, "亚非新闻…");
    EXPECT_EQ(cell(g, 25).caption, "二十");
    EXPECT_EQ(cell(g, 25).colour, colour::kBlack);

    EXPECT_EQ(g.leapYearText, "闰年");
    EXPECT_EQ(g.yearName, "戊子鼠年");
    EXPECT_EQ(g.starSign, "金牛座");
    EXPECT_EQ(g.yearWatermark, "2008");
    EXPECT_EQ(g.monthWatermark, "4");
    EXPECT_EQ(g.lunarYearText, "2008");
    EXPECT_EQ(g.lunarMonthText, "03");
}

TEST_F(MonthGridTest, MonthsAtTheEdgesOfTheGrid) {
    const MonthGrid june = fill(2008, 6); // starts on a Sunday
    EXPECT_EQ(firstFilled(june), 0);
    const MonthGrid march = fill(2008, 3); // 31 days from a Saturday
    EXPECT_EQ(firstFilled(march), 6);
    EXPECT_EQ(lastFilled(march), 36);
    const MonthGrid feb = fill(2009, 2); // common February from a Sunday
    EXPECT_EQ(firstFilled(feb), 0);
    EXPECT_EQ(lastFilled(feb), 27);
    EXPECT_EQ(feb.leapYearText, "平年");
}

TEST_F(MonthGridTest, TodayIsHighlightedOnlyInTheCurrentMonthButSetsTheLunarLists) {
    const MonthGrid other = fill(2009, 4);
    for (const GridCell& c : other.cells)
        EXPECT_FALSE(c.today);
    // The lunar lists follow day 23 of the shown month; the watermark stays on today.
    EXPECT_EQ(other.lunarYearText, "2009");
    EXPECT_EQ(other.lunarMonthText, "03");
    EXPECT_EQ(other.yearWatermark, "2008");
    EXPECT_EQ(other.monthWatermark, "4");
}

TEST_F(MonthGridTest, YearNameFollowsTheLunarYearOfToday) {
    EXPECT_EQ(fill(2008, 1, Date::fromYmd(2008, 1, 15)).yearName, "丁亥猪年");
    EXPECT_EQ(fill(2008, 2, Date::fromYmd(2008, 2, 15)).yearName, "戊子鼠年");
}

TEST_F(MonthGridTest, StarSignUsesTheMonthsLastDayWhenTodaysNumberIsMissing) {
    const MonthGrid g = fill(2008, 2, Date::fromYmd(2008, 1, 31));
    EXPECT_EQ(g.starSign, "双鱼座"); // 2008-2-29
    // The lunar lists keep their texts: no day 31 in February.
    EXPECT_EQ(g.lunarMonthText, "12");
}

TEST_F(MonthGridTest, LeapMonthsAreMarkedByTheLunarDatesOwnFlagAndLength) {
    EXPECT_EQ(cell(fill(2009, 5), 24).caption, "五月大");
    EXPECT_EQ(cell(fill(2017, 7), 23).caption, "闰六月大"); // missed by the old L-days test
    EXPECT_EQ(cell(fill(2017, 6), 24).caption, "六月小");
    EXPECT_EQ(cell(fill(2025, 7), 25).caption, "闰六月小");
    // Festivals hide these month starts in the grid; the caption under them is still right.
    EXPECT_EQ(lunarMonthCaption(engine, {2009, 5, 1, true}), "闰五月小");
    EXPECT_EQ(lunarMonthCaption(engine, {2023, 2, 1, true}), "闰二月小");
}

TEST_F(MonthGridTest, EveryLeapMonthOf1901To2090IsMarkedOnce) {
    int marks = 0, months = 0;
    for (Date day = Date::fromYmd(1901, 2, 19); day <= Engine::kLastDay;) { // lunar 1901-1-1
        const LunarDate start = engine.solarToLunarDate(day);
        ASSERT_EQ(start.day, 1);
        std::string const caption = lunarMonthCaption(engine, start);
        ++months;
        marks += caption.starts_with("闰");
        EXPECT_EQ(caption.starts_with("闰"), start.leap) << toText(day);
        const int length = start.leap ? engine.leapMonthDays(static_cast<Int16>(start.year))
                                      : engine.lunarMonthDays(static_cast<Int16>(start.year),
                                                              static_cast<Int16>(start.month));
        EXPECT_TRUE(caption.ends_with(length == 30 ? "大" : "小")) << toText(day);
        day = day.plusDays(length);
    }
    EXPECT_EQ(marks, 70);
    EXPECT_EQ(months, 190 * 12 + 70);
}

TEST_F(MonthGridTest, NewYearsEveShowsOnTheLastDayOfTheLunarYear) {
    const MonthGrid feb = fill(2008, 2);
    EXPECT_EQ(cell(feb, 6).caption, "除夕"); // lunar 2007-12-30
    EXPECT_EQ(cell(feb, 6).colour, colour::kLunarFestival);
    EXPECT_EQ(cell(feb, 7).caption, "春节");
    EXPECT_EQ(cell(fill(2009, 1), 25).caption, "除夕"); // lunar 2008-12-29, a short month
    EXPECT_EQ(cell(fill(2012, 1), 22).caption, "除夕");
}

TEST_F(MonthGridTest, WeekdayFestivalsFallOnTheNthOrLastWeekday) {
    EXPECT_EQ(cell(fill(2011, 5), 8).caption, "国际母亲节");
    EXPECT_NE(cell(fill(2011, 5), 15).caption, "国际母亲节");
    EXPECT_EQ(cell(fill(2008, 5), 11).caption, "国际母亲节");
    EXPECT_EQ(cell(fill(2008, 1), 27).caption, "世界麻风日"); // the last Sunday
    EXPECT_EQ(cell(fill(2011, 1), 30).caption, "世界麻风日");
    EXPECT_EQ(cell(fill(2008, 11), 27).caption, "感恩节");
    EXPECT_EQ(cell(fill(2008, 5), 19).caption, "胜利日"); // the third Monday
}

TEST_F(MonthGridTest, CaptionPrecedence) {
    EXPECT_EQ(cell(fill(2008, 3), 23).caption, "复活节");
    EXPECT_EQ(cell(fill(2008, 6), 13).caption, "黑色星期五 ");
    // A lunar festival beats Friday the 13th; a festival beats a solar term.
    int lunarOverFriday = 0, festivalOverTerm = 0;
    for (int y = 1901; y <= 2090; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const MonthGrid g = fill(y, m);
            for (int d = 1; d <= static_cast<int>(daysInMonth(y, static_cast<unsigned>(m))); ++d) {
                const Date date =
                    Date::fromYmd(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
                const GridCell& c = cell(g, d);
                const LunarDate l = engine.solarToLunarDate(date);
                std::string const lunarKey = (l.month < 10 ? "0" : "") + std::to_string(l.month) +
                                             (l.day < 10 ? "0" : "") + std::to_string(l.day);
                const bool lunarFestival = !engine.lunarFestival(lunarKey).empty();
                if (d == 13 && date.weekday() == 5 && lunarFestival) {
                    ++lunarOverFriday;
                    EXPECT_EQ(c.colour, colour::kLunarFestival) << toText(date);
                }
                std::string const key = (m < 10 ? "0" : "") + std::to_string(m) +
                                        (d < 10 ? "0" : "") + std::to_string(d);
                if (engine.solarTermOn(date) != " " && !engine.solarFestival(key).empty() &&
                    !lunarFestival) {
                    ++festivalOverTerm;
                    EXPECT_EQ(c.colour, colour::kFestival) << toText(date);
                }
            }
        }
    }
    EXPECT_GT(lunarOverFriday, 0);
    EXPECT_GT(festivalOverTerm, 0);
}

TEST_F(MonthGridTest, FestivalsOfADayInTheOrderTheGridLaysThem) {
    auto on = [&](int y, unsigned m, unsigned d) {
        const Date date = Date::fromYmd(y, m, d);
        return festivalsOn(engine, date, engine.solarToLunarDate(date));
    };
    using K = FestivalKind;
    EXPECT_EQ(on(2008, 3, 23),
              (std::vector<Festival>{{K::Solar, "世界气象日"}, {K::Easter, "复活节"}}));
    EXPECT_EQ(on(2026, 2, 17), (std::vector<Festival>{{K::Lunar, "春节"}}));
    // 除夕 of a 29-day 腊月, on the third Monday of February
    EXPECT_EQ(on(2026, 2, 16), (std::vector<Festival>{{K::Weekday, "总统日"}, {K::Lunar, "除夕"}}));
    EXPECT_EQ(on(2015, 11, 13), (std::vector<Festival>{{K::BlackFriday, "黑色星期五"}}));
    EXPECT_EQ(on(2008, 5, 11), (std::vector<Festival>{{K::Weekday, "国际母亲节"}}));
    EXPECT_EQ(on(2008, 1, 27),
              (std::vector<Festival>{{K::Weekday, "世界麻风日"}})); // the last Sunday
    EXPECT_EQ(on(2008, 3, 12), (std::vector<Festival>{{K::Solar, "植树节 孙中山逝世纪念日"}}));
    EXPECT_EQ(on(2009, 5, 28), (std::vector<Festival>{{K::Lunar, "端午节"}}));
    EXPECT_TRUE(on(2009, 6, 27).empty()); // 闰五月初五 is no 端午
    EXPECT_TRUE(on(2008, 4, 8).empty());
}

TEST_F(MonthGridTest, ShortenedFestivalTexts) {
    EXPECT_EQ(shortenedFestival("植树节 孙中山逝世纪念日"), "植树节 …");
    EXPECT_EQ(shortenedFestival("世界湿地日"), "世界湿地日");
    EXPECT_EQ(shortenedFestival("  春节 "), "春节");
}

TEST_F(MonthGridTest, AnEngineErrorLeavesTheGridAsFarAsItWasFilledAndSaysHowFar) {
    MonthGridInput in;
    in.year = 2091;
    in.month = 2;
    in.today = Date::fromYmd(2008, 4, 23);
    in.lunarYearText = "2008";
    MonthGrid grid;
    try {
        fillMonthGrid(engine, in, grid);
        FAIL() << "2091-2-18 lies beyond the year table";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.number(), 9);
    }
    EXPECT_EQ(cell(grid, 17).caption, "除夕"); // lunar 2090-12-29, the table's last day
    EXPECT_EQ(lastFilled(grid), 4 + 17);       // 2091-2-1 is a Thursday; day 18 got its number
    EXPECT_EQ(grid.daysFilled, 17);
    EXPECT_FALSE(grid.complete);

    in.year = 2008;
    in.month = 13; // the first day's number is shown before its date fails
    EXPECT_THROW(fillMonthGrid(engine, in, grid), TypeMismatchError);
    EXPECT_EQ(firstFilled(grid), lastFilled(grid));
    EXPECT_EQ(grid.cells[static_cast<std::size_t>(firstFilled(grid))].caption, "");
    EXPECT_EQ(grid.daysFilled, 0);

    // The titles come after the cells: a lunar year text that is no number fails them.
    in.month = 2;
    in.today = Date::fromYmd(2008, 1, 31); // no 31 February: the lunar texts stay as given
    in.lunarYearText = "20o8";
    EXPECT_THROW(fillMonthGrid(engine, in, grid), TypeMismatchError);
    EXPECT_EQ(grid.daysFilled, 29);
    EXPECT_FALSE(grid.complete);
    in.lunarYearText = "2007";
    fillMonthGrid(engine, in, grid);
    EXPECT_TRUE(grid.complete);

    in.year = 1900;
    in.month = 1;
    EXPECT_THROW(fillMonthGrid(engine, in, grid), InvalidCallError);
    in.year = 32767;
    EXPECT_THROW(fillMonthGrid(engine, in, grid), InvalidCallError);
}

// Every lunar festival but 除夕 falls on its ordinary month only: once in a lunar year, never
// again on the leap month that repeats its month (端午节 on 2009-06-27, 闰五月初五, once was).
TEST_F(MonthGridTest, LunarFestivalsFallOnceAYearAndNeverInALeapMonth) {
    std::map<std::string, std::set<int>> years; // festival caption -> lunar years it showed in
    int leapDaysWithAFestivalKey = 0;
    for (int y = 1901; y <= 2090; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const MonthGrid g = fill(y, m);
            for (int d = 1; d <= static_cast<int>(daysInMonth(y, static_cast<unsigned>(m))); ++d) {
                const GridCell& c = cell(g, d);
                const LunarDate l = engine.solarToLunarDate(
                    Date::fromYmd(y, static_cast<unsigned>(m), static_cast<unsigned>(d)));
                const std::string key =
                    lunarListTexts(l).month + (l.day < 10 ? "0" : "") + std::to_string(l.day);
                if (l.leap && !engine.lunarFestival(key).empty())
                    ++leapDaysWithAFestivalKey;
                if (c.colour != colour::kLunarFestival)
                    continue;
                EXPECT_TRUE(!l.leap || c.caption == "除夕") << y << "-" << m << "-" << d;
                EXPECT_TRUE(years[c.caption].insert(l.year).second)
                    << c.caption << " twice in lunar " << l.year << " (" << y << "-" << m << "-"
                    << d << ")";
            }
        }
    }
    EXPECT_EQ(leapDaysWithAFestivalKey, 37);
    EXPECT_EQ(years["端午节"].size(), 190u);
    EXPECT_EQ(cell(fill(2009, 5), 28).caption, "端午节");
    EXPECT_EQ(cell(fill(2009, 6), 27).caption, "初五"); // 闰五月初五
    EXPECT_EQ(cell(fill(2014, 11), 1).caption, "初九"); // 闰九月初九
    EXPECT_EQ(cell(fill(2014, 10), 2).caption, "重阳节");
}

TEST_F(MonthGridTest, NationalDayShowsWhenTheFirstOfOctoberIsAWednesday) {
    for (int y : {2008, 2014, 2025}) {
        const MonthGrid october = fill(y, 10);
        EXPECT_EQ(cell(october, 1).caption, "国庆节 …") << y;
        // 减灾日 on the second Wednesday.
        EXPECT_EQ(cell(october, 8).caption, "国际减轻…") << y;
    }
}

} // namespace
} // namespace kalendo
