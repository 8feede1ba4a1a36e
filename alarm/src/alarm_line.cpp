// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_line.h"

#include "kalendo/date.h"

#include <algorithm>

namespace tikko {

const ReminderType* findReminderType(QStringView text) {
    for (const ReminderType& type : ReminderTypes) {
        if (type.text == text)
            return &type;
    }
    return nullptr;
}

const ReminderType* findReminderTypeName(QStringView name) {
    for (const ReminderType& type : ReminderTypes) {
        if (type.text == name || type.ascii == name)
            return &type;
    }
    return nullptr;
}

QStringList reminderTypes() {
    QStringList texts;
    for (const ReminderType& type : ReminderTypes)
        texts.append(type.text.toString());
    return texts;
}

QStringList presetPromptTexts() {
    return {QStringLiteral("菜熟啦，赶紧偷啊"), QStringLiteral("重要提示哦"),
            QStringLiteral("生日提醒")};
}

QStringList additionalActions() {
    QStringList items;
    for (const AdditionalAction& action : AdditionalActions)
        items.append(action.item.toString());
    return items;
}

const AdditionalAction* findStoredAction(QStringView stored) {
    for (const AdditionalAction& action : AdditionalActions) {
        if (action.kind == AdditionalAction::RunProgram ? stored.startsWith(action.stored)
                                                        : stored == action.stored)
            return &action;
    }
    return nullptr;
}

const AdditionalAction* findActionItem(QStringView item) {
    for (const AdditionalAction& action : AdditionalActions) {
        if (action.item == item)
            return &action;
    }
    return nullptr;
}

const AdditionalAction* findActionName(QStringView name) {
    for (const AdditionalAction& action : AdditionalActions) {
        if (action.item == name || action.ascii == name || action.stored == name)
            return &action;
    }
    return nullptr;
}

QString storedActionText(const AdditionalAction& action, const QString& programPath) {
    if (action.kind == AdditionalAction::RunProgram)
        return action.stored.toString() + programPath;
    return action.stored.toString();
}

QString buildAlarmLine(const QDateTime& alarmTime, QStringView type, const QString& prompt,
                       const QString& action) {
    QString safePrompt = prompt;
    safePrompt.replace(QLatin1Char('|'), QChar(0xFF5C));
    return formatAlarmTime(alarmTime) + QLatin1Char('|') + type.toString() + QLatin1Char('|') +
           safePrompt + QLatin1Char('|') + action;
}

QString formatAlarmTime(const QDateTime& time) {
    const QTime t = time.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return time.date().toString(QStringLiteral("yyyy-MM-dd"));
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString formatClockTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {

// The first punctuation between the pattern letter at `from` and the next pattern letter;
// a null character when only blanks or literal letters stand there ("d MMM yyyy").
QChar separatorAfter(const QString& format, qsizetype from) {
    const QChar letter = format.at(from);
    qsizetype i = from;
    while (i < format.size() && format.at(i) == letter)
        ++i;
    for (; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c.isLetter())
            break;
        if (c == QLatin1Char('\''))
            continue;
        if (c.isPunct() || c.isSymbol())
            return c;
    }
    return {};
}

bool startsWithMarker(QStringView text, const QString& marker) {
    return !marker.isEmpty() && text.startsWith(marker, Qt::CaseInsensitive);
}

struct Parsed {
    QDate date;
    QTime time;
};

// Reads minDigits to maxDigits ASCII digits at pos; digits tells how many there were.
bool readNumber(QStringView text, qsizetype& pos, int minDigits, int maxDigits, int& value,
                int& digits) {
    digits = 0;
    value = 0;
    while (pos < text.size() && digits < maxDigits) {
        const char16_t c = text.at(pos).unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        ++pos;
        ++digits;
    }
    return digits >= minDigits;
}

bool readNumber(QStringView text, qsizetype& pos, int minDigits, int maxDigits, int& value) {
    int digits = 0;
    return readNumber(text, pos, minDigits, maxDigits, value, digits);
}

void skipBlanks(QStringView text, qsizetype& pos) {
    while (pos < text.size() && text.at(pos) == QLatin1Char(' '))
        ++pos;
}

using DateOrder = AlarmTimeForms::DateOrder;
using Digits = AlarmTimeForms::Digits;

bool isDateSeparator(QChar c) {
    return c == QLatin1Char('-') || c == QLatin1Char('/') || c == QLatin1Char('.');
}

// A day or month field as the locale writes it.
bool fitsDigits(int value, int digits, Digits rule) {
    return rule == Digits::Two ? digits == 2 : digits == 1 || (digits == 2 && value >= 10);
}

std::optional<QDate> parseDate(QStringView text, qsizetype& pos, const AlarmTimeForms& forms) {
    int numbers[3] = {};
    int digits[3] = {};
    QChar separator;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= text.size())
                return std::nullopt;
            const QChar c = text.at(pos);
            if (i == 1 ? !(isDateSeparator(c) || c == forms.dateSeparator()) : c != separator)
                return std::nullopt;
            separator = c;
            ++pos;
            skipBlanks(text, pos); // "yy. M. d."
        }
        if (!readNumber(text, pos, 1, 4, numbers[i], digits[i]))
            return std::nullopt;
    }
    // A separator may close the date too ("26. 12. 8.").
    if (pos < text.size() && text.at(pos) == separator)
        ++pos;

    int year = 0, month = 0, day = 0;
    if (digits[0] == 4) {
        // A leading four-digit year cannot be mistaken in any locale.
        if (digits[1] > 2 || digits[2] > 2)
            return std::nullopt;
        year = numbers[0], month = numbers[1], day = numbers[2];
    } else {
        // Any other date is read only as this locale writes its own short date.
        if (!forms.hasNumericDate() || separator != forms.dateSeparator())
            return std::nullopt;
        int yearDigits = 0, monthDigits = 0, dayDigits = 0;
        switch (forms.dateOrder()) {
        case DateOrder::YearMonthDay:
            year = numbers[0], yearDigits = digits[0];
            month = numbers[1], monthDigits = digits[1];
            day = numbers[2], dayDigits = digits[2];
            if (yearDigits != 2 || !forms.twoDigitLeadingYear())
                return std::nullopt;
            break;
        case DateOrder::MonthDayYear:
            month = numbers[0], monthDigits = digits[0];
            day = numbers[1], dayDigits = digits[1];
            year = numbers[2], yearDigits = digits[2];
            break;
        case DateOrder::DayMonthYear:
            day = numbers[0], dayDigits = digits[0];
            month = numbers[1], monthDigits = digits[1];
            year = numbers[2], yearDigits = digits[2];
            break;
        }
        if ((yearDigits != 2 && yearDigits != 4) ||
            !fitsDigits(month, monthDigits, forms.monthDigits()) ||
            !fitsDigits(day, dayDigits, forms.dayDigits()))
            return std::nullopt;
        if (yearDigits == 2)
            year += 2000; // alarms lie in this century
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> parseTime(QStringView text, qsizetype& pos, const AlarmTimeForms& forms) {
    qsizetype markerLength = 0;
    int marker = forms.markerAt(text.mid(pos), markerLength);
    if (marker >= 0) {
        pos += markerLength;
        skipBlanks(text, pos);
    }
    const auto isTimeSeparator = [&](QChar c) {
        return c == QLatin1Char(':') || c == forms.timeSeparator();
    };
    int hour = 0, minute = 0, second = 0;
    if (!readNumber(text, pos, 1, 2, hour) || pos >= text.size() || !isTimeSeparator(text.at(pos)))
        return std::nullopt;
    ++pos;
    if (!readNumber(text, pos, 2, 2, minute))
        return std::nullopt;
    if (pos < text.size() && isTimeSeparator(text.at(pos))) {
        ++pos;
        if (!readNumber(text, pos, 2, 2, second))
            return std::nullopt;
    }
    if (marker < 0 && pos < text.size()) {
        skipBlanks(text, pos);
        marker = forms.markerAt(text.mid(pos), markerLength);
        if (marker < 0)
            return std::nullopt;
        pos += markerLength;
    }
    if (pos != text.size())
        return std::nullopt;
    if (marker >= 0) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + marker;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return QTime(hour, minute, second);
}

std::optional<Parsed> parse(QStringView raw, const AlarmTimeForms& forms) {
    const QStringView text = raw.trimmed();
    qsizetype pos = 0;
    const auto date = parseDate(text, pos, forms);
    if (!date)
        return std::nullopt;
    if (pos == text.size())
        return Parsed{*date, QTime(0, 0)};
    if (text.at(pos) != QLatin1Char(' '))
        return std::nullopt;
    skipBlanks(text, pos);
    const auto time = parseTime(text, pos, forms);
    if (!time)
        return std::nullopt;
    return Parsed{*date, *time};
}

} // namespace

AlarmTimeForms::AlarmTimeForms(const QLocale& locale)
    : m_am(locale.amText())
    , m_pm(locale.pmText()) {
    const QString date = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype y = date.indexOf(QLatin1Char('y'));
    const qsizetype m = date.indexOf(QLatin1Char('M'));
    const qsizetype d = date.indexOf(QLatin1Char('d'));
    const auto run = [&](qsizetype at) {
        qsizetype end = at;
        while (end < date.size() && date.at(end) == date.at(at))
            ++end;
        return end - at;
    };
    // Only a short date of three numbers: "MMM" is a month name, which no alarm line holds.
    if (m >= 0 && d >= 0 && y >= 0 && run(m) <= 2 && run(d) <= 2) {
        const qsizetype first = std::min({y, m, d});
        if (first == m)
            m_dateOrder = DateOrder::MonthDayYear;
        else if (first == d)
            m_dateOrder = DateOrder::DayMonthYear;
        m_dateSeparator = separatorAfter(date, first);
        m_dayDigits = run(d) == 2 ? Digits::Two : Digits::NoLeadingZero;
        m_monthDigits = run(m) == 2 ? Digits::Two : Digits::NoLeadingZero;
        m_twoDigitYear = run(y) == 2;
    }
    const QString time = locale.timeFormat(QLocale::LongFormat);
    qsizetype h = time.indexOf(QLatin1Char('h'));
    if (h < 0)
        h = time.indexOf(QLatin1Char('H'));
    if (h >= 0) {
        const QChar separator = separatorAfter(time, h);
        if (!separator.isNull())
            m_timeSeparator = separator;
    }
}

const AlarmTimeForms& AlarmTimeForms::system() {
    static const AlarmTimeForms forms(QLocale::system());
    return forms;
}

int AlarmTimeForms::markerAt(QStringView text, qsizetype& length) const {
    // The locale's own markers, then the English ones that Windows writes in many locales and
    // the Chinese ones of the stores this program was made for.
    const QString* const markers[] = {&m_am, &m_pm};
    for (int i = 0; i < 2; ++i) {
        if (startsWithMarker(text, *markers[i])) {
            length = markers[i]->size();
            return 12 * i;
        }
    }
    static const QString common[][2] = {{QStringLiteral("AM"), QStringLiteral("PM")},
                                        {QStringLiteral("上午"), QStringLiteral("下午")}};
    for (const auto& pair : common) {
        for (int i = 0; i < 2; ++i) {
            if (startsWithMarker(text, pair[i])) {
                length = pair[i].size();
                return 12 * i;
            }
        }
    }
    return -1;
}

std::optional<QDateTime> parseAlarmTime(QStringView text, const AlarmTimeForms& forms) {
    const auto parsed = parse(text, forms);
    if (!parsed)
        return std::nullopt;
    return QDateTime(parsed->date, parsed->time);
}

namespace {
constexpr qint64 UnixEpochJulianDay = 2440588; // 1970-01-01, day 0 of kalendo::Date
}

kalendo::DateTime wallTimeOf(const QDateTime& time) {
    const QTime t = time.time();
    return {
        kalendo::Date(static_cast<std::int32_t>(time.date().toJulianDay() - UnixEpochJulianDay)),
        t.hour() * 3600 + t.minute() * 60 + t.second()};
}

QDateTime dateTimeOf(kalendo::DateTime moment) {
    return QDateTime(QDate::fromJulianDay(moment.date.serial() + UnixEpochJulianDay),
                     QTime(0, 0).addSecs(moment.seconds));
}

qint64 minuteOf(kalendo::DateTime moment) {
    return (moment.date.serial() + UnixEpochJulianDay) * 1440 + moment.seconds / 60;
}

std::optional<kalendo::DateTime> parseWallTime(QStringView text, const AlarmTimeForms& forms) {
    const auto parsed = parse(text, forms);
    if (!parsed)
        return std::nullopt;
    const QTime t = parsed->time;
    return kalendo::DateTime{
        kalendo::Date(static_cast<std::int32_t>(parsed->date.toJulianDay() - UnixEpochJulianDay)),
        t.hour() * 3600 + t.minute() * 60 + t.second()};
}

QString formatWallTime(kalendo::DateTime moment) {
    const QDate date = QDate::fromJulianDay(moment.date.serial() + UnixEpochJulianDay);
    const QTime time = QTime(0, 0).addSecs(moment.seconds);
    if (moment.seconds == 0)
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    return date.toString(QStringLiteral("yyyy-MM-dd ")) + time.toString(QStringLiteral("HH:mm:ss"));
}

qint64 minuteOf(const QDateTime& time) {
    const QTime t = time.time();
    return time.date().toJulianDay() * 1440 + t.hour() * 60 + t.minute();
}

std::optional<qint64> parseAlarmMinute(QStringView text, const AlarmTimeForms& forms) {
    const auto parsed = parse(text, forms);
    if (!parsed)
        return std::nullopt;
    return parsed->date.toJulianDay() * 1440 + parsed->time.hour() * 60 + parsed->time.minute();
}

} // namespace tikko
