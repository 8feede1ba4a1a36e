#pragma once

#include <QDateTime>

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

} // namespace tikko
