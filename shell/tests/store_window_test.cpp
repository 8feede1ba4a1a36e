// SPDX-License-Identifier: MIT
// What the main window makes of its store: lines it cannot read, saves that fail, a store
// it may read but not write, alarms that expired meanwhile, and a shutdown that is refused.
#include "main_window_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <unistd.h>

namespace tikko {
namespace {

class StoreWindowTest : public MainWindowTest {
protected:
    void writeBytes(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(StoreWindowTest, LinesKeptAsBytesGoBackUnchangedAndUnreadableTimesAreMarked) {
    const QByteArray bad = "2026-12-09 09:00:00|\xff\xfe|x|\r\n";
    const QByteArray later = "2026-12-09 10:00:00|声音提醒||\r\n";
    const QByteArray unreadable = "某天早上|声音提醒||\r\n";
    writeBytes(storePath, later + bad + unreadable);
    start();
    ASSERT_EQ(window->alarms().count(), 3);
    const QAbstractItemModel* model = window->alarmList()->model();
    EXPECT_EQ(model->index(0, 0).data(Qt::ToolTipRole).toString(),
              "2026-12-09 10:00:00|声音提醒||");
    EXPECT_EQ(model->index(0, 0).data().toString(), "12-09 周三 10:00 · 声音提醒");
    EXPECT_EQ(model->index(2, 0).data(Qt::ToolTipRole).toString(),
              "无法识别的闹钟时间，此闹钟不会响");
    EXPECT_TRUE(model->index(2, 0).data(AlarmModel::NeverFiresRole).toBool());
    // A change writes every line back: the one kept as bytes byte for byte.
    window->alarms().removeAt(0);
    window->formUnload();
    EXPECT_EQ(readAll(storePath), bad + unreadable);
}

TEST_F(StoreWindowTest, AStoreThatCannotBeSavedIsToldOnceAndAgainWhenItWorks) {
    QDir().mkpath(storePath); // alarm.ini is a folder
    start();
    auto add = [this] {
        window->findChild<QPushButton*>("cmdAdd")->click();
    };
    add();
    add();
    ASSERT_EQ(messages.size(), 1) << messages.join("\n").toStdString();
    EXPECT_TRUE(messages.front().contains("是一个文件夹"));
    EXPECT_EQ(window->alarms().count(), 2);
    QDir(storePath).removeRecursively();
    add();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages.last().contains("已重新保存"));
    EXPECT_EQ(readAll(storePath).count("\r\n"), 3);
}

TEST_F(StoreWindowTest, WithANotificationAreaASaveFailureIsABalloon) {
    ui.notificationArea = true;
    QDir().mkpath(storePath);
    start();
    child<QPushButton>("cmdAdd")->click();
    EXPECT_TRUE(messages.isEmpty());
    ASSERT_EQ(ui.balloons.size(), 1);
    EXPECT_TRUE(ui.balloons.front().contains("是一个文件夹"));
}

TEST_F(StoreWindowTest, AStoreInAFolderOnlyReadableIsReadAndNeverWritten) {
    storeReadPath = program.filePath("alarm.ini");
    writeBytes(storeReadPath, "2026-12-08 10:05:00|文本框提醒|到点了|\r\n"
                              "2026-12-09 09:00:00|声音提醒||\r\n");
    const QByteArray before = readAll(storeReadPath);
    start();
    // Its due line fired; its future line is kept, in the data folder's store.
    ASSERT_TRUE(window->notification().isLoaded());
    EXPECT_EQ(listLines(), QStringList{"2026-12-09 09:00:00|声音提醒||"});
    EXPECT_EQ(readAll(storePath), QByteArray("2026-12-09 09:00:00|声音提醒||\r\n"));
    window->formUnload();
    EXPECT_EQ(readAll(storeReadPath), before);
}

TEST_F(StoreWindowTest, AnUnreadableStoreIsLeftAloneAndNewAlarmsAreKeptBesideIt) {
    // Before: alarms added while the store could not be read were lost at exit, unsaid.
    // A UTF-16 store cut in the middle of a character cannot be read whole, for root too.
    QByteArray cut("\xff\xfe");
    for (const QChar c : QStringLiteral("2026-12-09 09:00:00|声音提醒||\r\n"))
        cut += QByteArray(reinterpret_cast<const char*>(&c), 2);
    cut += 'x';
    writeBytes(storePath, cut);
    start();
    EXPECT_EQ(window->alarms().count(), 1);
    child<QComboBox>("cJS")->setEditText("2026-12-10 08:00:00");
    child<QPushButton>("cmdAdd")->click();
    window->formUnload();
    EXPECT_EQ(readAll(storePath), cut);
    const QString added = data.filePath("alarm-added.ini");
    EXPECT_EQ(readAll(added).count("\r\n"), 1);
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.size(), 1) << messages.join("\n").toStdString();
    EXPECT_TRUE(messages.front().contains("无法完整读取") && messages.front().contains(added));

    // Readable again: the kept alarm joins the store, and the file beside it goes.
    writeStore({"2026-12-09 09:00:00|声音提醒||"});
    messages.clear();
    start();
    EXPECT_EQ(window->alarms().count(), 2);
    EXPECT_EQ(readAll(storePath).count("\r\n"), 2);
    EXPECT_FALSE(QFile::exists(added));
}

TEST_F(StoreWindowTest, AnUnreadableStoreIsLeftAloneForTheRun) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file: run as an ordinary user to see this";
    writeBytes(storePath, "2026-12-09 09:00:00|声音提醒||\r\n");
    QFile(storePath).setPermissions({});
    start();
    window->findChild<QPushButton*>("cmdAdd")->click();
    window->formUnload();
    QFile(storePath).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readAll(storePath), QByteArray("2026-12-09 09:00:00|声音提醒||\r\n"));
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains("无法完整读取"));
}

TEST_F(StoreWindowTest, AStoreRewrittenBehindTheProgramsBackIsMergedNotOverwritten) {
    // Before: the next save wrote the program's own list back: the edit reverted, the new
    // alarms gone, the due one never fired, nothing said.
    writeStore({"2026-12-08 10:30:00|文本框提醒|A|", "2026-12-09 09:00:00|声音提醒||"});
    start();
    writeStore({"2026-12-08 10:40:00|文本框提醒|A 改了|", "2026-12-09 09:00:00|声音提醒||",
                "2026-12-08 10:06:00|文本框提醒|C|", "2026-12-09 12:00:00|声音提醒||"});
    child<QPushButton>("cmdAdd")->click(); // an alarm for the present minute, added here
    const QString mine = listLines().last();
    clock.set(at("2026-12-08 10:06:00"));
    tick("Timer1");
    EXPECT_EQ(window->notification().window()->reminderTexts().last(), "C");
    const QStringList kept{"2026-12-08 10:40:00|文本框提醒|A 改了|",
                           "2026-12-09 09:00:00|声音提醒||", "2026-12-09 12:00:00|声音提醒||"};
    EXPECT_EQ(listLines(), kept);
    EXPECT_EQ(textsOf(decodeStoreLines(readAll(storePath))), kept);
    EXPECT_TRUE(mine.endsWith("|声音及附加动作||打开开心农场")); // it fired too
    EXPECT_EQ(messages.filter("被其他程序修改").size(), 1);
}

TEST_F(StoreWindowTest, AlarmsThatExpiredMeanwhileAreListedOnceAfterStartUp) {
    writeStore({"2026-12-08 07:00:00|声音提醒||", "2026-12-08 07:30:00|文本框提醒|起床|",
                "2026-12-08 06:00:00|附加动作||电脑关机", "2026-12-09 07:00:00|声音提醒||"});
    start();
    EXPECT_TRUE(messages.isEmpty()); // after start-up, not in the middle of it
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.front(), "以下闹钟在软件未运行时已过期：\n"
                                "2026-12-08 07:00:00  声音提醒\n"
                                "2026-12-08 07:30:00  文本框提醒  起床");
    EXPECT_EQ(listLines(), QStringList{"2026-12-09 07:00:00|声音提醒||"});
}

TEST_F(StoreWindowTest, NoNoticeWhenNothingExpired) {
    writeStore({"2026-12-09 07:00:00|声音提醒||"});
    start();
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(StoreWindowTest, ARefusedShutdownKeepsTheProgramRunningAndSaysSo) {
    actions.setResult(ActionKind::ShutDownComputer, false);
    writeStore({"2026-12-08 10:05:00|附加动作||电脑关机", "2026-12-09 09:00:00|声音提醒||"});
    bool ended = false;
    window = std::make_unique<FrmMain>(context());
    QObject::connect(window.get(), &FrmMain::exitFinished, [&] { ended = true; });
    window->formLoad();
    EXPECT_FALSE(ended);
    EXPECT_FALSE(window->endedAtOnce());
    EXPECT_EQ(readAll(storePath), QByteArray("2026-12-09 09:00:00|声音提醒||\r\n"));
    EXPECT_EQ(messages, QStringList{AlarmCheck::ShutdownRefusedMessage});
}

} // namespace
} // namespace tikko
