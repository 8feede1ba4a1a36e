// SPDX-License-Identifier: MIT
#include "kalendo_cli.h"

#include "commands.h"
#include "kalendo/errors.h"

namespace kalendo {

namespace {

constexpr std::string_view kUsage =
    "usage: kalendo [COMMAND [ARG...]]      without a command: this month\n"
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
    "Years are 1901-2090.\n";

} // namespace

int runKalendo(std::span<const std::string> args, std::ostream& out, std::ostream& err,
               const CliOptions& options) {
    using namespace cli;
    try {
        if (args.empty())
            return runMonth({}, out, options); // as cal does
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
    } catch (const UsageError& e) {
        err << "kalendo: " << e.message << '\n';
        if (e.withUsage)
            err << kUsage;
    } catch (const EngineError& e) {
        err << "error " << e.number() << ": " << e.what() << '\n';
    }
    return 2;
}

} // namespace kalendo
