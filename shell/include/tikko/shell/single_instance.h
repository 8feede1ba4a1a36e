// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tikko {

// One running program per alarm store: a second start hands the first a request to show
// its main window and ends, so no alarm fires twice and no store is overwritten by another.
// An exclusive lock decides who runs: beside the store, where it also keeps out copies on
// other machines or of other users that share the folder; in the user's runtime folder,
// keyed by the store's path, where the store's folder takes no lock (a read-only shared
// install). A local socket in the runtime folder carries the request to show the window, and
// the requests of scripts: one line each way.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    enum class Claim {
        Holder,       // this process holds the store
        Shown,        // another one holds it and has shown its window
        NotAnswering, // another one holds it and did not answer in time
        Answered,     // another one holds it and answered the request
    };
    // Carries out a script's request line in the running program; gives the answer line.
    using RequestHandler = std::function<QByteArray(const QByteArray& request)>;

    // How long a running copy has to answer once its socket took the call, and how long
    // one that is still starting (its lock younger than that, its socket not yet open) has.
    static constexpr int AnswerTimeoutMs = 1000;
    static constexpr int StartupGraceMs = 10000;
    // A request may save the store, which a slow disk can hold up.
    static constexpr int RequestTimeoutMs = 15000;

    SingleInstance(QString storeFolder, QString runtimeFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The name of the socket of the program that keeps its store in that folder (a path in
    // the runtime folder when there is one).
    static QString keyFor(const QString& storeFolder, const QString& runtimeFolder = {});
    // The lock file beside the store, and the one in the runtime folder.
    static QString lockPathFor(const QString& storeFolder);
    static QString runtimeLockPathFor(const QString& storeFolder, const QString& runtimeFolder);

    // Takes the store, or asks the copy that holds it to show itself.
    Claim claim();
    // Takes the store, or hands the request line (no line end) to the copy that holds it and
    // puts its answer line into `answer`.
    Claim forward(const QByteArray& request, QByteArray& answer);
    // How this one answers the requests of later commands; without it they get no answer.
    void setRequestHandler(RequestHandler handler) { m_handler = std::move(handler); }
    // From now on later starts reach this one; false (and logged) when they cannot.
    bool listen();

    // The lock in force; empty when none could be taken anywhere.
    QString lockPath() const;
    // The line that tells the user a running copy did not answer, and what to do.
    QString notAnsweringMessage() const;
    static QString unreachableMessage();

signals:
    void showRequested();

private:
    bool takeLock();
    bool holderAlive(QLockFile& lock) const;
    Claim askHolder(const QByteArray& request, QByteArray* answer);
    void acceptConnection();

    QString m_storeFolder;
    QString m_runtimeFolder;
    QString m_key;
    std::unique_ptr<QLockFile> m_lock; // ours, or the one that another holds
    QString m_lockPath;
    bool m_locked = false;
    QLocalServer m_server;
    RequestHandler m_handler;
};

} // namespace tikko
