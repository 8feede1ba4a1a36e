#include "kalendo_cli.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace kalendo {
namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun kalendo(std::vector<std::string> args, bool colours = false) {
    std::ostringstream out, err;
    CliOptions options;
    options.today = Date::fromYmd(2008, 4, 23);
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
             {},
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

TEST(KalendoMonthTest, GridColumnsLineUpInDisplayWidth) {
    const CliRun r = kalendo({"month", "2008", "4"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string title, header, numbers, captions;
    std::getline(lines, title);
    std::getline(lines, header);
    EXPECT_NE(title.find("2008年4月"), std::string::npos);
    EXPECT_NE(title.find("戊子鼠年"), std::string::npos);
    EXPECT_EQ(displayWidth(header), 6 * 12 + 7); // the last column's trailing blanks dropped
    while (std::getline(lines, numbers) && std::getline(lines, captions))
        EXPECT_LE(displayWidth(captions), 7 * 12);
    EXPECT_EQ(r.out.find("\x1b["), std::string::npos);
    EXPECT_NE(kalendo({"month", "2008", "4"}, true).out.find("\x1b[30;48;2;0;255;255m"),
              std::string::npos);
}

TEST(KalendoMonthTest, DisplayWidthCountsWideCharactersTwice) {
    EXPECT_EQ(displayWidth("abc"), 3);
    EXPECT_EQ(displayWidth("初一"), 4);
    EXPECT_EQ(displayWidth("植树节 …"), 8);
    EXPECT_EQ(displayWidth("\xE4"), 1); // a cut character does not run past the end
}

} // namespace
} // namespace kalendo
