// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_store.h"

#include <QString>
#include <optional>

namespace tikko {

// What the user is told about saving the store: the first failure of an episode (naming the
// file and the reason), and the first success after it. Every other save says nothing, so
// that a store that stays unwritable is not announced at each change.
class SaveReport {
public:
    std::optional<QString> after(const SaveResult& result, const QString& path);
    bool failing() const { return m_failing; }

private:
    bool m_failing = false;
};

// The notice of alarms that expired while the program was not running: a heading and one line
// for each with its time, type and prompt, and for a repeating alarm its rule and how many
// occurrences passed. Empty when none was missed.
QString missedAlarmsNotice(const QList<MissedAlarm>& missed);

// Said once at start-up when some alarm times cannot be read: how many (they never fire).
QString unreadableAlarmsNotice(int count);

// Said when a store exists but cannot be read whole: it is then left alone, and the alarms
// made meanwhile are kept in addedPath.
QString unreadableStoreNotice(const QString& path, const QString& reason, const QString& addedPath);

// Said when another program changed the store while this one ran and the change was merged.
QString mergedStoreNotice(const QString& path);

// Said when alarms that alarm-added.ini kept are back in the store.
QString addedMergedNotice(int count, const QString& path);

} // namespace tikko
