// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace tikko {

// What a script asks of TikkoClock, from its command line or over D-Bus. The running program
// and a command that works on the store itself carry it out alike (AlarmRequests).
struct Request {
    enum class Command { Start, Add, List, Remove, Show, Quit, Export, Help, Version };
    Command command = Command::Start;

    // Add: every field as the script wrote it, checked already; empty when not given, so that
    // the side that carries it out fills in the editor's defaults.
    QString time; // a moment, a time of day, or a span from now ("+1h30m")
    QString type;
    std::optional<QString> prompt;
    QString action;  // an action's name
    QString program; // the program to run, an absolute path
    QString advance;
    QString repeat;

    bool json = false; // List
    int position = 0;  // Remove: 1 for the first alarm in the list
    bool all = false;  // Remove
    QString file;      // Export: empty for standard output

    // One line of JSON, as the single-instance channel carries it.
    QByteArray toLine() const;
    static std::optional<Request> fromLine(const QByteArray& line);
};

// What came of a request: the exit status (0 done, 1 the store could not be written or the
// program not reached, 2 bad input), what goes to standard output and the one line for
// standard error.
struct Answer {
    int status = 0;
    QString out;
    QString err;
    int position = 0; // Add: where the new alarm stands, 1 for the first

    static Answer failed(int status, QString why) { return {status, {}, std::move(why), 0}; }
    QByteArray toLine() const;
    static std::optional<Answer> fromLine(const QByteArray& line);
};

// A span from now as scripts write it: "+25m", "+1h30m", "+2d", "+90s" in any combination of
// days, hours, minutes and seconds, each at most once and in that order. In seconds.
std::optional<qint64> spanSeconds(QStringView text);

// A time of day alone ("7:30", "07:30:15"): the next such moment, today or tomorrow.
std::optional<QDateTime> nextTimeOfDay(QStringView text, const QDateTime& now);

} // namespace tikko
