// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace tikko {

// The five reminder types, in the order the editor lists them. Lines hold these texts
// verbatim and every reader compares them as exact texts.
namespace reminder {
inline const QString SoundAndAction = QStringLiteral("声音及附加动作");
inline const QString SoundAndText = QStringLiteral("声音及文本提醒");
inline const QString Sound = QStringLiteral("声音提醒");
inline const QString Text = QStringLiteral("文本框提醒");
inline const QString Action = QStringLiteral("附加动作");
} // namespace reminder

QStringList reminderTypes();
QStringList presetPromptTexts();

// The ten additional actions as the editor lists them. Only "运行软件..." is stored
// differently: as "运行软件:" followed at once by the program's full path.
namespace action {
inline const QString OpenHappyFarm = QStringLiteral("打开开心农场");
inline const QString OpenQQFarm = QStringLiteral("打开QQ农场");
inline const QString OpenOtherFarm = QStringLiteral("打开其他农场");
inline const QString RunProgramItem = QStringLiteral("运行软件...");
inline const QString RunProgramPrefix = QStringLiteral("运行软件:");
inline const QString CloseQQ = QStringLiteral("关闭QQ");
inline const QString CloseTM = QStringLiteral("关闭TM");
inline const QString CloseMSN = QStringLiteral("关闭MSN");
inline const QString CloseWangWang = QStringLiteral("关闭旺旺");
inline const QString CloseIE = QStringLiteral("关闭IE浏览器");
inline const QString ShutDown = QStringLiteral("电脑关机");
inline const QString ClosePrefix = QStringLiteral("关闭");
} // namespace action

QStringList additionalActions();

// The process a close action ends, empty when the text is no known close action.
QString processForCloseAction(const QString& actionText);
// The page a browser action opens, empty when the text is no known browser action.
QString pageForBrowserAction(const QString& actionText);

// One alarm line split into its four fields. Missing trailing fields read as empty.
struct AlarmFields {
    QString time;
    QString type;
    QString prompt;
    QString action;
};

// Splits at the first three "|". Whatever follows the third belongs to the action, so a
// program path holding "|" survives.
AlarmFields splitAlarmLine(const QString& line);

// Joins the four fields. A "|" in the prompt would shift the later fields, so it becomes
// the full-width "｜".
QString buildAlarmLine(const QDateTime& alarmTime, const QString& type, const QString& prompt,
                       const QString& action);

// Date-and-time text as this program writes it: four-digit year, no zone name, the date
// alone when the time of day is 00:00:00.
QString formatAlarmTime(const QDateTime& time);

// "yyyy-mm-dd hh:mm:ss", the form of the clock label and of every comparison.
QString formatClockTime(const QDateTime& time);

// How a locale writes dates and times, as far as reading alarm times needs it: the order of
// the short date's fields, its separators and the AM/PM markers. Read once from a locale,
// because a store of 100,000 lines must not consult the locale per line.
class AlarmTimeForms {
public:
    enum class DateOrder { YearMonthDay, MonthDayYear, DayMonthYear };

    explicit AlarmTimeForms(const QLocale& locale);
    // The system's regional settings, read at the first call.
    static const AlarmTimeForms& system();

    DateOrder dateOrder() const { return m_dateOrder; }
    // The short date's separator; a null character when it is a blank or a letter.
    QChar dateSeparator() const { return m_dateSeparator; }
    // The long time's separator, ':' in most locales, '.' in Finnish.
    QChar timeSeparator() const { return m_timeSeparator; }
    // 0 for an AM marker, 12 for a PM marker at the start of text, -1 for none; length is set
    // to the marker's length.
    int markerAt(QStringView text, qsizetype& length) const;

private:
    DateOrder m_dateOrder = DateOrder::YearMonthDay;
    QChar m_dateSeparator;
    QChar m_timeSeparator = QLatin1Char(':');
    QString m_am;
    QString m_pm;
};

// Reads an alarm time as local time: a date of three numbers and, after a blank, an optional
// time of day "H:mm" or "H:mm:ss" with an AM/PM marker before or after it. A date whose first
// number has four digits is year, month, day ("2026-12-08", "2026/12/8"); any other date
// follows the locale's short date ("12/8/26" is December in en_US, August in en_GB). A
// two-digit year lies in 2000-2099. Nothing for any other text (month names, zone names) or
// an impossible date or time.
std::optional<QDateTime> parseAlarmTime(QStringView text,
                                        const AlarmTimeForms& forms = AlarmTimeForms::system());

// Whole minutes of local wall-clock time on a fixed count: the unit of every due test.
// Wall-clock minutes keep an alarm at its written minute across a change of summer time.
qint64 minuteOf(const QDateTime& time);

// parseAlarmTime followed by minuteOf, without building a date-time.
std::optional<qint64> parseAlarmMinute(QStringView text,
                                       const AlarmTimeForms& forms = AlarmTimeForms::system());

// Whether the alarm check can read the time of a line (field 1): a line that it cannot read
// never fires.
bool hasReadableAlarmTime(QStringView line, const AlarmTimeForms& forms = AlarmTimeForms::system());

// Minute boundaries from the alarm time to the present (present minus alarm, seconds
// dropped). Due from 0, expired from 1.
inline qint64 minuteDifference(qint64 alarmMinute, qint64 presentMinute) {
    return presentMinute - alarmMinute;
}

} // namespace tikko
