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

// The notice of alarms that expired while the program was not running and were dropped at
// start-up: a heading and one line for each with its time, type and prompt. Empty when none
// was dropped.
QString missedAlarmsNotice(const StoreLines& missed);

// Said when a store exists but cannot be read: it is then left alone for the whole run.
QString unreadableStoreNotice(const QString& path, const QString& reason);

} // namespace tikko
