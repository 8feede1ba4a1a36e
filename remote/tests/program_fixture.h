// SPDX-License-Identifier: MIT
#pragma once

// The built program copied into a throw-away folder, which then keeps its store beside it,
// with a throw-away HOME and runtime folder; its commands run as a script would run them.

#include "tikko/alarm/store_text.h"
#include "tikko/shell/single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace tikko::testing {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

class ProgramFixture : public ::testing::Test {
public:
    QTemporaryDir folder;
    QTemporaryDir runtime;
    QString program;
    QString store;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    void SetUp() override {
        program = folder.filePath("TikkoClock");
        ASSERT_TRUE(QFile::copy(QStringLiteral(TIKKO_PROGRAM), program));
        store = folder.filePath("alarm.ini");
        const QString home = folder.filePath("home");
        QDir().mkpath(home);
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", home + "/.config");
        environment.insert("XDG_DATA_HOME", home + "/.local/share");
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("LC_ALL", "C.UTF-8");
        // The program under test never reaches the session bus of whoever runs the tests.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime.filePath("no-bus"));
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments) const {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(folder.path());
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    static Outcome finish(QProcess& process) {
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    Outcome run(const QStringList& arguments) const { return finish(*start(arguments)); }

    // The program itself, once it answers later commands.
    std::unique_ptr<QProcess> startProgram() const {
        auto process = start({});
        const QString key = SingleInstance::keyFor(folder.path(), runtime.path());
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 15000) {
            QLocalSocket socket;
            socket.connectToServer(key);
            if (socket.waitForConnected(100))
                return process;
            QThread::msleep(20);
        }
        ADD_FAILURE() << "the program did not start: " << process->readAllStandardError().data();
        return process;
    }

    QByteArray storeBytes() const {
        QFile file(store);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList storeLines() const { return textsOf(decodeStoreLines(storeBytes())); }
};

} // namespace tikko::testing
