// SPDX-License-Identifier: MIT
#include "tikko/shell/frm_main.h"
#include "tikko/shell/single_instance.h"
#include "tikko/shell/skin.h"
#include "tikko/shell/termination_watcher.h"
#include "tikko/shell/tray_icon.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tikko {
namespace {

class ShellPartsTest : public ::testing::Test {
protected:
};

TEST_F(ShellPartsTest, OnlyAStyleSheetTextCountsAsASkin) {
    EXPECT_EQ(styleSheetFromSkin("QWidget { color: red; }"), "QWidget { color: red; }");
    EXPECT_TRUE(styleSheetFromSkin(QByteArray("SHE\0\x01\x02{}", 8)).isEmpty());
    EXPECT_TRUE(styleSheetFromSkin("\xff\xfe{ }").isEmpty());
    EXPECT_TRUE(styleSheetFromSkin("plain words").isEmpty());
    EXPECT_TRUE(styleSheetFromSkin("").isEmpty());
    EXPECT_FALSE(applySkinFile("/nonexistent/skin.she"));
    EXPECT_FALSE(applySkinFile(QString()));
}

// A holder whose event loop runs in a thread of its own, as another process's would.
class HolderThread {
public:
    HolderThread(const QString& store, const QString& runtime) {
        m_thread.start();
        QMetaObject::invokeMethod(
            m_context,
            [&] {
                m_holder = std::make_unique<SingleInstance>(store, runtime);
                m_claim = m_holder->claim();
                m_listening = m_holder->listen();
                QObject::connect(m_holder.get(), &SingleInstance::showRequested, m_context,
                                 [this] { ++m_shown; });
            },
            Qt::BlockingQueuedConnection);
    }
    ~HolderThread() {
        QMetaObject::invokeMethod(
            m_context, [&] { m_holder.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
        delete m_context;
    }
    bool holds() const { return m_claim == SingleInstance::Claim::Holder && m_listening; }
    int shown() const { return m_shown; }

private:
    QThread m_thread;
    QObject* m_context = [this] {
        auto* context = new QObject;
        context->moveToThread(&m_thread);
        return context;
    }();
    std::unique_ptr<SingleInstance> m_holder;
    SingleInstance::Claim m_claim = SingleInstance::Claim::NotAnswering;
    bool m_listening = false;
    std::atomic<int> m_shown = 0;
};

TEST_F(ShellPartsTest, ASecondInstanceAsksTheHolderOfTheStoreToShowItself) {
    QTemporaryDir store, runtime;
    {
        HolderThread first(store.path(), runtime.path());
        ASSERT_TRUE(first.holds());
        EXPECT_TRUE(QFile::exists(SingleInstance::lockPathFor(store.path())));
        SingleInstance second(store.path(), runtime.path());
        EXPECT_EQ(second.claim(), SingleInstance::Claim::Shown);
        EXPECT_EQ(first.shown(), 1);
        // Another store is another program.
        QTemporaryDir other;
        SingleInstance third(other.path(), runtime.path());
        EXPECT_EQ(third.claim(), SingleInstance::Claim::Holder);
    }
    // The holder has ended: the next start takes its place.
    SingleInstance next(store.path(), runtime.path());
    EXPECT_EQ(next.claim(), SingleInstance::Claim::Holder);
}

TEST_F(ShellPartsTest, AStoreFolderThatTakesNoLockIsGuardedFromTheRuntimeFolder) {
    // No file can be made inside a plain file, not even by root.
    QTemporaryDir dir, runtime;
    const QString store = dir.filePath("not-a-folder");
    QFile plain(store);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    HolderThread first(store, runtime.path());
    ASSERT_TRUE(first.holds());
    SingleInstance second(store, runtime.path());
    EXPECT_EQ(second.claim(), SingleInstance::Claim::Shown);
    EXPECT_EQ(first.shown(), 1);
    EXPECT_TRUE(QFile::exists(SingleInstance::runtimeLockPathFor(store, runtime.path())));
}

TEST_F(ShellPartsTest, AHolderThatDoesNotAnswerIsGivenUpOnAndNamed) {
    QTemporaryDir store, runtime;
    // Its event loop never runs while the second start waits: a hung program.
    SingleInstance first(store.path(), runtime.path());
    ASSERT_EQ(first.claim(), SingleInstance::Claim::Holder);
    ASSERT_TRUE(first.listen());
    SingleInstance second(store.path(), runtime.path());
    EXPECT_EQ(second.claim(), SingleInstance::Claim::NotAnswering);
    const QString message = second.notAnsweringMessage();
    EXPECT_TRUE(message.contains(QString::number(QCoreApplication::applicationPid())));
    EXPECT_TRUE(message.contains(QStringLiteral("没有响应")));
    EXPECT_FALSE(message.contains('\n'));
}

TEST_F(ShellPartsTest, LeftOversOfACrashDoNotBlockTheNextStartAndABlockedSocketIsReported) {
    QTemporaryDir store, runtime;
    const QString key = SingleInstance::keyFor(store.path(), runtime.path());
    {
        // A socket that outlived its server, and a lock of a process that is gone.
        QLocalServer stale;
        ASSERT_TRUE(stale.listen(key));
        stale.close();
        QProcess gone;
        gone.start("true");
        ASSERT_TRUE(gone.waitForStarted(5000));
        const qint64 pid = gone.processId();
        ASSERT_TRUE(gone.waitForFinished(5000));
        QFile lock(SingleInstance::lockPathFor(store.path()));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(pid) + "\nTikkoClock\n" +
                   QSysInfo::machineHostName().toUtf8() + "\n");
    }
    {
        SingleInstance instance(store.path(), runtime.path());
        EXPECT_EQ(instance.claim(), SingleInstance::Claim::Holder);
        EXPECT_TRUE(instance.listen());
    }
    EXPECT_NE(SingleInstance::keyFor("/a"), SingleInstance::keyFor("/b"));
    EXPECT_EQ(SingleInstance::keyFor("/a/b/../b"), SingleInstance::keyFor("/a/b"));

    // Something that is no socket where the socket goes: later starts cannot reach this one.
    ASSERT_TRUE(QDir().mkpath(key));
    SingleInstance blocked(store.path(), runtime.path());
    EXPECT_EQ(blocked.claim(), SingleInstance::Claim::Holder);
    EXPECT_FALSE(blocked.listen());
    EXPECT_FALSE(SingleInstance::unreachableMessage().contains('\n'));
}

TEST_F(ShellPartsTest, OnlyALeftClickOnTheIconAsksForTheWindow) {
    TrayIcon tray;
    QSignalSpy clicked(&tray, &TrayIcon::leftClicked);
    for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick,
                        QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown})
        tray.handleActivation(reason);
    EXPECT_EQ(clicked.count(), 0);
    tray.handleActivation(QSystemTrayIcon::Trigger);
    EXPECT_EQ(clicked.count(), 1);
    tray.add(QIcon(":/tikko/tikko.svg"));
    ASSERT_TRUE(tray.icon());
    EXPECT_EQ(tray.icon()->toolTip(), "Tikko闹钟");
    EXPECT_FALSE(tray.icon()->icon().isNull());
    tray.remove();
    EXPECT_FALSE(tray.icon());
    EXPECT_FALSE(tray.isShown());
}

TEST_F(ShellPartsTest, QtsOwnTextsSpeakChinese) {
    ASSERT_TRUE(installChineseTranslations());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), "确定");
    EXPECT_NE(QCoreApplication::translate("QLineEdit", "&Undo"), "&Undo");
}

TEST_F(ShellPartsTest, TerminationSignalsArriveOnTheEventLoop) {
    {
        TerminationWatcher watcher;
        ASSERT_TRUE(watcher.isWatching());
        QSignalSpy requested(&watcher, &TerminationWatcher::terminationRequested);
        std::raise(SIGTERM);
        EXPECT_TRUE(requested.wait(2000));
    }
    // Every descriptor the limit allows is taken: the watcher gets no sockets and says so
    // instead of leaving SIGTERM to end the program without its exit work.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit exhausted = saved;
    exhausted.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &exhausted), 0);
    const auto watcher = std::make_unique<TerminationWatcher>();
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_FALSE(watcher->isWatching());
    EXPECT_FALSE(TerminationWatcher::notWatchingMessage().contains('\n'));
}

TEST_F(ShellPartsTest, ComboDropHeightCountsRowsBelowTheBox) {
    QComboBox combo;
    combo.resize(46, 20);
    for (int i = 0; i < 60; ++i)
        combo.addItem(QString::number(i));
    setComboDropHeight(&combo, 320);
    const int rows = combo.maxVisibleItems();
    EXPECT_GT(rows, 5);
    EXPECT_LT(rows, 300 / 10);
    setComboDropHeight(&combo, 10);
    EXPECT_EQ(combo.maxVisibleItems(), 1);
}

} // namespace
} // namespace tikko
