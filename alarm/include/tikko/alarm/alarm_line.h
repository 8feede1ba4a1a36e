// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace kalendo {
class Date;
struct DateTime;
} // namespace kalendo

namespace tikko {

// The five reminder types, in the order the editor lists them. Lines hold the texts verbatim
// and every reader compares them as exact texts. A type's flags decide both which editor boxes
// it enables and what happens when it fires.
struct ReminderType {
    QStringView text;
    QStringView ascii; // the name scripts may use instead
    bool sound;        // plays the alarm sound
    bool window;       // shows the reminder window with the prompt (the prompt box is enabled)
    bool action;       // carries out the additional action (the action box is enabled)
};

inline constexpr std::array<ReminderType, 5> ReminderTypes{{
    // text               ascii           sound  window action
    {u"声音及附加动作", u"sound-action", true, false, true},
    {u"声音及文本提醒", u"sound-text", true, true, false},
    {u"声音提醒", u"sound", true, false, false},
    {u"文本框提醒", u"text", false, true, false},
    {u"附加动作", u"action", false, false, true},
}};

// The type a line names; nothing for any other text (such a line fires without effect).
const ReminderType* findReminderType(QStringView text);
// The type a script names, by its text or its ASCII name.
const ReminderType* findReminderTypeName(QStringView name);

namespace reminder {
inline constexpr QStringView SoundAndAction = ReminderTypes[0].text;
inline constexpr QStringView SoundAndText = ReminderTypes[1].text;
inline constexpr QStringView Sound = ReminderTypes[2].text;
inline constexpr QStringView Text = ReminderTypes[3].text;
inline constexpr QStringView Action = ReminderTypes[4].text;
} // namespace reminder

QStringList reminderTypes();
QStringList presetPromptTexts();

struct AdditionalAction {
    // What it does when its alarm fires.
    enum Kind {
        OpenPage,   // opens `target` in the web browser
        RunProgram, // runs the program whose path follows the stored text
        EndProcess, // ends the running program named `target`
        ShutDown,   // shuts the computer down and ends this program
    };

    QStringView item;   // the editor's item text
    QStringView ascii;  // the name scripts may use instead
    QStringView stored; // the text in the line; for a program, the path follows it at once
    Kind kind;
    QStringView target; // the page (a bare host name gets "http://") or the process name
};

// The ten additional actions, in the order the editor lists them.
inline constexpr std::array<AdditionalAction, 10> AdditionalActions{{
    // item           ascii          stored            kind                      target
    {u"打开开心农场", u"kaixin-farm", u"打开开心农场", AdditionalAction::OpenPage,
     u"www.kaixin001.com"},
    {u"打开QQ农场", u"qq-farm", u"打开QQ农场", AdditionalAction::OpenPage, u"qzone.qq.com"},
    {u"打开其他农场", u"other-farm", u"打开其他农场", AdditionalAction::OpenPage,
     u"http://www.tikko.example.com/ad-tc.asp"},
    {u"运行软件...", u"run", u"运行软件:", AdditionalAction::RunProgram, u""},
    {u"关闭QQ", u"close-qq", u"关闭QQ", AdditionalAction::EndProcess, u"qq.exe"},
    {u"关闭TM", u"close-tm", u"关闭TM", AdditionalAction::EndProcess, u"tm.exe"},
    {u"关闭MSN", u"close-msn", u"关闭MSN", AdditionalAction::EndProcess, u"msn.exe"},
    {u"关闭旺旺", u"close-wangwang", u"关闭旺旺", AdditionalAction::EndProcess, u"aliim.exe"},
    {u"关闭IE浏览器", u"close-ie", u"关闭IE浏览器", AdditionalAction::EndProcess, u"iexplore.exe"},
    {u"电脑关机", u"shutdown", u"电脑关机", AdditionalAction::ShutDown, u""},
}};

namespace action {
inline constexpr QStringView RunProgramItem = AdditionalActions[3].item;
inline constexpr QStringView RunProgramPrefix = AdditionalActions[3].stored;
inline constexpr QStringView CloseQQ = AdditionalActions[4].stored;
inline constexpr QStringView ShutDown = AdditionalActions[9].stored;
// Any stored text that begins so ends a process, or none when it is no known close action.
inline constexpr QStringView ClosePrefix = u"关闭";
} // namespace action

QStringList additionalActions();

// The action a stored text names: a program action by its prefix, the others by their whole
// text. Nothing for any other text.
const AdditionalAction* findStoredAction(QStringView stored);
// The action an editor item names.
const AdditionalAction* findActionItem(QStringView item);
// The action a script names: by its item text, its stored text or its ASCII name.
const AdditionalAction* findActionName(QStringView name);

// The text a line stores for an editor item ("运行软件:" and the path for a program).
QString storedActionText(const AdditionalAction& action, const QString& programPath);

// Joins the four fields. A "|" in the prompt would shift the later fields, so it becomes
// the full-width "｜".
QString buildAlarmLine(const QDateTime& alarmTime, QStringView type, const QString& prompt,
                       const QString& action);

// Date-and-time text as this program writes it: four-digit year, no zone name, the date
// alone when the time of day is 00:00:00.
QString formatAlarmTime(const QDateTime& time);

// "yyyy-mm-dd hh:mm:ss", the form of the clock label and of every comparison.
QString formatClockTime(const QDateTime& time);

// How a locale writes its short date and its times, as far as reading alarm times needs it.
// Read once from a locale, because a store of 100,000 lines must not consult it per line.
class AlarmTimeForms {
public:
    enum class DateOrder { YearMonthDay, MonthDayYear, DayMonthYear };
    // How many digits a day or month field has in the short date: "d" one or two without a
    // leading zero, "dd" exactly two.
    enum class Digits { NoLeadingZero, Two };

    explicit AlarmTimeForms(const QLocale& locale);
    // The system's regional settings, read at the first call.
    static const AlarmTimeForms& system();

    // False when the short date is no date of three numbers ("d MMM yyyy" in the C locale):
    // then only dates that begin with a four-digit year can be read.
    bool hasNumericDate() const { return !m_dateSeparator.isNull(); }
    DateOrder dateOrder() const { return m_dateOrder; }
    QChar dateSeparator() const { return m_dateSeparator; }
    Digits dayDigits() const { return m_dayDigits; }
    Digits monthDigits() const { return m_monthDigits; }
    // Whether a leading year has two digits ("yy. M. d."); a trailing year may have two or four.
    bool twoDigitLeadingYear() const { return m_twoDigitYear; }
    // The long time's separator, ':' in most locales, '.' in Finnish.
    QChar timeSeparator() const { return m_timeSeparator; }
    // 0 for an AM marker, 12 for a PM marker at the start of text, -1 for none; length is set
    // to the marker's length.
    int markerAt(QStringView text, qsizetype& length) const;

private:
    DateOrder m_dateOrder = DateOrder::YearMonthDay;
    QChar m_dateSeparator;
    Digits m_dayDigits = Digits::NoLeadingZero;
    Digits m_monthDigits = Digits::NoLeadingZero;
    bool m_twoDigitYear = false;
    QChar m_timeSeparator = QLatin1Char(':');
    QString m_am;
    QString m_pm;
};

// Reads an alarm time as local time: a date of three numbers and, after a blank, an optional
// time of day "H:mm" or "H:mm:ss" with an AM/PM marker before or after it.
// A date that begins with a four-digit year is year, month, day in every locale ("2026-12-08",
// "2026/12/8"). Any other date could be read in more than one order (day and month swapped,
// or a two-digit year in front), so it is read only when it is written exactly as the
// locale's own short date would write it: its separator, its order, its digits per field
// ("12/9/2026" is 9 December in en_US; "09/12/2026" is no en_US date and stays unread). A
// trailing year may have two digits (2000-2099) or four. Nothing for any other text, or an
// impossible date or time: an alarm that cannot be read for certain must not fire early.
std::optional<QDateTime> parseAlarmTime(QStringView text,
                                        const AlarmTimeForms& forms = AlarmTimeForms::system());

// Whole minutes of local wall-clock time on a fixed count: the unit of every due test.
// Wall-clock minutes keep an alarm at its written minute across a change of summer time.
qint64 minuteOf(const QDateTime& time);

// parseAlarmTime followed by minuteOf, without building a date-time.
std::optional<qint64> parseAlarmMinute(QStringView text,
                                       const AlarmTimeForms& forms = AlarmTimeForms::system());

// The same moments as the engine's wall-clock values, which the repeat rules work on.
kalendo::DateTime wallTimeOf(const QDateTime& time);
QDateTime dateTimeOf(kalendo::DateTime moment);
qint64 minuteOf(kalendo::DateTime moment);
std::optional<kalendo::DateTime>
parseWallTime(QStringView text, const AlarmTimeForms& forms = AlarmTimeForms::system());
// As formatAlarmTime, without building a local date-time (which a gap in summer time would
// shift).
QString formatWallTime(kalendo::DateTime moment);

// The field that follows the action of a repeating alarm: "重复:" and the rule in words.
inline constexpr QStringView RepeatPrefix = u"重复:";

// Minute boundaries from the alarm time to the present (present minus alarm, seconds
// dropped). Due from 0, expired from 1.
inline qint64 minuteDifference(qint64 alarmMinute, qint64 presentMinute) {
    return presentMinute - alarmMinute;
}

} // namespace tikko
