// SPDX-License-Identifier: MIT
#include "tikko/alarm/store_notices.h"

#include "tikko/alarm/alarm_line.h"

#include <QDir>

namespace tikko {

std::optional<QString> SaveReport::after(const SaveResult& result, const QString& path) {
    const QString file = QDir::toNativeSeparators(path);
    if (!result.ok) {
        if (m_failing)
            return std::nullopt;
        m_failing = true;
        return QStringLiteral("闹钟无法保存到 %1：%2。闹钟仍然有效，下次更改时会再试。")
            .arg(file, result.reason);
    }
    if (!m_failing)
        return std::nullopt;
    m_failing = false;
    return QStringLiteral("闹钟已重新保存到 %1。").arg(file);
}

QString missedAlarmsNotice(const StoreLines& missed) {
    if (missed.isEmpty())
        return {};
    QString notice = QStringLiteral("以下闹钟在软件未运行时已过期：");
    for (const StoreLine& line : missed) {
        const AlarmFields fields = splitAlarmLine(line.text);
        const auto time = parseAlarmTime(fields.time);
        notice += QLatin1Char('\n') + (time ? formatClockTime(*time) : fields.time);
        notice += QStringLiteral("  ") + fields.type;
        if (!fields.prompt.isEmpty())
            notice += QStringLiteral("  ") + fields.prompt;
    }
    return notice;
}

QString unreadableStoreNotice(const QString& path, const QString& reason) {
    return QStringLiteral("无法读取闹钟文件 %1：%2。为免覆盖其中的闹钟，本次运行不会写入它。")
        .arg(QDir::toNativeSeparators(path), reason);
}

} // namespace tikko
