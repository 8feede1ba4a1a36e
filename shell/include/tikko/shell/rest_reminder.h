// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>
#include <QString>
#include <optional>

namespace tikko {

class MonotonicClock;

// What one tick of the run-time count decides.
struct RestTick {
    qint64 runSeconds = 0;    // whole seconds since start-up
    bool showRunTime = false; // from the 11th tick on
    QString infoLine;         // the run-time line; empty while showRunTime is false
    bool remind = false;      // show the rest window now
};

// The run-time count and the rest reminder of the main window's one-second timer. The run
// time is measured on the monotonic clock in 64 bits, so no length of run wraps it.
class RestReminder {
public:
    // The text the notification window shows for a rest.
    static inline const QString ReminderText = QStringLiteral("时间到了，休息一下吧！");

    // Takes the start tick at once.
    explicit RestReminder(const MonotonicClock& clock);

    // Takes the start tick again (start-up's own step); the tick count is kept.
    void start();

    // One tick: counts it and decides from the check box and the interval text as they
    // are now. A reminder is due when a multiple of the interval, counted from start-up,
    // was reached since the previous tick: a late or stalled tick still gives its one
    // reminder, and no multiple gives two.
    RestTick tick(bool enabled, const QString& intervalText);

    qint64 ticks() const { return m_ticks; }

    // How long from now until the next multiple of the interval, at least 1 ms; nothing
    // when no reminder is due ever. Lets a hidden window tick only when a reminder is due.
    std::optional<qint64> msToNextReminder(bool enabled, const QString& intervalText) const;

    // "【提醒】软件已运行:" + seconds + the rest of the line.
    static QString runTimeLine(qint64 runSeconds);

    // The interval in whole seconds (minutes × 60, halves to even, sign dropped), read in
    // the locale and, failing that, in the C form; nothing when there is no interval:
    // an empty text, "0", no number, or less than half a second.
    static std::optional<qint64> intervalSeconds(const QString& text,
                                                 const QLocale& locale = QLocale());

private:
    qint64 runSecondsNow() const;

    const MonotonicClock& m_clock;
    qint64 m_startMs = 0;
    qint64 m_ticks = 0;
    qint64 m_previousSeconds = 0; // the run time the previous tick saw
};

} // namespace tikko
