// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_check.h"

#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/clock.h"
#include "tikko/system_actions.h"

namespace tikko {

AlarmCheck::AlarmCheck(AlarmList& list, SystemActions& actions, const Clock& clock, AlarmHost& host)
    : m_list(list)
    , m_actions(actions)
    , m_clock(clock)
    , m_host(host) {}

void AlarmCheck::run() {
    if (m_running)
        return;
    m_running = true;
    try {
        walk();
    } catch (...) {
        // A failing pass ends quietly; the lines it handled stay handled.
    }
    m_running = false;
}

std::optional<qint64> AlarmCheck::alarmMinute(int index, const QString& line) {
    const auto position = static_cast<std::size_t>(index);
    if (position < m_slots.size()) {
        const Slot& slot = m_slots[position];
        // A text shared with the list's own copy is the same text without comparing.
        if (slot.text.constData() == line.constData() || slot.text == line)
            return slot.minute;
    }
    std::optional<qint64> minute;
    const auto cached = m_minutes.constFind(line);
    if (cached != m_minutes.constEnd()) {
        minute = *cached;
    } else {
        // Removed lines leave their entries behind; start afresh before the cache outgrows
        // the list by far.
        if (m_minutes.size() > 2 * m_list.count() + 1024)
            m_minutes.clear();
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        minute = parseAlarmMinute(bar < 0 ? line : line.left(bar));
        m_minutes.insert(line, minute);
    }
    if (position >= m_slots.size())
        m_slots.resize(position + 1);
    m_slots[position] = {line, minute};
    return minute;
}

void AlarmCheck::walk() {
    const qint64 presentMinute = minuteOf(m_clock.now());
    int index = 0;
    QString lastLine;
    const int count = m_list.count();
    if (m_slots.size() > static_cast<std::size_t>(count))
        m_slots.resize(static_cast<std::size_t>(count));
    while (index < m_list.count()) {
        const QString line = m_list.line(index);
        lastLine = line;
        const auto minute = alarmMinute(index, line);
        // A line whose time cannot be read stays for the user to see and blocks nothing.
        if (!minute || minuteDifference(*minute, presentMinute) < 0) {
            ++index;
            continue;
        }
        m_promptText = splitAlarmLine(line).prompt;
        const Outcome outcome = fire(index, line);
        if (outcome != Outcome::Continue)
            return;
        // The next line has moved into the fired line's position.
    }
    if (!lastLine.isNull())
        m_promptText = splitAlarmLine(lastLine).prompt;
}

// The action runs before its line leaves the store: a kill in between makes the alarm fire
// again at the next start. Firing twice beats never firing.
AlarmCheck::Outcome AlarmCheck::fire(int& index, const QString& line) {
    const AlarmFields fields = splitAlarmLine(line);
    const QDateTime alarmTime = parseAlarmTime(fields.time).value_or(m_clock.now());
    const std::string sound = m_host.soundFilePath().toStdString();
    if (fields.type == reminder::Sound) {
        m_actions.playAlarmSound(sound);
    } else if (fields.type == reminder::Text) {
        m_host.showNotification(m_promptText, alarmTime);
    } else if (fields.type == reminder::Action) {
        return carryOutAction(index, line, fields.action);
    } else if (fields.type == reminder::SoundAndText) {
        m_actions.playAlarmSound(sound);
        m_host.showNotification(m_promptText, alarmTime);
    } else if (fields.type == reminder::SoundAndAction) {
        m_actions.playAlarmSound(sound);
        m_host.processPendingEvents();
        // What ran meanwhile may have changed the list: act on this very line or, when
        // the user deleted it, on nothing.
        const int current = relocate(index, line);
        if (current < 0)
            return Outcome::EndPass;
        index = current;
        return carryOutAction(current, line, fields.action);
    }
    removeFired(index);
    return Outcome::Continue;
}

AlarmCheck::Outcome AlarmCheck::carryOutAction(int index, const QString& line,
                                               const QString& actionText) {
    Q_UNUSED(line);
    if (actionText.startsWith(action::RunProgramPrefix)) {
        // A program that cannot be started counts as fired too: retrying it every pass
        // would replay the sound forever.
        m_actions.startProgram(actionText.mid(action::RunProgramPrefix.size()).toStdString());
        removeFired(index);
        return Outcome::EndPass;
    }
    if (actionText.startsWith(action::ClosePrefix)) {
        const QString process = processForCloseAction(actionText);
        if (!process.isEmpty())
            m_actions.terminateProcessByName(process.toStdString());
        removeFired(index);
        return Outcome::EndPass;
    }
    if (actionText == action::ShutDown) {
        m_list.removeAt(index);
        const bool accepted = m_actions.shutDownComputer(
            [this](const std::string& text) { m_host.showMessage(QString::fromStdString(text)); });
        if (accepted) {
            // Left out of the store on purpose: the line stays in the file, expired, and the
            // next start drops it.
            m_host.endProgramAtOnce();
            return Outcome::EndProgram;
        }
        // A refused shutdown must not take every later alarm with it: the program stays.
        m_host.listChanged();
        m_host.showMessage(ShutdownRefusedMessage);
        return Outcome::Continue;
    }
    const QString page = pageForBrowserAction(actionText);
    if (!page.isEmpty())
        m_actions.openInBrowser(page.toStdString());
    // Any other text (a hand-edited store) does nothing.
    removeFired(index);
    return Outcome::Continue;
}

void AlarmCheck::removeFired(int index) {
    m_list.removeAt(index);
    m_host.listChanged();
}

int AlarmCheck::relocate(int index, const QString& line) const {
    const int count = m_list.count();
    if (index < count && m_list.line(index) == line)
        return index;
    // Lines before it may have gone: look back first, then on.
    for (int i = std::min(index, count - 1); i >= 0; --i) {
        if (m_list.line(i) == line)
            return i;
    }
    for (int i = index + 1; i < count; ++i) {
        if (m_list.line(i) == line)
            return i;
    }
    return -1;
}

} // namespace tikko
