// SPDX-License-Identifier: MIT
#include "tikko/remote/alarm_requests.h"

#include "tikko/alarm/alarm_calendar.h"
#include "tikko/alarm/alarm_editor.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/clock.h"
#include "tikko/alarm/settings.h"
#include "tikko/guarded.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

Q_LOGGING_CATEGORY(lcRemote, "tikko.remote")

namespace tikko {

namespace {

QString positionText(int row, const AlarmModel& alarms, const QDate& today) {
    return QStringLiteral("%1. %2").arg(row + 1).arg(displayText(alarms.at(row), today));
}

QString listText(const AlarmModel& alarms, const QDate& today) {
    QString text;
    for (int row = 0; row < alarms.count(); ++row)
        text += positionText(row, alarms, today) + QLatin1Char('\n');
    return text;
}

Answer saved(const SaveResult& result, const RequestTarget& target, QString done) {
    if (!result.ok)
        return Answer::failed(
            1, QStringLiteral("无法保存闹钟文件 %1：%2")
                   .arg(QDir::toNativeSeparators(target.storePath()), result.reason));
    return {0, std::move(done), {}, 0};
}

} // namespace

BuiltLine buildRequestLine(const Request& request, const QString& advanceMinutes,
                           const Clock& clock) {
    const auto refuse = [](QString why) {
        return BuiltLine{{}, Answer::failed(2, std::move(why))};
    };
    const QDateTime now = clock.now();
    EditorInput input;
    if (const auto span = spanSeconds(request.time))
        input.momentText = formatAlarmTime(now.addSecs(*span));
    else if (const auto moment = nextTimeOfDay(request.time, now))
        input.momentText = formatAlarmTime(*moment);
    else
        input.momentText = request.time;
    input.advanceText = request.advance.isEmpty() ? advanceMinutes : request.advance;

    const ReminderType* type =
        request.type.isEmpty() ? &ReminderTypes[0] : findReminderTypeName(request.type);
    if (!type)
        return refuse(QStringLiteral("不认识的提醒方式 %1").arg(request.type));
    input.type = type->text.toString();
    input.promptEnabled = type->window;
    input.prompt = request.prompt.value_or(presetPromptTexts().value(0));
    input.actionEnabled = type->action;
    const AdditionalAction* action =
        request.action.isEmpty() ? &AdditionalActions[0] : findActionName(request.action);
    if (!action)
        return refuse(QStringLiteral("不认识的附加动作 %1").arg(request.action));
    input.action = action->item.toString();
    input.runProgramPath = request.program;
    if (!request.repeat.isEmpty()) {
        const auto rule = parseRuleName(request.repeat.toStdString());
        if (!rule || !rule->valid())
            return refuse(QStringLiteral("不认识的重复规则 %1").arg(request.repeat));
        input.rule = *rule;
    }
    const AddOutcome outcome = AlarmEditor(clock).add(input);
    if (outcome.failed == EditorBox::Program)
        return refuse(QStringLiteral("要运行程序，请用 --run 程序"));
    if (outcome.failed != EditorBox::None)
        return refuse(outcome.message);
    if (outcome.inThePast)
        return refuse(QStringLiteral("时间 %1 已经过去").arg(input.momentText));
    return {outcome.line, {}};
}

Answer carryOut(const Request& request, RequestTarget& target, const Clock& clock);

QJsonArray alarmsJson(const AlarmModel& alarms, const QDate& today) {
    QJsonArray list;
    for (int row = 0; row < alarms.count(); ++row) {
        const Alarm& alarm = alarms.at(row);
        const auto time = alarm.minute() == Alarm::Never ? std::nullopt : alarm.alarmTime();
        list.append(QJsonObject{
            {QStringLiteral("position"), row + 1},
            {QStringLiteral("time"), time ? formatClockTime(*time) : QString()},
            {QStringLiteral("type"), alarm.type().toString()},
            {QStringLiteral("prompt"), alarm.prompt().toString()},
            {QStringLiteral("action"), alarm.action().toString()},
            {QStringLiteral("repeat"),
             QString::fromStdString(asciiRule(alarm.rule().value_or(RepeatRule{})))},
            {QStringLiteral("text"), displayText(alarm, today)},
            {QStringLiteral("line"), alarm.text()},
        });
    }
    return list;
}

Answer runRequest(const Request& request, RequestTarget& target, const Clock& clock) {
    Answer answer = Answer::failed(1, QStringLiteral("处理请求时出错，详情见程序日志"));
    guarded(lcRemote, "request", [&] { answer = carryOut(request, target, clock); });
    return answer;
}

QByteArray answerRequestLine(const QByteArray& line, RequestTarget& target, const Clock& clock) {
    const auto request = Request::fromLine(line);
    if (!request)
        return Answer::failed(2, QStringLiteral("无法识别的请求")).toLine();
    return runRequest(*request, target, clock).toLine();
}

Answer carryOut(const Request& request, RequestTarget& target, const Clock& clock) {
    const QDateTime now = clock.now();
    const AlarmModel& alarms = target.alarms();
    switch (request.command) {
    case Request::Command::Add: {
        const BuiltLine built = buildRequestLine(request, target.advanceMinutes(), clock);
        if (built.line.isEmpty())
            return built.refusal;
        int row = -1;
        const SaveResult result = target.append(built.line, row);
        Answer answer = saved(result, target,
                              row >= 0 ? positionText(row, alarms, now.date()) + u'\n' : QString());
        answer.position = row + 1;
        return answer;
    }
    case Request::Command::List:
        if (request.json)
            return {0,
                    QString::fromUtf8(QJsonDocument(alarmsJson(alarms, now.date())).toJson()),
                    {},
                    0};
        return {0, listText(alarms, now.date()), {}, 0};
    case Request::Command::Remove: {
        if (request.all)
            return saved(target.remove(-1), target, {});
        if (request.position < 1 || request.position > alarms.count())
            return Answer::failed(2, alarms.isEmpty()
                                         ? QStringLiteral("没有闹钟可删除")
                                         : QStringLiteral("没有第 %1 个闹钟（共 %2 个）")
                                               .arg(request.position)
                                               .arg(alarms.count()));
        const QString gone = positionText(request.position - 1, alarms, now.date());
        return saved(target.remove(request.position - 1), target,
                     QStringLiteral("已删除 %1\n").arg(gone));
    }
    case Request::Command::Export: {
        QList<Alarm> list;
        for (int row = 0; row < alarms.count(); ++row)
            list.append(alarms.at(row));
        const AlarmCalendar calendar = alarmCalendar(list, now);
        Answer answer{0, QString::fromUtf8(calendar.text), {}, 0};
        if (calendar.skipped > 0)
            answer.err =
                QStringLiteral("%1 个闹钟的时间无法识别或不会再响，没有导出").arg(calendar.skipped);
        return answer;
    }
    case Request::Command::Show:
        target.show();
        return {};
    case Request::Command::Quit:
        target.quit();
        return {};
    case Request::Command::Start:
    case Request::Command::Help:
    case Request::Command::Version:
        break;
    }
    return Answer::failed(2, QStringLiteral("这个请求只能在命令行上使用"));
}

StoreTarget::StoreTarget(StoreLocation location, QSettings& settings)
    : m_location(std::move(location))
    , m_settings(settings) {
    StoreFile file = readStoreFile(m_location.readPath);
    if (file.mustBeKept())
        m_unwritable =
            file.error.isEmpty()
                ? QStringLiteral("它有无法识别的字符，为免丢失闹钟不改动它")
                : QStringLiteral("它无法读取（%1），为免丢失闹钟不改动它").arg(file.error);
    m_alarms.replaceAll(alarmsOf(std::move(file.text.lines)));
}

QString StoreTarget::advanceMinutes() const {
    return readSettings(m_settings, {}).advanceMinutes;
}

SaveResult StoreTarget::save() {
    if (!m_unwritable.isEmpty())
        return {false, m_unwritable};
    QDir().mkpath(QFileInfo(m_location.writePath).absolutePath());
    return saveStore(m_location.writePath, m_alarms.storeLines());
}

SaveResult StoreTarget::append(const QString& line, int& row) {
    if (!m_unwritable.isEmpty())
        return {false, m_unwritable};
    row = m_alarms.append(Alarm(StoreLine{line, {}}));
    return save();
}

SaveResult StoreTarget::remove(int row) {
    if (!m_unwritable.isEmpty())
        return {false, m_unwritable};
    if (row < 0)
        m_alarms.clear();
    else
        m_alarms.removeAt(row);
    return save();
}

} // namespace tikko
