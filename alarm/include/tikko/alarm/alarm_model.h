// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/store_text.h"

#include <QAbstractListModel>
#include <QList>
#include <limits>
#include <vector>

namespace tikko {

// One alarm of the list: its line exactly as stored (and its bytes, where no encoding read
// it), parsed once into its fields and its minute.
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
    bool readable() const { return m_minute != Unreadable; }
    // The alarm's minute on the scale of minuteOf; only for a readable alarm.
    qint64 minute() const { return m_minute; }
    std::optional<QDateTime> alarmTime() const;

    static constexpr qint64 Unreadable = std::numeric_limits<qint64>::max();

private:
    QStringView field(int index) const;

    StoreLine m_line;
    qint64 m_minute = Unreadable;
    int m_bars[3] = {-1, -1, -1}; // positions of the first three "|", -1 where there is none
};

// The alarms in their list order: the one place where they live while the program runs.
// The check, the editor, the list commands and the saves work on it; the list lstA shows it.
// Every alarm has an id that stays the same while it is in the list, so that work which lets
// other events run in between can find its alarm again.
class AlarmModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        UnreadableRole = Qt::UserRole + 1, // bool: the time cannot be read, it never fires
        LineRole,                          // the stored line
    };
    using Id = quint64;

    explicit AlarmModel(QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_alarms.size()); }
    bool isEmpty() const { return m_alarms.isEmpty(); }
    const Alarm& at(int row) const { return m_alarms.at(row); }
    Id idAt(int row) const { return m_ids[static_cast<std::size_t>(row)]; }
    // The row of an alarm, -1 when it has left the list.
    int rowOf(Id id) const;
    int unreadableCount() const;

    // Appends at the end, as every new alarm is; returns the first new row.
    int append(Alarm alarm);
    int append(QList<Alarm> alarms);
    void removeAt(int row);
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
    mutable qint64 m_earliest = Alarm::Unreadable;
    mutable bool m_earliestKnown = true;
};

} // namespace tikko
