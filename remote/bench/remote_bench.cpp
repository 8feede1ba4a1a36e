// SPDX-License-Identifier: MIT
// `TikkoClock add …` against a running program: from the call to the saved store, that is until
// the command has ended (it ends once the program answered, after its save). Against a store
// of 1,000 alarms too, since each save writes the whole store.
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/shell/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {

struct RunningProgram {
    QTemporaryDir folder;
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess program;
    QString executable = folder.filePath("TikkoClock");

    explicit RunningProgram(int alarms) {
        QFile::copy(QStringLiteral(TIKKO_PROGRAM), executable);
        QStringList lines;
        const QDateTime later = QDateTime::currentDateTime().addDays(30);
        for (int i = 0; i < alarms; ++i)
            lines << tikko::buildAlarmLine(later.addSecs(60 * i), tikko::reminder::Text,
                                           QStringLiteral("提醒 %1").arg(i), {});
        tikko::saveStore(folder.filePath("alarm.ini"), lines);
        const QString home = folder.filePath("home");
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", home + "/.config");
        environment.insert("XDG_DATA_HOME", home + "/.local/share");
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime.filePath("no-bus"));
        program.setProcessEnvironment(environment);
        program.start(executable, {});
        const QString key = tikko::SingleInstance::keyFor(folder.path(), runtime.path());
        for (int i = 0; i < 500; ++i) {
            QLocalSocket socket;
            socket.connectToServer(key);
            if (socket.waitForConnected(100))
                return;
            QThread::msleep(20);
        }
    }

    ~RunningProgram() {
        command({"quit"});
        program.waitForFinished(10000);
    }

    int command(const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(executable, arguments);
        process.waitForFinished(30000);
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
};

void BM_AddToRunningProgram(benchmark::State& state) {
    RunningProgram running(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (running.command({"add", "+3h", "--text", "bench"}) != 0) {
            state.SkipWithError("the command failed");
            break;
        }
    }
    const QStringList lines = tikko::textsOf(tikko::decodeStoreLines([&] {
        QFile file(running.folder.filePath("alarm.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }()));
    state.counters["saved"] = static_cast<double>(lines.filter(QStringLiteral("|bench|")).size());
}
BENCHMARK(BM_AddToRunningProgram)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
