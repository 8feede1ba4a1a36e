// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_editor.h"

#include "kalendo/date.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_model.h"
#include "tikko/alarm/clock.h"

#include <QLocale>
#include <cmath>

namespace tikko {

namespace {

// Far enough for any span a person types, near enough that the moment stays a date.
constexpr double MaxSpanSeconds = 100.0 * 366 * 24 * 3600;

std::optional<QDateTime> shifted(const QDateTime& from, double seconds) {
    if (!std::isfinite(seconds) || std::abs(seconds) > MaxSpanSeconds)
        return std::nullopt;
    const QDateTime moment = from.addSecs(static_cast<qint64>(std::llround(seconds)));
    if (!moment.isValid() || moment.date().year() < 1000 || moment.date().year() > 9999)
        return std::nullopt;
    return moment;
}

} // namespace

std::optional<double> readUserNumber(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = locale.toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<QDateTime> AlarmEditor::momentFromSpan(const QString& hoursText,
                                                     const QString& minutesText) const {
    const auto hours = readUserNumber(hoursText);
    const auto minutes = readUserNumber(minutesText);
    if (!hours || !minutes)
        return std::nullopt;
    return shifted(m_clock.now(), *hours * 3600 + *minutes * 60);
}

AddOutcome AlarmEditor::add(const EditorInput& input) const {
    // An empty span box means nothing was typed there: the moment box alone counts.
    if (!input.hoursText.trimmed().isEmpty() && !readUserNumber(input.hoursText))
        return {{}, EditorBox::Hours, QStringLiteral("小时数无法识别，请填写一个数字，例如 1")};
    if (!input.minutesText.trimmed().isEmpty() && !readUserNumber(input.minutesText))
        return {{}, EditorBox::Minutes, QStringLiteral("分钟数无法识别，请填写一个数字，例如 30")};
    const auto moment = parseAlarmTime(input.momentText);
    if (!moment) {
        return {{},
                EditorBox::Moment,
                QStringLiteral("报警时间无法识别，请按 %1 的格式填写")
                    .arg(formatClockTime(m_clock.now()))};
    }
    const auto advance = readUserNumber(input.advanceText);
    const auto alarmTime = advance ? shifted(*moment, -std::floor(*advance) * 60) : std::nullopt;
    if (!alarmTime) {
        return {{},
                EditorBox::Advance,
                QStringLiteral("提前提醒的分钟数无法识别，请填写一个数字，例如 2")};
    }
    QString action;
    if (input.actionEnabled) {
        const AdditionalAction* chosen = findActionItem(input.action);
        if (chosen && chosen->kind == AdditionalAction::RunProgram &&
            input.runProgramPath.isEmpty())
            return {{}, EditorBox::Program, QStringLiteral("请先选择要运行的软件")};
        action = chosen ? storedActionText(*chosen, input.runProgramPath) : input.action;
    }
    const QString prompt = input.promptEnabled ? input.prompt : QString();
    const QDateTime now = m_clock.now();
    if (!input.rule.repeats()) {
        AddOutcome outcome{
            buildAlarmLine(*alarmTime, input.type, prompt, action), EditorBox::None, {}};
        outcome.inThePast = minuteOf(*moment) < minuteOf(now);
        return outcome;
    }
    RepeatRule rule = input.rule;
    const kalendo::DateTime entered = wallTimeOf(*moment);
    rule.timeOfDay = entered.seconds;
    rule.advanceMinutes = static_cast<std::int32_t>(std::floor(*advance));
    // The first occurrence on or after the entered day whose firing is not in the past.
    const kalendo::DateTime dayStart =
        addSeconds({entered.date, 0}, -std::int64_t{rule.advanceMinutes} * 60 - 60);
    const kalendo::DateTime present = addSeconds(wallTimeOf(now), -60);
    const auto first =
        nextFiring(rule, minuteOf(dayStart) > minuteOf(present) ? dayStart : present);
    if (!first)
        return {{}, EditorBox::Repeat, QStringLiteral("这个重复规则在日历的范围内没有下一次了")};
    // Written from the wall-clock moment: a gap in summer time must not shift it.
    const Alarm alarm(
        StoreLine{withRule(buildAlarmLine(*alarmTime, input.type, prompt, action), rule), {}});
    return {alarm.movedTo(*first).text(), EditorBox::None, {}};
}

} // namespace tikko
