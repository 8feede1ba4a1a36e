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
        return QStringLiteral("闹钟无法保存到 %1：%2。闹钟仍然有效，下次更改时会再试；"
                              "在保存成功之前，已经响过的闹钟可能在下次启动时再响一次。")
            .arg(file, result.reason);
    }
    if (!m_failing)
        return std::nullopt;
    m_failing = false;
    return QStringLiteral("闹钟已重新保存到 %1。").arg(file);
}

QString missedAlarmsNotice(const QList<MissedAlarm>& missed) {
    if (missed.isEmpty())
        return {};
    QString notice = QStringLiteral("以下闹钟在软件未运行时已过期：");
    for (const auto& [alarm, times] : missed) {
        const auto time = alarm.alarmTime();
        notice += QLatin1Char('\n') + (time ? formatClockTime(*time) : alarm.time().toString());
        notice += QStringLiteral("  ") + alarm.type().toString();
        if (!alarm.prompt().isEmpty())
            notice += QStringLiteral("  ") + alarm.prompt().toString();
        if (alarm.repeats())
            notice += QStringLiteral("  %1，错过 %2 次")
                          .arg(QString::fromStdString(ruleName(*alarm.rule())))
                          .arg(times);
    }
    return notice;
}

QString unreadableAlarmsNotice(int count) {
    if (count <= 0)
        return {};
    return QStringLiteral(
               "有 %1 个闹钟的时间无法识别，它们不会响（列表中以灰色显示），请重新设置。")
        .arg(count);
}

QString unreadableStoreNotice(const QString& path, const QString& reason,
                              const QString& addedPath) {
    return QStringLiteral("无法完整读取闹钟文件 %1：%2。为免覆盖其中的闹钟，本次运行不会写入它；"
                          "新添加的闹钟保存在 %3。")
        .arg(QDir::toNativeSeparators(path), reason, QDir::toNativeSeparators(addedPath));
}

QString mergedStoreNotice(const QString& path) {
    return QStringLiteral("闹钟文件 %1 在本软件运行时被其他程序修改过，已读入这些修改。")
        .arg(QDir::toNativeSeparators(path));
}

QString addedMergedNotice(int count, const QString& path) {
    return QStringLiteral("上次无法保存的 %1 个闹钟已并入 %2。")
        .arg(count)
        .arg(QDir::toNativeSeparators(path));
}

} // namespace tikko
