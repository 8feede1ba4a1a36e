// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_calendar.h"

#include "commands.h" // kalendo's iCalendar escaping and folding
#include "kalendo/date.h"
#include "tikko/alarm/alarm_line.h"

#include <QHash>
#include <cstdio>
#include <string>

namespace tikko {

namespace {

using kalendo::DateTime;

constexpr int HorizonYears = 10;

std::string basicTime(DateTime moment) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02uT%02d%02d%02d", moment.date.year(),
                  moment.date.month(), moment.date.day(), moment.seconds / 3600,
                  moment.seconds / 60 % 60, moment.seconds % 60);
    return text;
}

std::string utf8(QStringView text) {
    return text.toString().toStdString();
}

void add(std::string& out, std::string_view name, std::string_view value) {
    out += kalendo::cli::icsFolded(std::string(name) + ":" + std::string(value));
}

// FNV-1a: the same on every machine and in every release, so UIDs survive an upgrade.
std::string hashOf(const QString& text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text.toUtf8())
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

// The RRULE of a Gregorian rule; nothing when iCalendar needs single events for it.
std::optional<std::string> recurrence(const RepeatRule& rule) {
    static constexpr const char* Days[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    const auto byDay = [](std::uint8_t mask) {
        std::string days;
        for (int weekday : {1, 2, 3, 4, 5, 6, 0}) { // Monday first, as people read a week
            if (mask & (1u << weekday))
                days += (days.empty() ? "" : ",") + std::string(Days[weekday]);
        }
        return days;
    };
    switch (rule.kind) {
    case RepeatRule::Daily:
        return "FREQ=DAILY";
    case RepeatRule::Workdays:
        return "FREQ=WEEKLY;BYDAY=" + byDay(0b0111110);
    case RepeatRule::Weekly:
        return "FREQ=WEEKLY;BYDAY=" + byDay(rule.weekdays);
    case RepeatRule::Monthly:
        // Day 31 is each month's last day; 29 and 30 are the last day only in shorter months,
        // which takes BYSETPOS, and not every calendar program reads that.
        if (rule.day == 31)
            return "FREQ=MONTHLY;BYMONTHDAY=-1";
        if (rule.day <= 28)
            return "FREQ=MONTHLY;BYMONTHDAY=" + std::to_string(rule.day);
        return std::nullopt;
    case RepeatRule::Yearly:
        // 29 February is February's last day: 28 February in common years.
        return "FREQ=YEARLY;BYMONTH=" + std::to_string(rule.month) + ";BYMONTHDAY=" +
               (rule.month == 2 && rule.day == 29 ? std::string("-1") : std::to_string(rule.day));
    default:
        return std::nullopt;
    }
}

struct Event {
    std::string uid;
    DateTime start;
    std::string rrule;
};

void writeEvent(std::string& out, const Event& event, const Alarm& alarm, int advanceMinutes,
                const std::string& stamp) {
    using kalendo::cli::icsEscaped;
    const QStringView summary = !alarm.prompt().isEmpty()   ? alarm.prompt()
                                : !alarm.action().isEmpty() ? alarm.action()
                                                            : alarm.type();
    QStringList details{alarm.type().toString()};
    if (!alarm.action().isEmpty())
        details << alarm.action().toString();
    if (alarm.repeats())
        details << QString::fromStdString(ruleName(*alarm.rule()));
    out += "BEGIN:VEVENT\r\n";
    add(out, "UID", event.uid);
    add(out, "DTSTAMP", stamp);
    add(out, "DTSTART", basicTime(event.start));
    add(out, "DURATION", "PT1M");
    if (!event.rrule.empty())
        add(out, "RRULE", event.rrule);
    add(out, "SUMMARY", icsEscaped(utf8(summary)));
    add(out, "DESCRIPTION", icsEscaped(utf8(details.join(QStringLiteral(" · ")))));
    out += "BEGIN:VALARM\r\n";
    add(out, "ACTION", "DISPLAY");
    add(out, "DESCRIPTION", icsEscaped(utf8(summary)));
    const int lead = std::abs(advanceMinutes);
    add(out, "TRIGGER", (advanceMinutes > 0 ? "-PT" : "PT") + std::to_string(lead) + "M");
    out += "END:VALARM\r\n";
    out += "END:VEVENT\r\n";
}

} // namespace

AlarmCalendar alarmCalendar(const QList<Alarm>& alarms, const QDateTime& present) {
    const DateTime now = wallTimeOf(present);
    AlarmCalendar calendar;
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
                      "PRODID:-//Tikko//TikkoClock//ZH\r\nCALSCALE:GREGORIAN\r\n";
    add(out, "X-WR-CALNAME", "TikkoClock");
    const std::string dtstamp =
        present.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString();
    const DateTime horizon{
        kalendo::Date::fromYmd(now.date.year() + HorizonYears, now.date.month(), 1), 0};
    QHash<QString, int> seen; // alarms that are alike get UIDs of their own all the same
    for (const Alarm& alarm : alarms) {
        const auto firing = parseWallTime(alarm.time());
        if (!firing || alarm.exhausted()) {
            ++calendar.skipped;
            continue;
        }
        // A repeating alarm's time moves on as it fires; what it is stays.
        const QString identity =
            alarm.repeats() ? alarm.text().mid(alarm.time().size()) : alarm.text();
        const int copy = seen[identity]++;
        const std::string uid =
            hashOf(identity) + (copy ? "-" + std::to_string(copy) : std::string());
        const std::string domain = "@tikkoclock.tikko.example.com";
        ++calendar.alarms;
        if (!alarm.repeats()) {
            writeEvent(out, {uid + domain, *firing, {}}, alarm, 0, dtstamp);
            continue;
        }
        const RepeatRule& rule = *alarm.rule();
        const auto occurrence = [&](DateTime fires) {
            return addSeconds(fires, std::int64_t{rule.advanceMinutes} * 60);
        };
        if (const auto rrule = recurrence(rule)) {
            writeEvent(out, {uid + domain, occurrence(*firing), *rrule}, alarm, rule.advanceMinutes,
                       dtstamp);
            continue;
        }
        for (std::optional<DateTime> fires = firing; fires; fires = nextFiring(rule, *fires)) {
            const DateTime at = occurrence(*fires);
            if (minuteOf(at) >= minuteOf(horizon))
                break;
            writeEvent(out, {uid + "-" + basicTime(at).substr(0, 8) + domain, at, {}}, alarm,
                       rule.advanceMinutes, dtstamp);
        }
    }
    out += "END:VCALENDAR\r\n";
    calendar.text = QByteArray::fromStdString(out);
    return calendar;
}

SaveResult exportAlarmCalendar(const AlarmModel& alarms, const QString& path,
                               const QDateTime& now) {
    QList<Alarm> list;
    list.reserve(alarms.count());
    for (int row = 0; row < alarms.count(); ++row)
        list.append(alarms.at(row));
    return writeStoreFile(path, alarmCalendar(list, now).text);
}

} // namespace tikko
