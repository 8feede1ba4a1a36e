// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace tikko {

// The present time, injected so that the due test and the pass can be driven by tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that only moves forward, in milliseconds from an arbitrary start: what run times,
// intervals and the stopwatch count on. Changes of the wall clock do not move it.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual qint64 elapsedMs() const = 0;
};

class SystemMonotonicClock final : public MonotonicClock {
public:
    SystemMonotonicClock() { m_timer.start(); }
    qint64 elapsedMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

} // namespace tikko
