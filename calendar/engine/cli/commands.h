// SPDX-License-Identifier: MIT
#pragma once

// The pieces the kalendo commands share, and the decisions behind each command as plain
// functions, so that tests can reach them without a process.

#include "kalendo/date.h"
#include "kalendo/engine.h"
#include "kalendo_cli.h"

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#ifndef KALENDO_VERSION
#define KALENDO_VERSION "unknown"
#endif

namespace kalendo::cli {

inline constexpr std::string_view kVersion = KALENDO_VERSION;

// Bad input from the user: one line on stderr that says what was meant, status 2.
struct UsageError {
    std::string message;
};

// "1901-2090": the years the commands for people take.
std::string listYearRange();
// A year for the commands for people: the years of the control's lists, whose lunar
// year and solar terms the engine covers whole.
int parseYear(std::string_view text, std::string_view what = "year");
// A date YYYY-MM-DD (or 2008-4-23, 2008/4/23); throws UsageError naming `what`.
Date parseUserDate(std::string_view text, std::string_view what = "date");

// 星期日 ... 星期六.
std::string_view weekdayName(unsigned weekday);
// 农历丙午年正月初一: the lunar year's 干支, month and day.
std::string lunarDateWords(const LunarDate& lunar);
// A date with four-digit year and two-digit month and day, joined by the separator:
// 2026-02-17, or 20260217 for iCalendar.
std::string paddedDate(Date date, std::string_view separator = "-");

// --- day ---
struct DayFacts {
    Date date;
    LunarDate lunar;
    std::string lunarWords; // 农历丙午年正月初一
    std::string stemBranch; // of the lunar year: 丙午
    std::string animal;     // 马
    std::string solarTerm;  // empty on most days
    std::vector<std::string> festivals;
    std::string starSign;
};
// The facts of a day within the lunar table; throws UsageError outside it.
DayFacts dayFacts(const Engine& engine, Date date);

// --- terms ---
struct TermDay {
    Date date;
    std::string name;
};
std::vector<TermDay> solarTermsOf(const Engine& engine, int year); // 小寒 ... 冬至

// --- ics ---
struct IcsContents {
    bool terms = false;
    bool festivals = false;
    bool lunarDays = false;
};
struct IcsEvent {
    Date date;
    std::string_view kind; // part of the UID: "term", "festival", "lunar-day"
    std::string summary;
    std::string_view category;
    std::string description;
};
std::vector<IcsEvent> icsEvents(const Engine& engine, int firstYear, int lastYear,
                                IcsContents contents);
// The whole calendar, CRLF line ends, lines folded.
std::string icsCalendar(std::span<const IcsEvent> events, std::string_view calendarName);
// A UID stable across runs and ranges: the same day, kind and name give the same one.
std::string icsUid(const IcsEvent& event);
// TEXT value escaping: backslash, semicolon, comma and newline.
std::string icsEscaped(std::string_view text);
// A content line with its CRLF, folded at 75 octets between whole UTF-8 characters.
std::string icsFolded(std::string_view line);

// --- the calendar pages, as cal shows them ---
// The terminal's own palette, so that each theme keeps the colours readable: a fixed dark
// blue disappears on black.
inline constexpr std::string_view kSunday = "\x1b[91m";
inline constexpr std::string_view kSaturday = "\x1b[94m";
inline constexpr std::string_view kToday = "\x1b[1;7m";
inline constexpr std::string_view kPlain = "\x1b[0m";
// The style of a grid caption by its colour: terms, lunar month starts, festivals.
std::string_view captionStyle(std::uint32_t colour);

struct PageOptions {
    Date today;
    bool colours = false;
    bool mondayFirst = false;
    bool weekNumbers = false;
    int columns = 0; // the width to fit; 0: no limit
};
// The columns the wide month page takes (seven columns of captions, and the week numbers).
int wideMonthWidth(const PageOptions& options);
// One month: the wide page with the full lunar line when it fits, else compact.
void printMonthPage(const Engine& engine, int year, int month, const PageOptions& options,
                    std::ostream& out);
// Months side by side in compact blocks, as many abreast as fit (three at most), under a
// title; the lunar line shows each block's terms, festivals and lunar month starts where
// they fit.
void printMonthBlocks(const Engine& engine, std::span<const std::pair<int, int>> months,
                      std::string_view title, bool yearInBlockTitles, const PageOptions& options,
                      std::ostream& out);
void printYearPage(const Engine& engine, int year, const PageOptions& options, std::ostream& out);

// ISO 8601 week number of a day (weeks from Monday).
int isoWeek(Date date);
// The week number of a day in weeks from Sunday: the week holding 1 January is week 1.
int sundayWeek(Date date);

// --- the commands: args exclude the command's own name ---
// cal's forms: [-1|-3|-y] [-m] [-w] [[MONTH] YEAR | YEAR MONTH].
int runCalendar(std::span<const std::string> args, std::ostream& out, const CliOptions& options);
// Whether an argument list is one of cal's forms rather than a command.
bool isCalendarForm(std::span<const std::string> args);
int runMonth(std::span<const std::string> args, std::ostream& out, const CliOptions& options);
int runDay(std::span<const std::string> args, std::ostream& out, const CliOptions& options);
int runTerms(std::span<const std::string> args, std::ostream& out, const CliOptions& options);
int runIcs(std::span<const std::string> args, std::ostream& out);
int runCall(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int runMembers(std::span<const std::string> args, std::ostream& out);

} // namespace kalendo::cli
