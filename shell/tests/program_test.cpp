// Starts the built program itself in throw-away folders, to see that its store survives
// a kill and that a second start leaves the first in charge.
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace tikko {
namespace {

class ProgramTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString program;
    QString store;

    void SetUp() override {
        program = folder.filePath("TikkoClock");
        ASSERT_TRUE(QFile::copy(QStringLiteral(TIKKO_PROGRAM), program));
        store = folder.filePath("alarm.ini");
        QDir().mkpath(folder.filePath("home"));
    }

    std::unique_ptr<QProcess> launch() {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", folder.filePath("home"));
        env.insert("XDG_CONFIG_HOME", folder.filePath("home/.config"));
        env.insert("XDG_DATA_HOME", folder.filePath("home/.local/share"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(folder.path());
        process->start(program, {});
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
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
    QThread::msleep(1500);
    second->terminate();
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(storeBytes(), expected);
    // SIGTERM ran the normal exit, which writes the settings.
    EXPECT_TRUE(QFile::exists(folder.filePath("home/.config/Tikko/TikkoClock.conf")));
}

TEST_F(ProgramTest, ASecondStartLeavesTheFirstInCharge) {
    const QString later =
        buildAlarmLine(QDateTime::currentDateTime().addDays(2), reminder::Sound, {}, {});
    ASSERT_TRUE(saveStore(store, {later}));
    auto first = launch();
    QThread::msleep(1500);
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
