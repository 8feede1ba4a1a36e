#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace tikko {

// One running program per alarm store: a second start hands the first a request to show
// its main window and ends, so no alarm fires twice and no store is overwritten by another.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString key, QObject* parent = nullptr);

    // The key of the program that keeps its store in that folder.
    static QString keyFor(const QString& storeFolder);

    // True when this process is the first and now answers later starts; false when another
    // one runs and has been asked to show itself.
    bool claim();

signals:
    void showRequested();

private:
    bool askRunningInstance();
    void acceptConnection();

    QString m_key;
    QLocalServer m_server;
};

} // namespace tikko
