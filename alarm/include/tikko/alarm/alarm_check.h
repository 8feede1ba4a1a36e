// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace tikko {

class Clock;
class SystemActions;

// The alarm list as the pass sees it: lines by position. The main window's list widget is
// the real one; the pass never keeps lines of its own between calls.
class AlarmList {
public:
    virtual ~AlarmList() = default;
    virtual int count() const = 0;
    virtual QString line(int index) const = 0;
    virtual void removeAt(int index) = 0;
};

// What the pass needs from the program around it.
class AlarmHost {
public:
    virtual ~AlarmHost() = default;
    virtual QString soundFilePath() const = 0;
    // Shows the reminder window with the prompt of an alarm that fired, by its alarm time.
    virtual void showNotification(const QString& promptText, const QDateTime& alarmTime) = 0;
    // Lets the window system handle what is pending, once.
    virtual void processPendingEvents() = 0;
    // The list lost a line that fired; the store is written at once.
    virtual void listChanged() = 0;
    // A message of the shutdown's privilege steps.
    virtual void showMessage(const QString& text) = 0;
    // Ends the program at once, without the exit work (after an accepted shutdown request).
    virtual void endProgramAtOnce() = 0;
};

// One pass over the alarm list fires every line whose minute has come, by its reminder
// type, and removes it. Passes never nest: a pass asked for while one runs (a timer tick
// during the pending-events step) does nothing.
class AlarmCheck {
public:
    static inline const QString ShutdownRefusedMessage =
        QStringLiteral("无法关闭计算机：系统拒绝了关机请求，闹钟程序继续运行。");

    AlarmCheck(AlarmList& list, SystemActions& actions, const Clock& clock, AlarmHost& host);

    void run();

    // The prompt text of the line examined last, as the notification window reads it.
    const QString& alarmPromptText() const { return m_promptText; }
    bool isRunning() const { return m_running; }

private:
    enum class Outcome { Continue, EndPass, EndProgram };

    void walk();
    std::optional<qint64> alarmMinute(int index, const QString& line);
    // Fires the due line at index; index follows the line when the list changed meanwhile.
    Outcome fire(int& index, const QString& line);
    Outcome carryOutAction(int index, const QString& line, const QString& actionText);
    void removeFired(int index);
    int relocate(int index, const QString& line) const;

    AlarmList& m_list;
    SystemActions& m_actions;
    const Clock& m_clock;
    AlarmHost& m_host;
    QString m_promptText;
    bool m_running = false;
    // Parsed alarm minutes keyed by the line text, so that a pass over lines that are not
    // due reads no date twice. Nothing marks an unreadable time.
    QHash<QString, std::optional<qint64>> m_minutes;
    // The same by position, checked against the text: most passes find every line where
    // the last one left it, and then not even a hash is needed.
    struct Slot {
        QString text;
        std::optional<qint64> minute;
    };
    std::vector<Slot> m_slots;
};

} // namespace tikko
