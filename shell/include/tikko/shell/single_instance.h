// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace tikko {

// One running program per alarm store: a second start hands the first a request to show
// its main window and ends, so no alarm fires twice and no store is overwritten by another.
// An exclusive lock beside the store decides who runs; the local socket only carries the
// request to show the window.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString storeFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name of the program that keeps its store in that folder.
    static QString keyFor(const QString& storeFolder);
    // The lock file beside the store.
    static QString lockPathFor(const QString& storeFolder);

    // True when this process holds the store and now answers later starts; false when
    // another one holds it and has been asked to show itself.
    bool claim();

signals:
    void showRequested();

private:
    bool askRunningInstance(int timeoutMs);
    void listen();
    void acceptConnection();

    QString m_key;
    QLockFile m_lock;
    QLocalServer m_server;
};

} // namespace tikko
