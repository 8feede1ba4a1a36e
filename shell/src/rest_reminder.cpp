// SPDX-License-Identifier: MIT
#include "tikko/shell/rest_reminder.h"

#include "tikko/alarm/alarm_editor.h"
#include "tikko/alarm/clock.h"

#include <algorithm>
#include <cmath>

namespace tikko {

namespace {

// The ticks that leave the maker line in place before the run time shows.
constexpr qint64 QuietTicks = 10;

// Beyond this the product with 60 no longer fits a 64-bit count; such an interval could
// never come round anyway.
constexpr double LargestInterval = 9.0e18;

} // namespace

RestReminder::RestReminder(const MonotonicClock& clock)
    : m_clock(clock) {
    start();
}

void RestReminder::start() {
    m_startMs = m_clock.elapsedMs();
    m_previousSeconds = 0;
}

qint64 RestReminder::runSecondsNow() const {
    const qint64 ms = m_clock.elapsedMs() - m_startMs;
    return ms > 0 ? ms / 1000 : 0;
}

RestTick RestReminder::tick(bool enabled, const QString& intervalText) {
    ++m_ticks;
    RestTick result;
    result.runSeconds = runSecondsNow();
    // A window that was hidden ticked rarely: its run time shows at once.
    if (m_ticks > QuietTicks || result.runSeconds > QuietTicks) {
        result.showRunTime = true;
        result.infoLine = runTimeLine(result.runSeconds);
    }

    // The window since the previous tick is used up whatever this tick decides, so that
    // ticking the box later never brings back a reminder that was missed meanwhile.
    const qint64 previous = m_previousSeconds;
    m_previousSeconds = result.runSeconds;
    if (!enabled || result.runSeconds == 0)
        return result;
    const std::optional<qint64> interval = intervalSeconds(intervalText);
    if (!interval)
        return result;
    // A multiple lies in (previous, now] exactly when the quotients differ.
    result.remind = result.runSeconds / *interval > previous / *interval;
    return result;
}

std::optional<qint64> RestReminder::msToNextReminder(bool enabled,
                                                     const QString& intervalText) const {
    const std::optional<qint64> interval = intervalSeconds(intervalText);
    if (!enabled || !interval)
        return std::nullopt;
    const qint64 ms = std::max<qint64>(0, m_clock.elapsedMs() - m_startMs);
    const qint64 period = *interval * 1000;
    return period - ms % period;
}

QString RestReminder::runTimeLine(qint64 runSeconds) {
    return QStringLiteral("【提醒】软件已运行:") + QString::number(runSeconds) +
           QStringLiteral("秒。Tikko闹钟提醒您,多看美女,少看屏幕,远离近视！");
}

std::optional<qint64> RestReminder::intervalSeconds(const QString& text, const QLocale& locale) {
    if (text.isEmpty() || text == QLatin1String("0"))
        return std::nullopt;
    const std::optional<double> minutes = readUserNumber(text, locale);
    if (!minutes)
        return std::nullopt;
    const double seconds = std::abs(*minutes * 60.0);
    if (!std::isfinite(seconds) || seconds >= LargestInterval)
        return std::nullopt;
    // nearbyint rounds halves to even in the default rounding mode.
    const auto whole = static_cast<qint64>(std::nearbyint(seconds));
    if (whole == 0)
        return std::nullopt;
    return whole;
}

} // namespace tikko
