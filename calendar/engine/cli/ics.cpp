// SPDX-License-Identifier: MIT
#include "commands.h"
#include "kalendo/month_grid.h"
#include "kalendo/text.h"

#include <cstdint>
#include <cstdio>

namespace kalendo::cli {

namespace {

constexpr std::string_view kUidDomain = "kalendo.tikkoclock";
constexpr std::size_t kFoldOctets = 75;

std::string basicDate(Date d) {
    return paddedDate(d, "");
}

// FNV-1a: short, and the same on every machine and in every release.
std::uint64_t fnv1a(std::string_view s) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : s)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    return hash;
}

void addLine(std::string& out, std::string_view name, std::string_view value) {
    out += icsFolded(std::string(name) + ":" + std::string(value));
}

} // namespace

std::string icsEscaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '\\':
        case ';':
        case ',':
            escaped += '\\';
            escaped += c;
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            break; // a CR LF is one line break, written as \n
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string icsFolded(std::string_view line) {
    std::string folded;
    std::size_t limit = kFoldOctets; // a continuation line's leading blank counts too
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut; // never inside a UTF-8 character
        folded.append(line.substr(0, cut)).append("\r\n ");
        line.remove_prefix(cut);
        limit = kFoldOctets - 1;
    }
    return folded.append(line).append("\r\n");
}

std::string icsUid(const IcsEvent& event) {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(fnv1a(event.summary)));
    return basicDate(event.date) + "-" + std::string(event.kind) + "-" + hash + "@" +
           std::string(kUidDomain);
}

std::vector<IcsEvent> icsEvents(const Engine& engine, int firstYear, int lastYear,
                                IcsContents contents) {
    std::vector<IcsEvent> events;
    const Date end = Date::fromYmd(lastYear + 1, 1, 1);
    for (Date date = Date::fromYmd(firstYear, 1, 1); date < end; date = date.plusDays(1)) {
        const LunarDate lunar = engine.solarToLunarDate(date);
        if (contents.lunarDays)
            events.push_back({date, "lunar-day", lunar.monthName() + lunar.dayName(), "农历",
                              lunarDateWords(lunar)});
        if (contents.terms) {
            const std::string term(text::trimBlanks(engine.solarTermOn(date)));
            if (!term.empty())
                events.push_back({date, "term", term, "节气", {}});
        }
        if (contents.festivals)
            for (std::string& name : festivalNamesOn(engine, date, lunar))
                events.push_back({date, "festival", std::move(name), "节日", {}});
    }
    return events;
}

std::string icsCalendar(std::span<const IcsEvent> events, std::string_view calendarName) {
    std::string out;
    addLine(out, "BEGIN", "VCALENDAR");
    addLine(out, "VERSION", "2.0");
    addLine(out, "PRODID", "-//TikkoClock//Kalendo " + std::string(kVersion) + "//ZH");
    addLine(out, "CALSCALE", "GREGORIAN");
    addLine(out, "METHOD", "PUBLISH");
    addLine(out, "X-WR-CALNAME", icsEscaped(calendarName));
    for (const IcsEvent& event : events) {
        addLine(out, "BEGIN", "VEVENT");
        addLine(out, "UID", icsUid(event));
        // Stamped with the day itself, not the clock: the same years give the same file.
        addLine(out, "DTSTAMP", basicDate(event.date) + "T000000Z");
        addLine(out, "DTSTART;VALUE=DATE", basicDate(event.date));
        addLine(out, "DTEND;VALUE=DATE", basicDate(event.date.plusDays(1)));
        addLine(out, "SUMMARY", icsEscaped(event.summary));
        if (!event.description.empty())
            addLine(out, "DESCRIPTION", icsEscaped(event.description));
        addLine(out, "CATEGORIES", icsEscaped(event.category));
        addLine(out, "TRANSP", "TRANSPARENT"); // a festival does not make anyone busy
        addLine(out, "END", "VEVENT");
    }
    addLine(out, "END", "VCALENDAR");
    return out;
}

int runIcs(std::span<const std::string> args, std::ostream& out) {
    IcsContents contents;
    std::vector<std::string> years;
    for (const std::string& arg : args) {
        if (arg == "--terms")
            contents.terms = true;
        else if (arg == "--festivals")
            contents.festivals = true;
        else if (arg == "--lunar-days")
            contents.lunarDays = true;
        else if (arg.starts_with("--"))
            throw UsageError{"unknown option " + arg};
        else
            years.push_back(arg);
    }
    if (years.empty() || years.size() > 2)
        throw UsageError{"ics takes a YEAR, or a first and a last YEAR"};
    // Without a choice: what people look for in a calendar, not a line on every day.
    if (!contents.terms && !contents.festivals && !contents.lunarDays)
        contents.terms = contents.festivals = true;
    const int first = parseYear(years[0]);
    const int last = years.size() == 2 ? parseYear(years[1], "last year") : first;
    if (last < first)
        throw UsageError{"the last year " + years[1] + " comes before the first " + years[0]};
    const Engine engine;
    const std::vector<IcsEvent> events = icsEvents(engine, first, last, contents);
    std::string name = "农历 " + std::to_string(first);
    if (last != first)
        name += "-" + std::to_string(last);
    out << icsCalendar(events, name);
    return 0;
}

} // namespace kalendo::cli
