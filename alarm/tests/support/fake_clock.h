// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/clock.h"

namespace tikko::testing {

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start)
        : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& time) { m_now = time; }
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advanceMinutes(qint64 minutes) { m_now = m_now.addSecs(60 * minutes); }

private:
    QDateTime m_now;
};

// A monotonic clock that stands still until the test moves it.
class FakeMonotonicClock final : public MonotonicClock {
public:
    qint64 elapsedMs() const override { return m_ms; }
    void setMs(qint64 ms) { m_ms = ms; }
    void advanceMs(qint64 ms) { m_ms += ms; }

private:
    qint64 m_ms = 0;
};

// Local wall-clock time from its text, for readable tests.
inline QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace tikko::testing
