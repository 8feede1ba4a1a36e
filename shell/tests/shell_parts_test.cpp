// SPDX-License-Identifier: MIT
#include "tikko/shell/frm_main.h"
#include "tikko/shell/single_instance.h"
#include "tikko/shell/skin.h"
#include "tikko/shell/termination_watcher.h"
#include "tikko/shell/tray_icon.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

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

TEST_F(ShellPartsTest, ASecondInstanceAsksTheHolderOfTheStoreToShowItself) {
    QTemporaryDir store;
    SingleInstance first(store.path());
    ASSERT_TRUE(first.claim());
    EXPECT_TRUE(QFile::exists(SingleInstance::lockPathFor(store.path())));
    QSignalSpy shown(&first, &SingleInstance::showRequested);
    {
        SingleInstance second(store.path());
        EXPECT_FALSE(second.claim());
    }
    EXPECT_TRUE(shown.wait(2000));
    EXPECT_EQ(shown.count(), 1);
    // Another store is another program.
    QTemporaryDir other;
    SingleInstance third(other.path());
    EXPECT_TRUE(third.claim());
}

TEST_F(ShellPartsTest, LeftOversOfACrashDoNotBlockTheNextStart) {
    QTemporaryDir store;
    {
        // A socket name that outlived its server, and a lock of a process that is gone.
        QLocalServer stale;
        ASSERT_TRUE(stale.listen(SingleInstance::keyFor(store.path())));
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
    SingleInstance instance(store.path());
    EXPECT_TRUE(instance.claim());
    EXPECT_NE(SingleInstance::keyFor("/a"), SingleInstance::keyFor("/b"));
    EXPECT_EQ(SingleInstance::keyFor("/a/b/../b"), SingleInstance::keyFor("/a/b"));
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
    TerminationWatcher watcher;
    QSignalSpy requested(&watcher, &TerminationWatcher::terminationRequested);
    std::raise(SIGTERM);
    EXPECT_TRUE(requested.wait(2000));
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
