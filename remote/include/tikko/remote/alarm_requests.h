// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_model.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/remote/request.h"

#include <QJsonArray>
#include <QLoggingCategory>
#include <QSettings>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace tikko {

class Clock;

// What requests work on: the running program's list, or the store itself while no program
// runs. Rows count from 0 here; scripts count positions from 1.
class RequestTarget {
public:
    virtual ~RequestTarget() = default;
    virtual const AlarmModel& alarms() const = 0;
    // The file that saves write, to name it when they fail.
    virtual QString storePath() const = 0;
    // The advance the editor would take: its box, or the stored setting.
    virtual QString advanceMinutes() const = 0;
    // Appends a line and saves; row is where it stands after the save.
    virtual SaveResult append(const QString& line, int& row) = 0;
    // Removes one alarm (every alarm for -1) and saves.
    virtual SaveResult remove(int row) = 0;
    virtual void show() = 0;
    virtual void quit() = 0;
};

// Carries out a request as the editor and the list's menu would: the same defaults, the same
// line, the same save. Bad input changes nothing. What goes wrong inside is logged and
// answered with status 1, never thrown.
Answer runRequest(const Request& request, RequestTarget& target, const Clock& clock);
// The same for a request line of the single-instance channel, with the answer line.
QByteArray answerRequestLine(const QByteArray& line, RequestTarget& target, const Clock& clock);

// The alarm line an add request makes; an answer with status 2 and the reason when it makes
// none.
struct BuiltLine {
    QString line;
    Answer refusal;
};
BuiltLine buildRequestLine(const Request& request, const QString& advanceMinutes,
                           const Clock& clock);

// The alarms as `list --json` and D-Bus give them: time (the next firing), type, prompt,
// action, repeat (its ASCII form) and line, and the position and the list's text beside them.
QJsonArray alarmsJson(const AlarmModel& alarms, const QDate& today);

// The store itself, for a command that runs while the program does not (and that holds the
// program's lock meanwhile). It reads the lines as they are and writes them back as they
// were, less or plus the one changed: no load rules run, so the next start still finds and
// reports what expired meanwhile.
class StoreTarget final : public RequestTarget {
public:
    StoreTarget(StoreLocation location, QSettings& settings);

    const AlarmModel& alarms() const override { return m_alarms; }
    QString storePath() const override { return m_location.writePath; }
    QString advanceMinutes() const override;
    SaveResult append(const QString& line, int& row) override;
    SaveResult remove(int row) override;
    void show() override {}
    void quit() override {}

private:
    SaveResult save();

    StoreLocation m_location;
    QSettings& m_settings;
    AlarmModel m_alarms;
    QString m_unwritable; // why the store must not be rewritten; empty when it may
};

} // namespace tikko
