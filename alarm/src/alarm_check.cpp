// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_check.h"

#include "kalendo/date.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/clock.h"
#include "tikko/system_actions.h"

#include <QDir>
#include <exception>

Q_LOGGING_CATEGORY(lcAlarm, "tikko.alarm")

namespace tikko {

AlarmCheck::AlarmCheck(AlarmModel& alarms, SystemActions& actions, const Clock& clock,
                       AlarmHost& host)
    : m_alarms(alarms)
    , m_actions(actions)
    , m_clock(clock)
    , m_host(host) {}

void AlarmCheck::run() {
    if (m_running)
        return;
    m_running = true;
    // A failing pass ends; the alarms it fired stay fired and the next pass goes on.
    try {
        walk();
    } catch (const std::exception& error) {
        qCWarning(lcAlarm) << "the alarm check failed:" << error.what();
    } catch (...) {
        qCWarning(lcAlarm) << "the alarm check failed with an unknown exception";
    }
    m_running = false;
}

void AlarmCheck::walk() {
    const qint64 presentMinute = minuteOf(m_clock.now());
    for (int row = m_alarms.firstDue(presentMinute); row >= 0;
         row = m_alarms.firstDue(presentMinute, row)) {
        // The next alarm moves into the fired one's row.
        if (fire(row) != Outcome::Continue)
            return;
    }
}

// The action runs before its alarm leaves the store: a kill in between makes it fire again
// at the next start. Firing twice beats never firing.
AlarmCheck::Outcome AlarmCheck::fire(int& row) {
    const Alarm alarm = m_alarms.at(row);
    const AlarmModel::Id id = m_alarms.idAt(row);
    m_promptText = alarm.prompt().toString();
    const QDateTime when = alarm.alarmTime().value_or(m_clock.now());
    const ReminderType* type = findReminderType(alarm.type());
    if (!type) {
        // Any other text (a hand-edited store) fires without effect.
        removeFired(row, alarm);
        return Outcome::Continue;
    }
    const QString sound = m_host.soundFilePath();
    const bool window = type->window;
    const auto soundFailed = [this, sound, window, when](const QString& why) {
        m_host.tellFailure(
            QStringLiteral("无法播放声音：%1（%2）").arg(QDir::toNativeSeparators(sound), why),
            window, when);
    };
    // A player that fails only later, while it decodes, says so from the event loop.
    const bool soundStarted = !type->sound || m_actions.playAlarmSound(
                                                  sound.toStdString(),
                                                  [soundFailed](const std::string& why) {
                                                      soundFailed(QString::fromStdString(why));
                                                  },
                                                  m_host.soundPlayback());
    if (type->window)
        m_host.showNotification(m_promptText, when, alarm.text());
    if (!soundStarted)
        soundFailed(QStringLiteral("文件不存在或无法播放"));
    else if (type->sound)
        m_host.ringStarted(alarm, type->window);
    if (type->action) {
        if (type->sound) {
            m_host.processPendingEvents();
            // What ran meanwhile may have changed the list: act on this very alarm or, when
            // the user deleted it, on nothing.
            row = m_alarms.rowOf(id);
            if (row < 0)
                return Outcome::EndPass;
        }
        return carryOutAction(row, alarm, type->window, when);
    }
    removeFired(row, alarm);
    return Outcome::Continue;
}

AlarmCheck::Outcome AlarmCheck::carryOutAction(int row, const Alarm& alarm, bool inWindow,
                                               const QDateTime& when) {
    const QStringView stored = alarm.action();
    const AdditionalAction* action = findStoredAction(stored);
    if (!action) {
        removeFired(row, alarm);
        // Any other close text ends no process, but ends the pass as a close action does.
        return stored.startsWith(action::ClosePrefix) ? Outcome::EndPass : Outcome::Continue;
    }
    switch (action->kind) {
    case AdditionalAction::RunProgram: {
        const QString program = stored.sliced(action->stored.size()).toString();
        // A program that cannot be started counts as fired too: retrying it every pass
        // would replay the sound forever. The user hears of it instead.
        const bool started = m_actions.startProgram(program.toStdString());
        removeFired(row, alarm);
        if (!started)
            m_host.tellFailure(
                QStringLiteral("无法运行：%1").arg(QDir::toNativeSeparators(program)), inWindow,
                when);
        return Outcome::EndPass;
    }
    case AdditionalAction::EndProcess: {
        // A program that is not running has nothing to end: nothing to tell.
        const QString process = action->target.toString();
        const Termination result = m_actions.terminateProcessByName(process.toStdString());
        removeFired(row, alarm);
        if (result == Termination::NotEnded)
            m_host.tellFailure(QStringLiteral("无法结束：%1").arg(process), inWindow, when);
        return Outcome::EndPass;
    }
    case AdditionalAction::ShutDown: {
        // A repeating shutdown moves on and is saved first: the program ends at once.
        if (alarm.repeats())
            removeFired(row, alarm);
        else
            m_alarms.removeAt(row);
        const bool accepted = m_actions.shutDownComputer(
            [this](const std::string& text) { m_host.showMessage(QString::fromStdString(text)); });
        if (accepted) {
            // Left out of the store on purpose: the line stays in the file, expired, and the
            // next start drops it.
            m_host.endProgramAtOnce();
            return Outcome::EndProgram;
        }
        // A refused shutdown must not take every later alarm with it: the program stays.
        if (!alarm.repeats())
            m_host.alarmFired(alarm);
        m_host.showMessage(ShutdownRefusedMessage);
        return Outcome::Continue;
    }
    case AdditionalAction::OpenPage: {
        const QString page = action->target.toString();
        const bool opened = m_actions.openInBrowser(page.toStdString());
        removeFired(row, alarm);
        if (!opened)
            m_host.tellFailure(QStringLiteral("无法打开网页：%1").arg(page), inWindow, when);
        return Outcome::Continue;
    }
    }
    removeFired(row, alarm);
    return Outcome::Continue;
}

void AlarmCheck::removeFired(int row, const Alarm& alarm) {
    if (alarm.repeats()) {
        // Never removed by firing: on to the next occurrence after now.
        const auto next = nextFiring(*alarm.rule(), wallTimeOf(m_clock.now()));
        m_alarms.replaceAt(row, next ? alarm.movedTo(*next) : alarm.exhaustedCopy());
    } else {
        m_alarms.removeAt(row);
    }
    m_host.alarmFired(alarm);
}

} // namespace tikko
