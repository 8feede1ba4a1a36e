// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_model.h"
#include "tikko/alarm/alarm_store.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

namespace tikko {

// The alarms as an iCalendar file (RFC 5545), one event with a reminder (VALARM) each, for any
// calendar program. Times are the alarms' own local wall-clock times, written without a zone.
// Gregorian rules become an RRULE; lunar rules, solar terms and the month days that iCalendar
// cannot say without BYSETPOS (29, 30) become one event per occurrence for the next ten years.
// Every event keeps its UID from one export to the next (a repeating alarm's also after it
// fired and moved on), so that importing again replaces events instead of doubling them.
struct AlarmCalendar {
    QByteArray text;
    int alarms = 0;  // alarms written
    int skipped = 0; // alarms left out: their time cannot be read, or they never fire again
};

// `now` starts the ten years and is the events' DTSTAMP.
AlarmCalendar alarmCalendar(const QList<Alarm>& alarms, const QDateTime& now);

// Writes the model's alarms to path as alarmCalendar does, through a temporary file renamed
// into place; says why when it cannot.
SaveResult exportAlarmCalendar(const AlarmModel& alarms, const QString& path, const QDateTime& now);

} // namespace tikko
