// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/repeat_rule.h"
#include "tikko/alarm/store_text.h"

#include <QAbstractListModel>
#include <QList>
#include <functional>
#include <limits>
#include <vector>

namespace tikko {

// One alarm of the list: its line exactly as stored (and its bytes, where no encoding read
// it), parsed once into its fields, its minute and its repeat rule. A repeating alarm's rule
// follows the action as a fifth field, "|重复:" and the rule in words, which readers of the four
// fields pass over.
class Alarm {
public:
    Alarm() = default;
    explicit Alarm(StoreLine line, const AlarmTimeForms& forms = AlarmTimeForms::system());

    const QString& text() const { return m_line.text; }
    const StoreLine& storeLine() const { return m_line; }

    QStringView time() const { return field(0); }
    QStringView type() const { return field(1); }
    QStringView prompt() const { return field(2); }
    QStringView action() const { return field(3); }

    // Whether field 1 reads as a time; an alarm whose time cannot be read never fires.
    bool readable() const { return m_minute != Never; }
    // The repeat rule; nothing for an alarm that fires once.
    const std::optional<RepeatRule>& rule() const { return m_rule; }
    bool repeats() const { return m_rule.has_value(); }
    // A repeating alarm that has no further occurrence (past the calendar's range): kept,
    // shown, never fires.
    bool exhausted() const { return m_exhausted; }
    // The minute at which the alarm fires, on the scale of minuteOf; Never when it never does.
    qint64 minute() const { return m_exhausted ? Never : m_minute; }
    // The minute field 1 names, also of an alarm that has run out; Never when unreadable.
    qint64 writtenMinute() const { return m_minute; }
    std::optional<QDateTime> alarmTime() const;

    // The same alarm firing at another moment: field 1 rewritten, the rest of the line kept.
    Alarm movedTo(kalendo::DateTime moment) const;
    // The same alarm with no further occurrence.
    Alarm exhaustedCopy() const;

    static constexpr qint64 Never = std::numeric_limits<qint64>::max();

private:
    QStringView field(int index) const;

    StoreLine m_line;
    qint64 m_minute = Never;
    int m_bars[3] = {-1, -1, -1}; // positions of the first three "|", -1 where there is none
    int m_ruleBar = -1;           // the "|" before "重复:", -1 without a rule
    std::optional<RepeatRule> m_rule;
    bool m_exhausted = false;
};

// How the list shows an alarm: its time with the weekday, what it does, the prompt, the action
// and the rule ("12-09 周三 07:30 · 声音及文本提醒 · 起床 · 工作日"); the stored line when its
// time cannot be read.
QString displayText(const Alarm& alarm, const QDate& today);

// A line with a rule after its four fields; the line itself when the rule does not repeat.
QString withRule(const QString& line, const RepeatRule& rule);

// The alarms in their list order: the one place where they live while the program runs.
// The check, the editor, the list commands and the saves work on it; the list lstA shows it.
// Every alarm has an id that stays the same while it is in the list, so that work which lets
// other events run in between can find its alarm again.
class AlarmModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        NeverFiresRole = Qt::UserRole + 1, // bool: its time cannot be read, or a repeat has
                                           // no further occurrence
        LineRole,                          // the stored line
    };
    using Id = quint64;

    explicit AlarmModel(QObject* parent = nullptr);

    // Where "today" comes from, to write the year of a time only when it is another year's.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    int count() const { return static_cast<int>(m_alarms.size()); }
    bool isEmpty() const { return m_alarms.isEmpty(); }
    const Alarm& at(int row) const { return m_alarms.at(row); }
    Id idAt(int row) const { return m_ids[static_cast<std::size_t>(row)]; }
    // The row of an alarm, -1 when it has left the list.
    int rowOf(Id id) const;
    // Alarms whose time cannot be read.
    int unreadableCount() const;

    // Appends at the end, as every new alarm is; returns the first new row.
    int append(Alarm alarm);
    int append(QList<Alarm> alarms);
    void removeAt(int row);
    // Puts another alarm in the row (a repeating alarm that moved on); its id stays.
    void replaceAt(int row, Alarm alarm);
    void clear();
    // Puts other alarms in place of all (a store changed behind the program's back).
    void replaceAll(QList<Alarm> alarms);

    // The lines a save writes, in list order.
    StoreLines storeLines() const;

    // The first row whose minute has come at presentMinute, from row `from` on; -1 when none.
    // Cheap when nothing is due: the earliest minute is kept.
    int firstDue(qint64 presentMinute, int from = 0) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void appendUnnotified(Alarm alarm);
    qint64 earliestMinute() const;

    QList<Alarm> m_alarms;
    std::vector<qint64> m_minutes; // the alarms' minutes, scanned by every pass
    std::vector<Id> m_ids;
    Id m_nextId = 1;
    std::function<QDate()> m_today = [] {
        return QDate::currentDate();
    };
    mutable qint64 m_earliest = Alarm::Never;
    mutable bool m_earliestKnown = true;
};

// The days of a month (1-12) on which the alarms fire from now on, repeating ones at each of
// their occurrences; in order, each once.
QList<QDate> alarmDays(const AlarmModel& alarms, int year, int month);

} // namespace tikko
