// SPDX-License-Identifier: MIT
#include "tikko/remote/alarms_service.h"

#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/clock.h"
#include "tikko/remote/alarm_requests.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMetaType>
#include <QFileInfo>
#include <QJsonObject>
#include <QLoggingCategory>

namespace tikko {

namespace {

const QLatin1String RunPrefix("run:");

} // namespace

AlarmsService::AlarmsService(RequestTarget& target, const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_target(target)
    , m_clock(clock) {
    qDBusRegisterMetaType<QList<QVariantMap>>();
}

bool AlarmsService::publish() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcRemote).noquote() << "no session bus:" << bus.lastError().message();
        return false;
    }
    if (!bus.registerObject(QLatin1String(ServicePath), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
        !bus.registerService(QLatin1String(ServiceName))) {
        qCWarning(lcRemote).noquote()
            << "the name" << ServiceName << "cannot be taken:" << bus.lastError().message();
        return false;
    }
    return true;
}

int AlarmsService::Add(const QString& time, const QString& type, const QString& prompt,
                       const QString& action, const QString& repeat, const QString& advance) {
    Request request;
    request.command = Request::Command::Add;
    request.time = time.trimmed();
    request.type = type;
    if (!prompt.isEmpty())
        request.prompt = prompt;
    request.advance = advance;
    request.repeat = repeat;
    QString program = action.startsWith(RunPrefix) ? action.mid(RunPrefix.size()) : QString();
    if (const AdditionalAction* named = findActionName(action);
        named && named->kind == AdditionalAction::RunProgram && action != named->item)
        program = action.mid(named->stored.size()); // the stored form, "运行软件:/path"
    if (!program.isEmpty()) {
        // The caller's folder is not ours: only a whole path names a program here.
        const QFileInfo file(program);
        if (!file.isAbsolute() || !file.isFile() || !file.isExecutable()) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("找不到可运行的程序 %1（请给出完整路径）").arg(program));
            return 0;
        }
        request.program = program;
        request.action = action::RunProgramItem.toString();
    } else {
        request.action = action;
    }
    const Answer answer = runRequest(request, m_target, m_clock);
    if (answer.status != 0)
        sendErrorReply(answer.status == 2 ? QDBusError::InvalidArgs : QDBusError::Failed,
                       answer.err);
    return answer.position;
}

QList<QVariantMap> AlarmsService::List() {
    QList<QVariantMap> alarms;
    for (const QJsonValue& alarm : alarmsJson(m_target.alarms(), m_clock.now().date()))
        alarms.append(alarm.toObject().toVariantMap());
    return alarms;
}

void AlarmsService::Remove(int position) {
    Request request;
    request.command = Request::Command::Remove;
    request.position = position;
    const Answer answer = runRequest(request, m_target, m_clock);
    if (answer.status != 0)
        sendErrorReply(answer.status == 2 ? QDBusError::InvalidArgs : QDBusError::Failed,
                       answer.err);
}

void AlarmsService::RemoveAll() {
    Request request;
    request.command = Request::Command::Remove;
    request.all = true;
    const Answer answer = runRequest(request, m_target, m_clock);
    if (answer.status != 0)
        sendErrorReply(QDBusError::Failed, answer.err);
}

void AlarmsService::Show() {
    m_target.show();
}

void AlarmsService::Quit() {
    m_target.quit();
}

} // namespace tikko
