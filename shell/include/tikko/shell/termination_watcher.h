// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace tikko {

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the event loop, so that they end the
// program through its normal exit and the store and the settings are written.
class TerminationWatcher final : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

    // False when the signals could not be caught (then they end the program at once).
    bool isWatching() const { return m_notifier != nullptr; }
    // The line that tells the user how to end the program without losing anything.
    static QString notWatchingMessage();

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tikko
