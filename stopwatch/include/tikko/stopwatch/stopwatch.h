// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <cstddef>
#include <optional>

namespace tikko {

class Clock;
class MonotonicClock;

enum class StopwatchState { Stopped, Running, Paused };

// What the window shows in a state: the two changing captions, which buttons take clicks,
// and whether the display timer runs.
struct StopwatchLook {
    QStringView startCaption;
    QStringView pauseCaption;
    bool pauseEnabled;
    bool recordEnabled;
    bool timerOn;
};

// One row per state, in the order of StopwatchState.
//                        start     pause     pause on  record on  timer
inline constexpr std::array<StopwatchLook, 3> stopwatchLooks{{
    {u"开始", u"暂停", false, false, false}, // stopped
    {u"停止", u"暂停", true, true, true},    // running
    {u"停止", u"继续", true, true, false},   // paused
}};

inline constexpr StopwatchLook lookOf(StopwatchState state) {
    return stopwatchLooks[static_cast<std::size_t>(state)];
}

// "HH:MM:SS.T" for a running time in milliseconds, rounded down to the tenth; the hours
// take as many digits as they need (at least two). Negative times read as zero.
QString formatStopwatchTime(qint64 elapsedMs);

// The clipboard text of "全部复制": every line preceded by CR LF, none at the end. Empty
// for no lines.
QString copyAllText(const QStringList& lines);

// The stopwatch: three states and their transitions. The running time is read from the
// monotonic clock (pauses excluded), so a late or skipped display tick never slows it.
// Both clocks must outlive the stopwatch.
class Stopwatch {
public:
    Stopwatch(const Clock& wallClock, const MonotonicClock& clock);

    StopwatchState state() const { return m_state; }
    StopwatchLook look() const { return lookOf(m_state); }

    // Running time up to now in milliseconds, pauses excluded; 0 while stopped.
    qint64 elapsedMs() const;
    // The running time as the display shows it.
    QString shownTime() const { return formatStopwatchTime(elapsedMs()); }
    // The shown time, "  |  ", the present date and time, "记录".
    QString recordLine() const;

    // "开始" starts from zero; "停止" stops and hands back the record line of that moment,
    // the count returning to zero.
    std::optional<QString> pressStart();
    // "暂停" freezes the count, "继续" resumes it. Ignored while stopped.
    void pressPause();
    // "记录": the record line of this moment; nothing while stopped.
    std::optional<QString> pressRecord();

private:
    const Clock& m_wallClock;
    const MonotonicClock& m_clock;
    StopwatchState m_state = StopwatchState::Stopped;
    qint64 m_bankedMs = 0;  // running time of the finished running stretches
    qint64 m_resumedAt = 0; // monotonic time the current running stretch began
};

} // namespace tikko
