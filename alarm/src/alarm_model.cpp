// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_model.h"

#include "kalendo/date.h"

#include <algorithm>

namespace tikko {

Alarm::Alarm(StoreLine line, const AlarmTimeForms& forms)
    : m_line(std::move(line)) {
    const QString& text = m_line.text;
    qsizetype from = 0;
    for (int& bar : m_bars) {
        const qsizetype at = text.indexOf(QLatin1Char('|'), from);
        if (at < 0)
            break;
        bar = static_cast<int>(at);
        from = at + 1;
    }
    if (m_bars[2] >= 0) {
        // The rule is the last field; a program path may hold "|" but hardly "|重复:".
        const qsizetype bar = text.lastIndexOf(QLatin1Char('|'));
        const QStringView rest = QStringView(text).sliced(bar + 1);
        if (bar > m_bars[2] && rest.startsWith(RepeatPrefix)) {
            m_rule = parseRuleText(rest.sliced(RepeatPrefix.size()).toString().toStdString());
            if (m_rule)
                m_ruleBar = static_cast<int>(bar);
        }
    }
    if (const auto minute = parseAlarmMinute(time(), forms))
        m_minute = *minute;
}

QStringView Alarm::field(int index) const {
    const QStringView text(m_line.text);
    qsizetype begin = 0;
    if (index > 0) {
        const int bar = m_bars[index - 1];
        if (bar < 0)
            return {};
        begin = bar + 1;
    }
    // The action takes the rest of the line, "|" included, up to a rule.
    if (index == 3)
        return m_ruleBar < 0 ? text.sliced(begin) : text.sliced(begin, m_ruleBar - begin);
    if (m_bars[index] < 0)
        return text.sliced(begin);
    return text.sliced(begin, m_bars[index] - begin);
}

Alarm Alarm::movedTo(kalendo::DateTime moment) const {
    const qsizetype bar = m_line.text.indexOf(QLatin1Char('|'));
    const QString rest = bar < 0 ? QString() : m_line.text.mid(bar);
    QByteArray raw;
    if (m_line.isKeptAsBytes()) {
        // Only the time changes: the bytes after it stay as they were.
        const qsizetype rawBar = m_line.raw.indexOf('|');
        raw =
            formatWallTime(moment).toUtf8() + (rawBar < 0 ? QByteArray() : m_line.raw.mid(rawBar));
    }
    return Alarm(StoreLine{formatWallTime(moment) + rest, raw});
}

Alarm Alarm::exhaustedCopy() const {
    Alarm copy = *this;
    copy.m_exhausted = true;
    return copy;
}

std::optional<QDateTime> Alarm::alarmTime() const {
    return parseAlarmTime(time());
}

QString displayText(const Alarm& alarm, const QDate& today) {
    if (!alarm.readable())
        return alarm.text();
    // From the minute parsed once: the list shows no seconds.
    const qint64 minute = alarm.writtenMinute();
    const QDate date = QDate::fromJulianDay(minute / 1440);
    const QTime time(int(minute % 1440 / 60), int(minute % 60));
    static const QString Weekdays[] = {QStringLiteral("周一"), QStringLiteral("周二"),
                                       QStringLiteral("周三"), QStringLiteral("周四"),
                                       QStringLiteral("周五"), QStringLiteral("周六"),
                                       QStringLiteral("周日")};
    QStringList parts{date.toString(date.year() == today.year() ? QStringLiteral("MM-dd")
                                                                : QStringLiteral("yyyy-MM-dd")) +
                      QLatin1Char(' ') + Weekdays[date.dayOfWeek() - 1] + QLatin1Char(' ') +
                      time.toString(QStringLiteral("HH:mm"))};
    for (const QStringView field : {alarm.type(), alarm.prompt(), alarm.action()}) {
        if (!field.isEmpty())
            parts << field.toString();
    }
    if (alarm.repeats())
        parts << QString::fromStdString(ruleName(*alarm.rule()));
    return parts.join(QStringLiteral(" · "));
}

QList<QDate> alarmDays(const AlarmModel& alarms, int year, int month) {
    const QDate first(year, month, 1);
    if (!first.isValid())
        return {};
    const QDate last = first.addMonths(1).addDays(-1);
    QList<QDate> days;
    for (int row = 0; row < alarms.count(); ++row) {
        const Alarm& alarm = alarms.at(row);
        auto at = alarm.minute() == Alarm::Never ? std::nullopt : parseWallTime(alarm.time());
        // A repeat's later firings, from its next one: those before it have passed.
        while (at) {
            const QDate day = dateTimeOf({at->date, 0}).date();
            if (day > last)
                break;
            if (day >= first)
                days.append(day);
            at = alarm.repeats() ? nextFiring(*alarm.rule(), *at) : std::nullopt;
        }
    }
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

QString withRule(const QString& line, const RepeatRule& rule) {
    if (!rule.repeats())
        return line;
    return line + QLatin1Char('|') + RepeatPrefix.toString() +
           QString::fromStdString(ruleText(rule));
}

AlarmModel::AlarmModel(QObject* parent)
    : QAbstractListModel(parent) {}

int AlarmModel::rowOf(Id id) const {
    const auto found = std::lower_bound(m_ids.begin(), m_ids.end(), id);
    return found != m_ids.end() && *found == id ? static_cast<int>(found - m_ids.begin()) : -1;
}

int AlarmModel::unreadableCount() const {
    return static_cast<int>(std::count_if(m_alarms.begin(), m_alarms.end(),
                                          [](const Alarm& alarm) { return !alarm.readable(); }));
}

void AlarmModel::appendUnnotified(Alarm alarm) {
    const qint64 minute = alarm.minute();
    m_minutes.push_back(minute);
    m_ids.push_back(m_nextId++); // rising, so that rowOf can search them
    m_alarms.append(std::move(alarm));
    if (m_earliestKnown)
        m_earliest = std::min(m_earliest, minute);
}

int AlarmModel::append(Alarm alarm) {
    const int row = count();
    beginInsertRows({}, row, row);
    appendUnnotified(std::move(alarm));
    endInsertRows();
    return row;
}

int AlarmModel::append(QList<Alarm> alarms) {
    const int row = count();
    if (alarms.isEmpty())
        return row;
    beginInsertRows({}, row, row + static_cast<int>(alarms.size()) - 1);
    m_alarms.reserve(m_alarms.size() + alarms.size());
    m_minutes.reserve(m_minutes.size() + alarms.size());
    m_ids.reserve(m_ids.size() + alarms.size());
    for (Alarm& alarm : alarms)
        appendUnnotified(std::move(alarm));
    endInsertRows();
    return row;
}

void AlarmModel::removeAt(int row) {
    beginRemoveRows({}, row, row);
    const auto at = static_cast<std::ptrdiff_t>(row);
    if (m_minutes[row] == m_earliest)
        m_earliestKnown = false;
    m_alarms.removeAt(row);
    m_minutes.erase(m_minutes.begin() + at);
    m_ids.erase(m_ids.begin() + at);
    endRemoveRows();
}

void AlarmModel::replaceAt(int row, Alarm alarm) {
    const qint64 minute = alarm.minute();
    if (m_minutes[row] == m_earliest)
        m_earliestKnown = false;
    m_minutes[row] = minute;
    if (m_earliestKnown)
        m_earliest = std::min(m_earliest, minute);
    m_alarms[row] = std::move(alarm);
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
}

void AlarmModel::clear() {
    replaceAll({});
}

void AlarmModel::replaceAll(QList<Alarm> alarms) {
    beginResetModel();
    m_alarms.clear();
    m_minutes.clear();
    m_ids.clear();
    m_earliest = Alarm::Never;
    m_earliestKnown = true;
    m_alarms.reserve(alarms.size());
    for (Alarm& alarm : alarms)
        appendUnnotified(std::move(alarm));
    endResetModel();
}

StoreLines AlarmModel::storeLines() const {
    StoreLines lines;
    lines.reserve(m_alarms.size());
    for (const Alarm& alarm : m_alarms)
        lines.append(alarm.storeLine());
    return lines;
}

qint64 AlarmModel::earliestMinute() const {
    if (!m_earliestKnown) {
        m_earliest = m_minutes.empty() ? Alarm::Never
                                       : *std::min_element(m_minutes.begin(), m_minutes.end());
        m_earliestKnown = true;
    }
    return m_earliest;
}

int AlarmModel::firstDue(qint64 presentMinute, int from) const {
    // Unreadable alarms carry the largest minute, which never comes.
    if (presentMinute == Alarm::Never || earliestMinute() > presentMinute)
        return -1;
    const auto begin = m_minutes.begin() + std::min<std::ptrdiff_t>(from, count());
    const auto found = std::find_if(
        begin, m_minutes.end(), [presentMinute](qint64 minute) { return minute <= presentMinute; });
    return found == m_minutes.end() ? -1 : static_cast<int>(found - m_minutes.begin());
}

int AlarmModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant AlarmModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const Alarm& alarm = m_alarms.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return displayText(alarm, m_today());
    case LineRole:
        return alarm.text();
    case Qt::ToolTipRole:
        if (!alarm.readable())
            return QStringLiteral("无法识别的闹钟时间，此闹钟不会响");
        if (alarm.exhausted())
            return QStringLiteral("此闹钟已没有下一次（超出农历表的范围），不会再响");
        return alarm.text();
    case NeverFiresRole:
        return alarm.minute() == Alarm::Never;
    default:
        return {};
    }
}

} // namespace tikko
