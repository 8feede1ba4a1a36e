// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QVariantMap>

namespace tikko {

class Clock;
class RequestTarget;

// The session-bus name, which is the application id of the desktop entry and AppStream.
inline constexpr const char* ServiceName = "com.example.tikko.TikkoClock";
inline constexpr const char* ServicePath = "/com/example/tikko/TikkoClock";

// The interface com.example.tikko.TikkoClock.Alarms: the requests of the command line for
// programs on the session bus. Positions count from 1, as `TikkoClock list` shows them; an
// empty text takes the editor's default. Bad input is the error
// org.freedesktop.DBus.Error.InvalidArgs, a store that cannot be written
// org.freedesktop.DBus.Error.Failed, each with its one line.
class AlarmsService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.example.tikko.TikkoClock.Alarms")

public:
    AlarmsService(RequestTarget& target, const Clock& clock, QObject* parent = nullptr);

    // Puts the object on the bus and takes the name; false (and logged) when either fails.
    bool publish();

public slots:
    // Time, type, prompt, action and rule as the command line takes them (an action that runs
    // a program as "run:/path/to/program"), and the advance minutes; gives the new alarm's
    // position.
    int Add(const QString& time, const QString& type, const QString& prompt, const QString& action,
            const QString& repeat, const QString& advance);
    // The alarms in list order, with the keys of `TikkoClock list --json`.
    QList<QVariantMap> List();
    void Remove(int position);
    void RemoveAll();
    void Show();
    void Quit();

signals:
    void Fired(const QString& time, const QString& type, const QString& prompt);

private:
    RequestTarget& m_target;
    const Clock& m_clock;
};

} // namespace tikko
