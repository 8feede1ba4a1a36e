// SPDX-License-Identifier: MIT
#include "commands.h"
#include "kalendo/month_grid.h"
#include "kalendo/text.h"

namespace kalendo::cli {

namespace {

std::string dateRange() {
    return paddedDate(Engine::kFirstDay) + " to " + paddedDate(Engine::kLastDay);
}

} // namespace

DayFacts dayFacts(const Engine& engine, Date date) {
    if (date < Engine::kFirstDay || date > Engine::kLastDay)
        throw UsageError{"the lunar calendar covers " + dateRange() + ", not " + paddedDate(date)};
    DayFacts facts;
    facts.date = date;
    facts.lunar = engine.solarToLunarDate(date);
    facts.lunarWords = lunarDateWords(facts.lunar);
    const Int16 lunarYear = static_cast<Int16>(facts.lunar.year);
    facts.stemBranch = engine.yearStemBranch(lunarYear);
    facts.animal = engine.zodiacAnimal(lunarYear);
    facts.solarTerm = std::string(text::trimBlanks(engine.solarTermOn(date)));
    facts.festivals = festivalNamesOn(engine, date, facts.lunar);
    facts.starSign = engine.starSign(date);
    return facts;
}

std::vector<TermDay> solarTermsOf(const Engine& engine, int year) {
    std::vector<TermDay> terms;
    for (Int16 n = 1; n <= 24; ++n) {
        const Date date = engine.solarTerm(year, n);
        // The name is the engine's own for that day, so the two members cannot disagree.
        terms.push_back({date, std::string(text::trimBlanks(engine.solarTermOn(date)))});
    }
    return terms;
}

int runDay(std::span<const std::string> args, std::ostream& out, const CliOptions& options) {
    if (args.size() > 1)
        throw UsageError{"day takes one date YYYY-MM-DD, or none for today"};
    const Date date = args.empty() ? options.today : parseUserDate(args[0]);
    const Engine engine;
    const DayFacts facts = dayFacts(engine, date);
    out << paddedDate(date) << ' ' << weekdayName(date.weekday()) << '\n';
    out << facts.lunarWords << '\n';
    out << facts.stemBranch << "年  生肖" << facts.animal << '\n';
    if (!facts.solarTerm.empty())
        out << "节气  " << facts.solarTerm << '\n';
    if (!facts.festivals.empty()) {
        out << "节日 ";
        for (const std::string& name : facts.festivals)
            out << ' ' << name;
        out << '\n';
    }
    out << "星座  " << facts.starSign << '\n';
    return 0;
}

int runTerms(std::span<const std::string> args, std::ostream& out, const CliOptions& options) {
    if (args.size() > 1)
        throw UsageError{"terms takes one YEAR, or none for this year"};
    const int year = args.empty() ? parseYear(std::to_string(options.today.year()), "this year")
                                  : parseYear(args[0]);
    const Engine engine;
    for (const TermDay& term : solarTermsOf(engine, year))
        out << paddedDate(term.date) << ' ' << weekdayName(term.date.weekday()) << "  " << term.name
            << '\n';
    return 0;
}

} // namespace kalendo::cli
