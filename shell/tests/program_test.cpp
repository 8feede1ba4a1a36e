// SPDX-License-Identifier: MIT
// Starts the built program itself in throw-away folders, to see that its store survives
// a kill, that a second start leaves the first in charge, and that copies started together
// leave exactly one running, also on a read-only shared install.
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/shell/single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tikko {
namespace {

class ProgramTest : public ::testing::Test {
public:
    QTemporaryDir folder;
    QTemporaryDir runtime; // the user's runtime folder; outside the program's folder
    QString program;
    QString store;

    void SetUp() override {
        program = folder.filePath("TikkoClock");
        ASSERT_TRUE(QFile::copy(QStringLiteral(TIKKO_PROGRAM), program));
        store = folder.filePath("alarm.ini");
        QDir().mkpath(folder.filePath("home"));
    }

    std::unique_ptr<QProcess> launch(const QStringList& arguments = {}, QString executable = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", folder.filePath("home"));
        env.insert("XDG_CONFIG_HOME", folder.filePath("home/.config"));
        env.insert("XDG_DATA_HOME", folder.filePath("home/.local/share"));
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(folder.path());
        process->start(executable.isEmpty() ? program : executable, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    // True once the program that keeps its store in that folder answers later starts: it
    // has started and runs its event loop.
    bool waitUntilAnswering(const QString& storeFolder = {}, int timeoutMs = 15000) const {
        const QString key = SingleInstance::keyFor(
            storeFolder.isEmpty() ? folder.path() : storeFolder, runtime.path());
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            QLocalSocket socket;
            socket.connectToServer(key);
            if (socket.waitForConnected(100))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    QByteArray storeBytes() const {
        QFile file(store);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool waitForStore(const QByteArray& expected, int timeoutMs) const {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (storeBytes() == expected)
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    // A moment safely inside the present minute, so that the line is due but not expired.
    static QDateTime presentMinute() {
        QDateTime now = QDateTime::currentDateTime();
        if (now.time().second() > 50) {
            QThread::sleep(static_cast<unsigned long>(61 - now.time().second()));
            now = QDateTime::currentDateTime();
        }
        return now;
    }
};

TEST_F(ProgramTest, TheStoreSurvivesAKillAfterAnAlarmFired) {
    const QString later =
        buildAlarmLine(QDateTime::currentDateTime().addDays(2), reminder::Text, "later", {});
    const QString due = buildAlarmLine(presentMinute(), reminder::Text, "due now", {});
    ASSERT_TRUE(saveStore(store, {due, later}));
    const QByteArray expected = encodeStore({later});

    auto first = launch();
    EXPECT_TRUE(waitForStore(expected, 10000)) << storeBytes().toStdString();
    first->kill();
    first->waitForFinished(5000);
    EXPECT_EQ(storeBytes(), expected);

    // The next start finds the file whole and keeps its alarm through a normal exit.
    auto second = launch();
    ASSERT_TRUE(waitUntilAnswering());
    second->terminate();
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(storeBytes(), expected);
    // SIGTERM ran the normal exit, which writes the settings.
    EXPECT_TRUE(QFile::exists(folder.filePath("home/.config/Tikko/TikkoClock.conf")));
}

// A private mount namespace: as root directly, otherwise inside a user namespace.
QStringList unshareArguments() {
    return ::geteuid() == 0 ? QStringList{"--mount", "--propagation", "private"}
                            : QStringList{"--user", "--map-root-user", "--mount"};
}

bool readOnlyMountsWork() {
    QProcess probe;
    probe.start("unshare",
                unshareArguments() + QStringList{"sh", "-c", "mount --bind / /mnt && umount /mnt"});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

// Starts `copies` programs released at one moment: each waits on a FIFO that ends for all
// of them at once. Gives the number that were still running once the rest had ended. With
// `readOnly`, each sees the program's folder (with the home folder in it) as a read-only
// file system, as on a shared install; root too, which ignores permission bits.
int survivorsOfSimultaneousStarts(ProgramTest& test, int copies, bool readOnly = false) {
    const QString fifo = test.folder.filePath("barrier");
    QFile::remove(fifo);
    const QByteArray fifoName = QFile::encodeName(fifo);
    if (::mkfifo(fifoName.constData(), 0600) != 0)
        return -1;
    // Held open for writing, the FIFO lets every reader open it; closing it then gives them
    // all an end of file at the same moment.
    const int writer = ::open(fifoName.constData(), O_RDWR | O_CLOEXEC);
    if (writer < 0)
        return -1;
    std::vector<std::unique_ptr<QProcess>> programs;
    const QString readOnlyMount =
        QStringLiteral("mount --bind \"$2\" \"$2\" && mount -o remount,ro,bind \"$2\" \"$2\" && ");
    for (int i = 0; i < copies; ++i) {
        const QString script =
            (readOnly ? readOnlyMount : QString()) + QStringLiteral("read x < \"$0\"; exec \"$1\"");
        const QStringList shell = {"-c", script, fifo, test.program, test.folder.path()};
        programs.push_back(readOnly ? test.launch(unshareArguments() + QStringList{"sh"} + shell,
                                                  QStringLiteral("unshare"))
                                    : test.launch(shell, QStringLiteral("/bin/sh")));
    }
    auto waiting = [&](const std::unique_ptr<QProcess>& p) {
        const QString in = QStringLiteral("/proc/%1/fd/0").arg(p->processId());
        return QFileInfo(in).symLinkTarget() == fifo;
    };
    QElapsedTimer ready;
    ready.start();
    while (!std::all_of(programs.begin(), programs.end(), waiting) && ready.elapsed() < 5000)
        QThread::msleep(5);
    ::close(writer);
    QElapsedTimer timer;
    timer.start();
    auto running = [&] {
        return std::count_if(programs.begin(), programs.end(),
                             [](const auto& p) { return p->state() != QProcess::NotRunning; });
    };
    while (running() > 1 && timer.elapsed() < 15000) {
        for (auto& p : programs)
            p->waitForFinished(20);
    }
    // A late loser would still have ended by now.
    for (auto& p : programs)
        p->waitForFinished(200);
    const int survivors = static_cast<int>(running());
    for (auto& p : programs) {
        if (p->state() != QProcess::NotRunning) {
            p->terminate();
            p->waitForFinished(5000);
        }
    }
    return survivors;
}

TEST_F(ProgramTest, ExactlyOneOfManySimultaneousStartsSurvives) {
    const QString later =
        buildAlarmLine(QDateTime::currentDateTime().addDays(2), reminder::Sound, {}, {});
    ASSERT_TRUE(saveStore(store, {later}));
    for (int copies : {2, 5}) {
        for (int round = 0; round < 30; ++round)
            ASSERT_EQ(survivorsOfSimultaneousStarts(*this, copies), 1)
                << copies << " copies, round " << round;
    }
    EXPECT_EQ(storeBytes(), encodeStore({later}));
}

TEST_F(ProgramTest, OnAReadOnlyInstallExactlyOneOfCopiesStartedTogetherRuns) {
    if (!readOnlyMountsWork())
        GTEST_SKIP() << "no private mount namespace can be made here";
    const QString later =
        buildAlarmLine(QDateTime::currentDateTime().addDays(2), reminder::Sound, {}, {});
    ASSERT_TRUE(saveStore(store, {later}));
    // The data folder the program falls back to, inside the read-only folder.
    ASSERT_TRUE(QDir().mkpath(folder.filePath("home/.local/share/Tikko/TikkoClock")));
    for (int copies : {2, 5}) {
        for (int round = 0; round < (copies == 2 ? 10 : 5); ++round)
            ASSERT_EQ(survivorsOfSimultaneousStarts(*this, copies, true), 1)
                << copies << " copies, round " << round;
    }
    EXPECT_EQ(storeBytes(), encodeStore({later}));
}

TEST_F(ProgramTest, AKilledHolderDoesNotStopTheNextStart) {
    for (int round = 0; round < 3; ++round) {
        auto first = launch();
        ASSERT_TRUE(waitUntilAnswering());
        first->kill();
        first->waitForFinished(5000);
        // It left its lock and its socket behind.
        auto next = launch();
        EXPECT_TRUE(waitUntilAnswering()) << "round " << round;
        EXPECT_EQ(next->state(), QProcess::Running) << "round " << round;
        next->kill();
        next->waitForFinished(5000);
    }
}

TEST_F(ProgramTest, ASecondStartNamesAFirstThatDoesNotAnswer) {
    auto first = launch();
    ASSERT_TRUE(waitUntilAnswering());
    ASSERT_EQ(::kill(static_cast<pid_t>(first->processId()), SIGSTOP), 0);
    auto second = launch();
    QByteArray said;
    // It waits a second, says so, and keeps its message box open until it is read.
    QElapsedTimer timer;
    timer.start();
    while (!said.contains(QStringLiteral("没有响应").toUtf8()) &&
           second->state() != QProcess::NotRunning && timer.elapsed() < 15000) {
        second->waitForReadyRead(100);
        said += second->readAllStandardError();
    }
    const bool told = said.contains(QStringLiteral("没有响应").toUtf8());
    ::kill(static_cast<pid_t>(first->processId()), SIGCONT);
    EXPECT_TRUE(told);
    EXPECT_TRUE(said.contains(QByteArray::number(first->processId()))) << said.toStdString();
    if (second->state() == QProcess::NotRunning) {
        EXPECT_NE(second->exitCode(), 0);
    }
    second->kill();
    second->waitForFinished(5000);
    first->terminate();
    EXPECT_TRUE(first->waitForFinished(5000));
}

TEST_F(ProgramTest, ASecondStartLeavesTheFirstInCharge) {
    const QString later =
        buildAlarmLine(QDateTime::currentDateTime().addDays(2), reminder::Sound, {}, {});
    ASSERT_TRUE(saveStore(store, {later}));
    auto first = launch();
    ASSERT_TRUE(waitUntilAnswering());
    auto second = launch();
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(5000));
    EXPECT_EQ(storeBytes(), encodeStore({later}));
}

} // namespace
} // namespace tikko
