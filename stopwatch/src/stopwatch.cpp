// SPDX-License-Identifier: MIT
#include "tikko/stopwatch/stopwatch.h"

#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/clock.h"

#include <algorithm>

namespace tikko {

QString formatStopwatchTime(qint64 elapsedMs) {
    const qint64 tenths = std::max<qint64>(elapsedMs, 0) / 100;
    const QChar zero = QLatin1Char('0');
    return QStringLiteral("%1:%2:%3.%4")
        .arg(tenths / 36000, 2, 10, zero)
        .arg(tenths / 600 % 60, 2, 10, zero) // [0, 59]
        .arg(tenths / 10 % 60, 2, 10, zero)  // [0, 59]
        .arg(tenths % 10);                   // [0, 9]
}

QString copyAllText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += QStringLiteral("\r\n") + line;
    return text;
}

Stopwatch::Stopwatch(const Clock& wallClock, const MonotonicClock& clock)
    : m_wallClock(wallClock)
    , m_clock(clock) {}

qint64 Stopwatch::elapsedMs() const {
    if (m_state != StopwatchState::Running)
        return m_bankedMs;
    // A clock that steps back must not take time off the count.
    return m_bankedMs + std::max<qint64>(m_clock.elapsedMs() - m_resumedAt, 0);
}

QString Stopwatch::recordLine() const {
    return shownTime() + QStringLiteral("  |  ") + formatAlarmTime(m_wallClock.now()) +
           QStringLiteral("记录");
}

std::optional<QString> Stopwatch::pressStart() {
    if (m_state == StopwatchState::Stopped) {
        m_bankedMs = 0;
        m_resumedAt = m_clock.elapsedMs();
        m_state = StopwatchState::Running;
        return std::nullopt;
    }
    QString line = recordLine();
    m_state = StopwatchState::Stopped;
    m_bankedMs = 0;
    return line;
}

void Stopwatch::pressPause() {
    switch (m_state) {
    case StopwatchState::Stopped:
        return;
    case StopwatchState::Running:
        m_bankedMs = elapsedMs();
        m_state = StopwatchState::Paused;
        return;
    case StopwatchState::Paused:
        m_resumedAt = m_clock.elapsedMs();
        m_state = StopwatchState::Running;
        return;
    }
}

std::optional<QString> Stopwatch::pressRecord() {
    if (m_state == StopwatchState::Stopped)
        return std::nullopt;
    return recordLine();
}

} // namespace tikko
