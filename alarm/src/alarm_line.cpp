#include "tikko/alarm/alarm_line.h"

namespace tikko {

QStringList reminderTypes() {
    return {reminder::SoundAndAction, reminder::SoundAndText, reminder::Sound, reminder::Text,
            reminder::Action};
}

QStringList presetPromptTexts() {
    return {QStringLiteral("菜熟啦，赶紧偷啊"), QStringLiteral("重要提示哦"),
            QStringLiteral("生日提醒")};
}

QStringList additionalActions() {
    return {action::OpenHappyFarm,  action::OpenQQFarm,    action::OpenOtherFarm,
            action::RunProgramItem, action::CloseQQ,       action::CloseTM,
            action::CloseMSN,       action::CloseWangWang, action::CloseIE,
            action::ShutDown};
}

QString processForCloseAction(const QString& actionText) {
    if (actionText == action::CloseQQ)
        return QStringLiteral("qq.exe");
    if (actionText == action::CloseTM)
        return QStringLiteral("tm.exe");
    if (actionText == action::CloseMSN)
        return QStringLiteral("msn.exe");
    if (actionText == action::CloseWangWang)
        return QStringLiteral("aliim.exe");
    if (actionText == action::CloseIE)
        return QStringLiteral("iexplore.exe");
    return {};
}

QString pageForBrowserAction(const QString& actionText) {
    // Bare host names for the two game sites (the browser backend adds the scheme), a full
    // address for the maker's page.
    if (actionText == action::OpenHappyFarm)
        return QStringLiteral("www.kaixin001.com");
    if (actionText == action::OpenQQFarm)
        return QStringLiteral("qzone.qq.com");
    if (actionText == action::OpenOtherFarm)
        return QStringLiteral("http://www.tikko.example.com/ad-tc.asp");
    return {};
}

AlarmFields splitAlarmLine(const QString& line) {
    AlarmFields fields;
    QString* const targets[] = {&fields.time, &fields.type, &fields.prompt};
    qsizetype start = 0;
    for (QString* target : targets) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'), start);
        if (bar < 0) {
            *target = line.mid(start);
            return fields;
        }
        *target = line.mid(start, bar - start);
        start = bar + 1;
    }
    fields.action = line.mid(start);
    return fields;
}

QString buildAlarmLine(const QDateTime& alarmTime, const QString& type, const QString& prompt,
                       const QString& action) {
    QString safePrompt = prompt;
    safePrompt.replace(QLatin1Char('|'), QChar(0xFF5C));
    return formatAlarmTime(alarmTime) + QLatin1Char('|') + type + QLatin1Char('|') + safePrompt +
           QLatin1Char('|') + action;
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

struct Parsed {
    QDate date;
    QTime time;
};

// Reads 1 to maxDigits ASCII digits at pos.
bool readNumber(const QString& text, qsizetype& pos, int minDigits, int maxDigits, int& value) {
    int digits = 0;
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

std::optional<Parsed> parse(const QString& raw) {
    const QString text = raw.trimmed();
    qsizetype pos = 0;
    int year = 0, month = 0, day = 0;
    if (!readNumber(text, pos, 4, 4, year) || pos >= text.size())
        return std::nullopt;
    const QChar sep = text.at(pos);
    if (sep != QLatin1Char('-') && sep != QLatin1Char('/'))
        return std::nullopt;
    ++pos;
    if (!readNumber(text, pos, 1, 2, month) || pos >= text.size() || text.at(pos) != sep)
        return std::nullopt;
    ++pos;
    if (!readNumber(text, pos, 1, 2, day))
        return std::nullopt;
    Parsed result{QDate(year, month, day), QTime(0, 0)};
    if (!result.date.isValid())
        return std::nullopt;
    if (pos == text.size())
        return result;
    if (text.at(pos) != QLatin1Char(' '))
        return std::nullopt;
    while (pos < text.size() && text.at(pos) == QLatin1Char(' '))
        ++pos;
    int hour = 0, minute = 0, second = 0;
    if (!readNumber(text, pos, 1, 2, hour) || pos >= text.size() ||
        text.at(pos) != QLatin1Char(':'))
        return std::nullopt;
    ++pos;
    if (!readNumber(text, pos, 2, 2, minute) || pos >= text.size() ||
        text.at(pos) != QLatin1Char(':'))
        return std::nullopt;
    ++pos;
    if (!readNumber(text, pos, 2, 2, second) || pos != text.size())
        return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    result.time = QTime(hour, minute, second);
    return result;
}

} // namespace

std::optional<QDateTime> parseAlarmTime(const QString& text) {
    const auto parsed = parse(text);
    if (!parsed)
        return std::nullopt;
    return QDateTime(parsed->date, parsed->time);
}

qint64 minuteOf(const QDateTime& time) {
    const QTime t = time.time();
    return time.date().toJulianDay() * 1440 + t.hour() * 60 + t.minute();
}

std::optional<qint64> parseAlarmMinute(const QString& text) {
    const auto parsed = parse(text);
    if (!parsed)
        return std::nullopt;
    return parsed->date.toJulianDay() * 1440 + parsed->time.hour() * 60 + parsed->time.minute();
}

} // namespace tikko
