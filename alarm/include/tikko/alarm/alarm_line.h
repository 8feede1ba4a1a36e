#pragma once

#include <QDateTime>
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

// Reads "yyyy-MM-dd HH:mm:ss", "yyyy/M/d H:mm:ss", "yyyy-M-d H:mm:ss" and their date-only
// forms as local time. Nothing for any other text or an impossible date or time.
std::optional<QDateTime> parseAlarmTime(const QString& text);

// Whole minutes of local wall-clock time on a fixed count: the unit of every due test.
// Wall-clock minutes keep an alarm at its written minute across a change of summer time.
qint64 minuteOf(const QDateTime& time);

// parseAlarmTime followed by minuteOf, without building a date-time.
std::optional<qint64> parseAlarmMinute(const QString& text);

// Minute boundaries from the alarm time to the present (present minus alarm, seconds
// dropped). Due from 0, expired from 1.
inline qint64 minuteDifference(qint64 alarmMinute, qint64 presentMinute) {
    return presentMinute - alarmMinute;
}

} // namespace tikko
