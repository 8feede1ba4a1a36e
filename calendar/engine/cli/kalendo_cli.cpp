// SPDX-License-Identifier: MIT
#include "kalendo_cli.h"

#include "commands.h"
#include "kalendo/errors.h"

#include <cerrno>
#include <cstring>

namespace kalendo {

namespace {

constexpr std::string_view kUsage =
    "usage: kalendo [-1|-3|-y] [-m] [-w] [[MONTH] YEAR | YEAR MONTH]\n"
    "       kalendo COMMAND [ARG...]\n"
    "\n"
    "as cal:\n"
    "  kalendo               this month, with the lunar calendar under each day\n"
    "  kalendo 2026          the whole year, three months abreast\n"
    "  kalendo 2 2026        February 2026 (kalendo 2026 2 too)\n"
    "  -3                    the month before, this one and the next\n"
    "  -y                    the whole year; -1: one month\n"
    "  -m                    weeks start on Monday\n"
    "  -w                    week numbers (ISO 8601 with -m)\n"
    "\n"
    "commands:\n"
    "  month [YEAR MONTH] [--today YYYY-MM-DD] [--cells]\n"
    "                        a month as a calendar page (--cells: for scripts)\n"
    "  day [YYYY-MM-DD]      a day: lunar date, 干支 and 生肖, solar term, festivals,\n"
    "                        star sign (default today)\n"
    "  terms [YEAR]          the 24 solar terms of a year (default this year)\n"
    "  ics YEAR [LAST] [--terms] [--festivals] [--lunar-days]\n"
    "                        an iCalendar file of those years for calendar programs\n"
    "                        (without a choice: solar terms and festivals)\n"
    "  members [--names]     the engine's members and their parameters\n"
    "  call MEMBER [ARG...]  calls one engine member, as the control's hosts do\n"
    "  help, --help          this text\n"
    "  --version             the version\n"
    "\n"
    "Years are 1901-2090. Pages fit the terminal: narrower than the lunar line, they\n"
    "show compact blocks.\n";

int runCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err,
               const CliOptions& options) {
    using namespace cli;
    if (isCalendarForm(args))
        return runCalendar(args, out, options);
    const std::string& command = args[0];
    const std::span<const std::string> rest = args.subspan(1);
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return 0;
    }
    if (command == "--version") {
        out << "kalendo " << kVersion << '\n';
        return 0;
    }
    if (command == "month")
        return runMonth(rest, out, options);
    if (command == "day")
        return runDay(rest, out, options);
    if (command == "terms")
        return runTerms(rest, out, options);
    if (command == "ics")
        return runIcs(rest, out);
    if (command == "members")
        return runMembers(rest, out);
    if (command == "call")
        return runCall(rest, out, err);
    throw UsageError{"unknown command " + command};
}

} // namespace

int runKalendo(std::span<const std::string> args, std::ostream& out, std::ostream& err,
               const CliOptions& given) {
    using namespace cli;
    CliOptions options = given;
    if (!options.columns)
        options.columns = terminalColumns();
    int status = 2;
    errno = 0;
    try {
        status = runCommand(args, out, err, options);
    } catch (const UsageError& e) {
        err << "kalendo: " << e.message << '\n';
    } catch (const EngineError& e) {
        err << "error " << e.number() << ": " << e.what() << '\n';
    }
    // A full disk or a closed pipe must not pass for success: the output would be cut off.
    out.flush();
    if (out.fail()) {
        const int error = errno;
        err << "kalendo: cannot write the output"
            << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
        return 1;
    }
    return status;
}

} // namespace kalendo
