// SPDX-License-Identifier: MIT
#include "commands.h"
#include "kalendo/dispatch.h"
#include "kalendo_cli.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <vector>

namespace kalendo {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun kalendo(std::vector<std::string> args, bool colours = false,
               Date today = Date::fromYmd(2008, 4, 23)) {
    std::ostringstream out, err;
    CliOptions options;
    options.today = today;
    options.colours = colours;
    const int status = runKalendo(args, out, err, options);
    return {status, out.str(), err.str()};
}

// The machine forms, `month --cells` and `call`, are read by scripts: their output stays byte
// for byte as it was captured before the commands for people were added.
TEST(KalendoMachineFormsTest, MatchCapturedOutput) {
    std::ifstream file(KALENDO_TEST_DATA_DIR "/machine_forms.txt");
    ASSERT_TRUE(file) << "cannot read machine_forms.txt";
    struct Case {
        std::vector<std::string> args;
        int status = -1;
        std::string out, firstErrLine;
    };
    std::vector<Case> cases;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with(">>>")) {
            Case c;
            std::istringstream fields(line.substr(3));
            std::string field;
            std::getline(fields, field, '\t'); // the empty piece before the first tab
            while (std::getline(fields, field, '\t'))
                c.args.push_back(field);
            cases.push_back(std::move(c));
        } else if (!cases.empty() && line.starts_with("status ")) {
            cases.back().status = std::stoi(line.substr(7));
        } else if (!cases.empty() && line.starts_with("| ")) {
            cases.back().out += line.substr(2) + '\n';
        } else if (!cases.empty() && line.starts_with("! ")) {
            cases.back().firstErrLine = line.substr(2);
        }
    }
    ASSERT_GT(cases.size(), 80u);
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& a : c.args)
            shown += " [" + a + "]";
        // Colours on: a terminal must not change what scripts read either.
        const CliRun r = kalendo(c.args, true);
        EXPECT_EQ(r.status, c.status) << shown;
        EXPECT_EQ(r.out, c.out) << shown;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.firstErrLine) << shown;
    }
}

TEST(KalendoCallTest, PrintsTheResultOnOneLine) {
    EXPECT_EQ(kalendo({"call", "阳历返回农", "2009-6-23"}).out, "120090501\n");
    EXPECT_EQ(kalendo({"call", "sTerm", "2008", "24"}).out, "2008-12-21\n");
    EXPECT_EQ(kalendo({"call", "阳历返回节气", "2008-3-21"}).out, " \n");
    EXPECT_EQ(kalendo({"call", "闰哪月", "2017"}).out, "6\n");
    EXPECT_EQ(kalendo({"call", "阳历节日", " 0312"}).out, "植树节 孙中山逝世纪念日\n");
}

TEST(KalendoCallTest, PrintsChangedByReferenceArguments) {
    EXPECT_EQ(kalendo({"call", "阴历转阳历", "2009", "13", "1"}).out, "2009-1-26\nYue=1\n");
    EXPECT_EQ(kalendo({"call", "阴历转阳历", "1800", "0", "40"}).out,
              "1902-2-7\nlian=1901\nYue=12\nTian=29\n");
    EXPECT_EQ(kalendo({"call", "阴历转阳历", "2009", "5", "1"}).out, "2009-5-24\n");
}

TEST(KalendoCallTest, BadInputIsOneLineAndStatus2) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"call", "nosuch"},
             {"call", "闰哪月"},
             {"call", "闰哪月", "x"},
             {"call", "闰哪月", "2091"},
             {"call", "阳历返回农", "2008-2-30"},
             {"call", "阳历返回农", "9999-12-31"},
             {"call"},
             {"frobnicate"},
             {"month", "2008"},
             {"month", "abc", "4"},
             {"month", "--today"},
             {"month", "2008", "13"},
             {"month", "--today", "2008-02-30"},
         }) {
        const CliRun r = kalendo(args);
        EXPECT_EQ(r.status, 2) << r.out;
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_FALSE(r.err.empty());
    }
    const CliRun r = kalendo({"call", "闰哪月", "2091"});
    EXPECT_EQ(r.err, "error 9: Subscript out of range\n");
}

TEST(KalendoMonthTest, CellsFormIsMachineReadable) {
    const CliRun r = kalendo({"month", "2008", "4", "--cells", "--today", "2008-04-23"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line))
        all.push_back(line);
    ASSERT_EQ(all.size(), 39u + 7u);
    EXPECT_EQ(all[0], "0\t\t\t0x000000\t0");
    EXPECT_EQ(all[5], "5\t4\t清明\t0x00C000\t0");
    EXPECT_EQ(all[24], "24\t23\t世界图书…\t0xFF0000\t1");
    EXPECT_EQ(all[8], "8\t7\t世界卫生日\t0xFF0000\t0");
    EXPECT_EQ(all[9], "9\t8\t初三\t0x000000\t0");
    EXPECT_EQ(all[39], "平润年\t闰年");
    EXPECT_EQ(all[40], "生肖\t戊子鼠年");
    EXPECT_EQ(all[41], "星座C\t金牛座");
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string withoutEscapes(const std::string& text) {
    return std::regex_replace(text, std::regex("\x1b\\[[0-9;]*m"), "");
}

TEST(KalendoMonthTest, GridColumnsLineUpInDisplayWidth) {
    const CliRun r = kalendo({"month", "2008", "4"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = linesOf(r.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find("2008年4月"), std::string::npos);
    EXPECT_NE(lines[0].find("戊子鼠年"), std::string::npos);
    EXPECT_EQ(displayWidth(lines[1]), 6 * 11 + 6); // the last column's trailing blanks dropped
    EXPECT_EQ(r.out.find("\x1b["), std::string::npos);
    // Day 23 in column 3 and its caption under it: the number ends where its column's middle is.
    const std::string& days = lines[8];
    EXPECT_EQ(displayWidth(days.substr(0, days.find("23") + 2)), 3 * 11 + 6);
}

// Months with the widest captions: 黑色星期五, five-character festivals, leap month starts.
TEST(KalendoMonthTest, EveryLineFitsEightyColumnsWithAndWithoutColours) {
    const std::vector<std::pair<std::string, std::string>> months = {
        {"2008", "4"}, {"2015", "11"}, {"2033", "12"}, {"2026", "2"},
        {"2009", "6"}, {"2020", "2"},  {"2012", "1"},  {"2090", "12"}};
    for (const auto& [year, month] : months) {
        for (const bool colours : {false, true}) {
            const CliRun r = kalendo({"month", year, month}, colours);
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_GE(linesOf(r.out).size(), 10u);
            for (const std::string& line : linesOf(withoutEscapes(r.out)))
                EXPECT_LE(displayWidth(line), 80) << year << "-" << month << ": " << line;
        }
    }
    EXPECT_NE(kalendo({"month", "2015", "11"}).out.find("黑色星期五"), std::string::npos);
}

TEST(KalendoMonthTest, ColoursComeFromTheTerminalsPalette) {
    const std::string page = kalendo({"month", "2008", "4"}, true).out;
    EXPECT_EQ(page.find("38;2;"), std::string::npos); // no fixed 24-bit colours
    EXPECT_EQ(page.find("48;2;"), std::string::npos);
    EXPECT_NE(page.find("\x1b[1;7m23"), std::string::npos); // today in reverse video
    EXPECT_NE(page.find("\x1b[94m"), std::string::npos);    // Saturdays and festivals
    EXPECT_NE(page.find("\x1b[32m"), std::string::npos);    // solar terms
    EXPECT_EQ(withoutEscapes(page), kalendo({"month", "2008", "4"}).out);
}

TEST(KalendoMonthTest, ErrorsSpeakToPeopleButTheCellsFormKeepsTheEnginesErrors) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"month", "2008", "13"}, "kalendo: month must be 1-12 (got 13)\n"},
        {{"month", "2008", "0"}, "kalendo: month must be 1-12 (got 0)\n"},
        {{"month", "2008", "x"}, "kalendo: month must be 1-12 (got x)\n"},
        {{"month", "2091", "1"}, "kalendo: year must be 1901-2090 (got 2091)\n"},
        {{"month", "1900", "12"}, "kalendo: year must be 1901-2090 (got 1900)\n"},
        {{"month", "99999999999999999999", "1"},
         "kalendo: year must be 1901-2090 (got 99999999999999999999)\n"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun r = kalendo(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, message);
    }
    EXPECT_EQ(kalendo({"month", "2008", "13", "--cells"}).err, "error 13: Type mismatch\n");
    // Without a year, today's must be one the page can show.
    EXPECT_EQ(kalendo({"month", "--today", "2095-01-01"}).status, 2);
}

TEST(KalendoMonthTest, ATodayBeyondTheLunarTableStillShowsTheMonth) {
    // No cell is day 31 in April: the lunar lists come from the month itself then.
    const CliRun r = kalendo({"month", "2008", "4", "--today", "1850-01-31"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("戊子鼠年"), std::string::npos);
}

TEST(KalendoCommandsTest, NoArgumentsShowThisMonthAndHelpListsTheCommands) {
    EXPECT_EQ(kalendo({}).out, kalendo({"month", "2008", "4"}).out);
    EXPECT_EQ(kalendo({}).status, 0);
    for (const char* help : {"--help", "-h", "help"}) {
        const CliRun r = kalendo({help});
        EXPECT_EQ(r.status, 0);
        for (const char* command : {"month", "day", "terms", "ics", "members", "call"})
            EXPECT_NE(r.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        for (const std::string& line : linesOf(r.out))
            EXPECT_LE(displayWidth(line), 80) << line;
    }
    const CliRun version = kalendo({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("kalendo [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
}

TEST(KalendoDayTest, KnownDays) {
    EXPECT_EQ(kalendo({"day", "2026-02-17"}).out, "2026-02-17 星期二\n"
                                                  "农历丙午年正月初一\n"
                                                  "丙午年  生肖马\n"
                                                  "节日  春节\n"
                                                  "星座  水瓶座\n");
    const std::string qingming = kalendo({"day", "2008-04-04"}).out;
    EXPECT_NE(qingming.find("农历戊子年二月二十八\n"), std::string::npos) << qingming;
    EXPECT_NE(qingming.find("节气  清明\n"), std::string::npos) << qingming;
    EXPECT_EQ(qingming.find("节日"), std::string::npos) << qingming;
    // 2033's leap eleventh month; the lunar year is 癸丑 still after the Gregorian new year.
    EXPECT_NE(kalendo({"day", "2033-12-22"}).out.find("农历癸丑年闰十一月初一"), std::string::npos);
    EXPECT_NE(kalendo({"day", "2034-01-01"}).out.find("癸丑年  生肖牛"), std::string::npos);
    // Several names in one festival entry are listed apart; Easter comes from the grid's rules.
    EXPECT_NE(kalendo({"day", "2008-03-12"}).out.find("节日  植树节 孙中山逝世纪念日\n"),
              std::string::npos);
    EXPECT_NE(kalendo({"day", "2008-03-23"}).out.find("节日  世界气象日 复活节\n"),
              std::string::npos);
    // Without a date: today, injected.
    const std::string today = kalendo({"day"}, false, Date::fromYmd(2026, 12, 8)).out;
    EXPECT_NE(today.find("2026-12-08 星期二\n农历丙午年十月三十\n"), std::string::npos) << today;
}

TEST(KalendoDayTest, TheLunarTablesEdgesAndBadDates) {
    EXPECT_NE(kalendo({"day", "1900-01-31"}).out.find("农历庚子年正月初一"), std::string::npos);
    EXPECT_EQ(kalendo({"day", "2091-02-17"}).status, 0);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"day", "1900-01-30"},
             {"day", "2091-02-18"},
             {"day", "2008-02-30"},
             {"day", "tomorrow"},
             {"day", "2008-4-4", "2008-4-5"},
         }) {
        const CliRun r = kalendo(args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.starts_with("kalendo: ")) << r.err;
    }
}

TEST(KalendoTermsTest, TheYearsTwentyFourTermsInOrder) {
    const CliRun r = kalendo({"terms", "2026"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = linesOf(r.out);
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], "2026-01-05 星期一  小寒");
    EXPECT_EQ(lines[6], "2026-04-05 星期日  清明");
    EXPECT_EQ(lines[23], "2026-12-22 星期二  冬至");
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_LT(lines[i - 1].substr(0, 10), lines[i].substr(0, 10));
    EXPECT_NE(kalendo({"terms", "2008"}).out.find("2008-04-04 星期五  清明"), std::string::npos);
    EXPECT_EQ(kalendo({"terms"}).out, kalendo({"terms", "2008"}).out);
    EXPECT_EQ(kalendo({"terms", "2091"}).err, "kalendo: year must be 1901-2090 (got 2091)\n");
    EXPECT_EQ(kalendo({"terms", "x"}).status, 2);
}

TEST(KalendoMembersTest, ListsTheDispatchTable) {
    const std::vector<std::string> names = linesOf(kalendo({"members", "--names"}).out);
    const std::vector<std::string> listed = linesOf(kalendo({"members"}).out);
    ASSERT_EQ(names.size(), engineMembers().size());
    ASSERT_EQ(listed.size(), engineMembers().size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], engineMembers()[i].name);
        EXPECT_TRUE(listed[i].starts_with(names[i])) << listed[i];
    }
    EXPECT_NE(
        kalendo({"members"})
            .out.find("阴历转阳历         lian int16 (by reference), Yue int16 (by reference)"),
        std::string::npos);
    EXPECT_EQ(kalendo({"members", "x"}).status, 2);
}

TEST(KalendoIcsTest, FoldsAtSeventyFiveOctetsBetweenWholeCharacters) {
    const std::string ascii(200, 'a');
    std::string chinese = "SUMMARY:";
    for (int i = 0; i < 40; ++i)
        chinese += "节";
    for (const std::string& line :
         {ascii, chinese, std::string("X"), std::string(75, 'b'), std::string(76, 'c')}) {
        const std::string folded = cli::icsFolded(line);
        ASSERT_TRUE(folded.ends_with("\r\n"));
        std::string unfolded;
        std::size_t pos = 0;
        while (pos < folded.size()) {
            const std::size_t end = folded.find("\r\n", pos);
            const std::string piece = folded.substr(pos, end - pos);
            EXPECT_LE(piece.size(), 75u);
            const std::string content = pos == 0 ? piece : piece.substr(1);
            if (pos != 0) {
                EXPECT_EQ(piece[0], ' ');
            }
            ASSERT_FALSE(content.empty());
            EXPECT_NE(static_cast<unsigned char>(content[0]) & 0xC0, 0x80) << "a cut character";
            unfolded += content;
            pos = end + 2;
        }
        EXPECT_EQ(unfolded, line);
    }
    EXPECT_EQ(cli::icsFolded(std::string(75, 'b')), std::string(75, 'b') + "\r\n");
}

TEST(KalendoIcsTest, EscapesTextAndKeepsUidsStable) {
    EXPECT_EQ(cli::icsEscaped("a,b;c\\d\ne\r\nf"), "a\\,b\\;c\\\\d\\ne\\nf");
    EXPECT_EQ(cli::icsEscaped("国际教师节,"), "国际教师节\\,");
    const cli::IcsEvent term{Date::fromYmd(2026, 4, 5), "term", "清明", "节气", {}};
    const std::string uid = cli::icsUid(term);
    EXPECT_TRUE(
        std::regex_match(uid, std::regex("20260405-term-[0-9a-f]{16}@kalendo\\.tikkoclock")))
        << uid;
    cli::IcsEvent other = term;
    other.kind = "festival";
    EXPECT_NE(cli::icsUid(other), uid);
    other = term;
    other.summary = "谷雨";
    EXPECT_NE(cli::icsUid(other), uid);
    other = term;
    other.date = Date::fromYmd(2027, 4, 5);
    EXPECT_NE(cli::icsUid(other), uid);
}

TEST(KalendoIcsTest, ACalendarOfAllDayEvents) {
    const CliRun r = kalendo({"ics", "2026"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//TikkoClock//"));
    EXPECT_NE(r.out.find("\r\nCALSCALE:GREGORIAN\r\n"), std::string::npos);
    EXPECT_TRUE(r.out.ends_with("END:VEVENT\r\nEND:VCALENDAR\r\n"));
    EXPECT_EQ(std::regex_replace(r.out, std::regex("\r\n"), "").find('\n'), std::string::npos);
    EXPECT_NE(r.out.find("DTSTAMP:20260217T000000Z\r\n"
                         "DTSTART;VALUE=DATE:20260217\r\n"
                         "DTEND;VALUE=DATE:20260218\r\n"
                         "SUMMARY:春节\r\n"),
              std::string::npos);
    // The year's last day ends on the next year's first.
    EXPECT_NE(kalendo({"ics", "2026", "--lunar-days"})
                  .out.find("DTSTART;VALUE=DATE:20261231\r\nDTEND;VALUE=DATE:20270101\r\n"),
              std::string::npos);
    EXPECT_EQ(r.out, kalendo({"ics", "2026"}).out);
    EXPECT_EQ(r.out, kalendo({"ics", "2026", "--festivals", "--terms"}).out);

    const Engine engine;
    auto count = [&](cli::IcsContents contents, int first, int last) {
        return cli::icsEvents(engine, first, last, contents).size();
    };
    EXPECT_EQ(count({.terms = true}, 2026, 2026), 24u);
    EXPECT_EQ(count({.terms = true}, 2025, 2026), 48u);
    EXPECT_EQ(count({.lunarDays = true}, 2024, 2024), 366u);
    const std::vector<cli::IcsEvent> leap = cli::icsEvents(engine, 2033, 2033, {.lunarDays = true});
    EXPECT_EQ(leap.back().summary, "闰十一月初十");
    EXPECT_EQ(leap.back().description, "农历癸丑年闰十一月初十");
}

TEST(KalendoIcsTest, BadYearsAndOptions) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"ics"}, "kalendo: ics takes a YEAR, or a first and a last YEAR"},
        {{"ics", "2026", "2027", "2028"}, "kalendo: ics takes a YEAR, or a first and a last YEAR"},
        {{"ics", "2026", "2025"}, "kalendo: the last year 2025 comes before the first 2026"},
        {{"ics", "1900"}, "kalendo: year must be 1901-2090 (got 1900)"},
        {{"ics", "2026", "2091"}, "kalendo: last year must be 1901-2090 (got 2091)"},
        {{"ics", "2026", "--holidays"}, "kalendo: unknown option --holidays"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun r = kalendo(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), message);
    }
}

TEST(KalendoMonthTest, DisplayWidthCountsWideCharactersTwice) {
    EXPECT_EQ(displayWidth("abc"), 3);
    EXPECT_EQ(displayWidth("初一"), 4);
    EXPECT_EQ(displayWidth("植树节 …"), 8);
    EXPECT_EQ(displayWidth("\xE4"), 1); // a cut character does not run past the end
}

} // namespace
} // namespace kalendo

namespace kalendo {
namespace {

CliRun calendar(std::vector<std::string> args, int columns, bool colours = false) {
    std::ostringstream out, err;
    CliOptions options;
    options.today = Date::fromYmd(2026, 12, 9);
    options.colours = colours;
    options.columns = columns;
    const int status = runKalendo(args, out, err, options);
    return {status, out.str(), err.str()};
}

TEST(KalendoCalFormsTest, MonthYearInEitherOrderIsTheMonthPage) {
    const CliRun feb = calendar({"2", "2026"}, 80);
    EXPECT_EQ(feb.status, 0) << feb.err;
    EXPECT_EQ(feb.out, calendar({"2026", "2"}, 80).out);
    EXPECT_EQ(feb.out, calendar({"month", "2026", "2"}, 80).out);
    EXPECT_NE(feb.out.find("除夕"), std::string::npos);
    EXPECT_EQ(calendar({}, 80).out, calendar({"12", "2026"}, 80).out);
}

// Years with leap months, 黑色星期五 and five-character captions, in every layout.
TEST(KalendoCalFormsTest, EveryPageFitsItsWidthAndDropsTheWideLunarLineBelow77Columns) {
    for (const int columns : {80, 76, 40, 23})
        for (const std::vector<std::string>& args :
             std::vector<std::vector<std::string>>{{"2026"},
                                                   {"-mw", "2033"},
                                                   {"-w", "11", "2015"},
                                                   {"-3", "1", "2020"},
                                                   {"-m", "12", "2033"},
                                                   {"2", "2026"}}) {
            const CliRun r = calendar(args, columns, true);
            ASSERT_EQ(r.status, 0) << r.err;
            for (const std::string& line : linesOf(withoutEscapes(r.out)))
                ASSERT_LE(displayWidth(line), columns) << columns << " " << args[0] << ": " << line;
        }
    // A month: the grid's line under every day at 77 columns, compact below.
    EXPECT_NE(calendar({"2", "2026"}, 77).out.find("二十一"), std::string::npos);
    const std::string narrow = calendar({"2", "2026"}, 76).out;
    EXPECT_EQ(narrow.find("二十一"), std::string::npos);
    EXPECT_NE(narrow.find("春节"), std::string::npos); // the compact line keeps what matters
    EXPECT_EQ(calendar({"2", "2026"}, 20).out.find("春节"), std::string::npos);
}

TEST(KalendoCalFormsTest, AYearIsThreeMonthsAbreastWithItsLunarLabels) {
    const std::vector<std::string> lines = linesOf(calendar({"2026"}, 80).out);
    EXPECT_NE(lines[0].find("丙午马年 正月初一 2月17日"), std::string::npos);
    const auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find("1月") != std::string::npos;
    });
    ASSERT_NE(row, lines.end());
    EXPECT_NE(row->find("2月"), std::string::npos);
    EXPECT_NE(row->find("3月"), std::string::npos);
    // 除夕 (Monday 16 February) and 春节 collide: the new year stands.
    const std::string page = calendar({"2026"}, 80).out;
    EXPECT_NE(page.find("春节"), std::string::npos);
    EXPECT_EQ(page.find("除夕"), std::string::npos);
    EXPECT_NE(page.find("立春"), std::string::npos);
    EXPECT_NE(calendar({"2023"}, 80).out.find("闰二月"), std::string::npos);
    EXPECT_EQ(calendar({"-y"}, 80).out, page);
    // At 40 columns the months stand one under another.
    const std::string narrow = calendar({"2026"}, 40).out;
    EXPECT_NE(narrow.find("立春"), std::string::npos);
    for (const std::string& line : linesOf(narrow))
        EXPECT_FALSE(line.find("1月") != std::string::npos &&
                     line.find("2月") != std::string::npos);
}

TEST(KalendoCalFormsTest, MondayFirstAndWeekNumbers) {
    const std::vector<std::string> lines = linesOf(calendar({"-mw", "1", "2021"}, 80).out);
    ASSERT_GE(lines.size(), 4u);
    const std::string header = withoutEscapes(lines[1]);
    EXPECT_EQ(header.substr(header.find_first_not_of(' '), 3), "一");
    EXPECT_EQ(header.substr(header.size() - 3), "日");
    EXPECT_EQ(lines[2].substr(0, 2), "53"); // 1 January 2021, a Friday, ends ISO week 53
    EXPECT_EQ(cli::isoWeek(Date::fromYmd(2024, 12, 30)), 1);
    EXPECT_EQ(cli::isoWeek(Date::fromYmd(2026, 1, 1)), 1);
    EXPECT_EQ(cli::isoWeek(Date::fromYmd(2026, 12, 31)), 53);
    EXPECT_EQ(cli::sundayWeek(Date::fromYmd(2026, 1, 3)), 1);
    EXPECT_EQ(cli::sundayWeek(Date::fromYmd(2026, 1, 4)), 2);
}

TEST(KalendoCalFormsTest, ErrorsSayWhatWasMeantInOneLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"2"}, "year must be 1901-2090 (got 2); did you mean `kalendo 2 2026`?"},
        {{"2", "3"}, "year must be 1901-2090 (got 3); did you mean `kalendo 2 2026`?"},
        {{"2026", "13"}, "month must be 1-12 (got 13)"},
        {{"13", "2026"}, "month must be 1-12 (got 13)"},
        {{"2091"}, "year must be 1901-2090 (got 2091)"},
        {{"2", "2026", "3"}, "too many arguments: give YEAR, MONTH YEAR, YEAR MONTH or nothing"},
        {{"-x"}, "unknown option -x (known: -1, -3, -y, -m, -w)"},
        {{"-5"}, "unknown option -5 (known: -1, -3, -y, -m, -w)"},
        {{"feb"}, "unknown command feb"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun r = calendar(args, 80);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "kalendo: " + message + "\n");
    }
}

// A stream whose writes fail, as standard output on a full disk.
class FullDisk : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(KalendoOutputTest, AnOutputThatCannotBeWrittenIsAFailure) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"2026"},
                                               {"ics", "2026"},
                                               {"day", "2026-02-17"},
                                               {"call", "闰哪月", "2020"},
                                               {"--help"},
                                               {"members"}}) {
        FullDisk disk;
        std::ostream out(&disk);
        std::ostringstream err;
        CliOptions options;
        options.today = Date::fromYmd(2026, 12, 9);
        EXPECT_EQ(runKalendo(args, out, err, options), 1);
        EXPECT_EQ(linesOf(err.str()).size(), 1u) << err.str();
        EXPECT_TRUE(err.str().starts_with("kalendo: cannot write the output")) << err.str();
    }
}

} // namespace
} // namespace kalendo
