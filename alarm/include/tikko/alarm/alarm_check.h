// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_model.h"
#include "tikko/system_actions.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcAlarm)

namespace tikko {

class Clock;

// What the pass needs from the program around it.
class AlarmHost {
public:
    virtual ~AlarmHost() = default;
    virtual QString soundFilePath() const = 0;
    // How the sound of a firing alarm plays: once, or until the user answers it.
    virtual Playback soundPlayback() const = 0;
    // The sound of an alarm started: `answered` tells whether a reminder window shows, where
    // the user can stop it; else the program offers another way.
    virtual void ringStarted(const Alarm& alarm, bool inWindow) = 0;
    // Shows the reminder window with a line for an alarm that fired, by its alarm time;
    // `source` is the alarm's line, for "稍后提醒" (empty for a line that is no alarm).
    virtual void showNotification(const QString& text, const QDateTime& alarmTime,
                                  const QString& source) = 0;
    // Lets the window system handle what is pending, once.
    virtual void processPendingEvents() = 0;
    // An alarm fired and left the list; the store is written at once.
    virtual void alarmFired(const Alarm& alarm) = 0;
    // Tells the user that part of an alarm failed: in the reminder window when the alarm
    // showed it, else in one message that does not wait.
    virtual void tellFailure(const QString& text, bool inWindow, const QDateTime& alarmTime) = 0;
    // A message of the shutdown's privilege steps.
    virtual void showMessage(const QString& text) = 0;
    // Ends the program at once, without the exit work (after an accepted shutdown request).
    virtual void endProgramAtOnce() = 0;
};

// One pass over the alarms fires every alarm whose minute has come, in list order, by its
// reminder type, and removes it, or moves a repeating one on to its next occurrence. Passes never
// nest: a pass asked for while one runs (a timer tick during the pending-events step) does nothing.
// A pass with nothing due costs next to nothing, whatever the number of alarms.
class AlarmCheck {
public:
    static inline const QString ShutdownRefusedMessage =
        QStringLiteral("无法关闭计算机：系统拒绝了关机请求，闹钟程序继续运行。");

    AlarmCheck(AlarmModel& alarms, SystemActions& actions, const Clock& clock, AlarmHost& host);

    void run();

    // The prompt text of the alarm that fired last, as the reminder window reads it.
    const QString& alarmPromptText() const { return m_promptText; }
    bool isRunning() const { return m_running; }

private:
    enum class Outcome { Continue, EndPass, EndProgram };

    void walk();
    // Fires the due alarm at row; row follows it when the list changed meanwhile.
    Outcome fire(int& row);
    Outcome carryOutAction(int row, const Alarm& alarm, bool inWindow, const QDateTime& when);
    // Removes a fired alarm, or moves a repeating one on; the store is then written.
    void removeFired(int row, const Alarm& alarm);

    AlarmModel& m_alarms;
    SystemActions& m_actions;
    const Clock& m_clock;
    AlarmHost& m_host;
    QString m_promptText;
    bool m_running = false;
};

} // namespace tikko
