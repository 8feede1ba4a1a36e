// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tikko {

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the event loop, so that they end the
// program through its normal exit and the store is written.
class TerminationWatcher final : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tikko
