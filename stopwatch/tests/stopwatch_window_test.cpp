// SPDX-License-Identifier: MIT
#include "print_qstring.h"
#include "support/fake_clock.h"
#include "tikko/stopwatch/stopwatch_window.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tikko {
namespace {

using testing::at;
using testing::FakeClock;
using testing::FakeMonotonicClock;

class StopwatchWindowTest : public ::testing::Test {
protected:
    FakeClock wall{at("2026-12-08 10:05:20")};
    FakeMonotonicClock clock;
    FrmMB window{wall, clock};
    int menusShown = 0;

    void SetUp() override {
        window.setMenuPopUp([this](QMenu& menu, const QPoint&) {
            EXPECT_EQ(menu.objectName(), "mMenu");
            ++menusShown;
        });
    }

    template <typename T> T* child(const char* name) const {
        T* object = window.findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(object) << name;
        return object;
    }
    QPushButton* start() const { return child<QPushButton>("cmdStart"); }
    QPushButton* pause() const { return child<QPushButton>("cmdPause"); }
    QPushButton* record() const { return child<QPushButton>("cmdStop"); }
    QLabel* display() const { return child<QLabel>("lblTime"); }
    QListWidget* list() const { return child<QListWidget>("List1"); }
    QTimer* timer() const { return child<QTimer>("Timer1"); }
    QAction* action(const char* name) const { return child<QAction>(name); }

    // What the display timer does on each tick, without waiting for it.
    void tick() { QMetaObject::invokeMethod(&window, "on_Timer1_timeout", Qt::DirectConnection); }
    void run(qint64 ms) {
        clock.advanceMs(ms);
        tick();
    }
    QStringList lines() const {
        QStringList result;
        for (int row = 0; row < list()->count(); ++row)
            result.append(list()->item(row)->text());
        return result;
    }
    void expectLook(const char* startText, const char* pauseText, bool pauseOn, bool recordOn,
                    bool timerOn) {
        EXPECT_EQ(start()->text(), QString::fromUtf8(startText));
        EXPECT_TRUE(start()->isEnabled());
        EXPECT_EQ(pause()->text(), QString::fromUtf8(pauseText));
        EXPECT_EQ(pause()->isEnabled(), pauseOn);
        EXPECT_EQ(record()->text(), "记录");
        EXPECT_EQ(record()->isEnabled(), recordOn);
        EXPECT_EQ(timer()->isActive(), timerOn);
    }
    // Lets a queued menu request run.
    void settle() { QCoreApplication::processEvents(); }
};

TEST_F(StopwatchWindowTest, FormHasTheDesignedControlsAndGeometry) {
    EXPECT_EQ(window.objectName(), "frmMB");
    EXPECT_EQ(window.windowTitle(), "计时器");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window.size(), QSize(264, 284)); // 3960 x 4260 twips
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    EXPECT_EQ(start()->geometry(), QRect(5, 7, 75, 39));
    EXPECT_EQ(pause()->geometry(), QRect(92, 7, 75, 39));
    EXPECT_EQ(record()->geometry(), QRect(180, 7, 75, 39));
    EXPECT_EQ(display()->geometry(), QRect(5, 52, 250, 48));
    EXPECT_EQ(list()->geometry(), QRect(5, 105, 250, 172));
    for (QPushButton* button : {start(), pause(), record()})
        EXPECT_FALSE(button->autoDefault()) << "Enter must not start or stop the count";

    EXPECT_EQ(display()->text(), "00:00:00.0");
    EXPECT_EQ(display()->font().pointSize(), 36);
    EXPECT_TRUE(display()->font().bold());
    EXPECT_EQ(display()->font().families().value(0), "宋体");
    EXPECT_GT(display()->font().families().size(), 1) << "a CJK face where 宋体 is missing";
    EXPECT_EQ(timer()->interval(), 100);
    EXPECT_EQ(list()->count(), 0);

    auto* menu = child<QMenu>("mMenu");
    ASSERT_TRUE(menu);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0], action("mClear"));
    EXPECT_EQ(items[0]->text(), "清除记录");
    EXPECT_EQ(items[1], action("mLine1"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2], action("mCopy"));
    EXPECT_EQ(items[2]->text(), "复制记录");
    EXPECT_EQ(items[3], action("mCopyAll"));
    EXPECT_EQ(items[3]->text(), "全部复制");
}

TEST_F(StopwatchWindowTest, ButtonsFollowEveryTransition) {
    expectLook("开始", "暂停", false, false, false);
    start()->click();
    expectLook("停止", "暂停", true, true, true);
    pause()->click();
    expectLook("停止", "继续", true, true, false);
    pause()->click();
    expectLook("停止", "暂停", true, true, true);
    record()->click();
    expectLook("停止", "暂停", true, true, true);
    start()->click();
    expectLook("开始", "暂停", false, false, false);
    start()->click();
    pause()->click();
    start()->click(); // stop while paused
    expectLook("开始", "暂停", false, false, false);
    EXPECT_EQ(list()->count(), 3);
}

TEST_F(StopwatchWindowTest, StartOneSecondStopRecordsAndResetsTheDisplay) {
    start()->click();
    for (int i = 0; i < 10; ++i)
        run(100);
    EXPECT_EQ(display()->text(), "00:00:01.0");
    start()->click();
    ASSERT_EQ(list()->count(), 1);
    EXPECT_TRUE(lines()[0].startsWith("00:00:01.0  |  "));
    EXPECT_EQ(lines()[0], "00:00:01.0  |  2026-12-08 10:05:20记录");
    EXPECT_EQ(display()->text(), "00:00:00.0");
}

TEST_F(StopwatchWindowTest, PauseStopStartAgainCountsFromZero) {
    start()->click();
    run(700);
    pause()->click();
    start()->click();
    start()->click();
    EXPECT_EQ(pause()->text(), "暂停");
    EXPECT_EQ(display()->text(), "00:00:00.0");
    run(200);
    EXPECT_EQ(display()->text(), "00:00:00.2");
}

TEST_F(StopwatchWindowTest, RecordsWhilePausedRepeatTheFrozenTime) {
    start()->click();
    run(1250);
    pause()->click();
    EXPECT_EQ(display()->text(), "00:00:01.2");
    clock.advanceMs(30'000);
    record()->click();
    clock.advanceMs(30'000);
    record()->click();
    ASSERT_EQ(list()->count(), 2);
    EXPECT_TRUE(lines()[0].startsWith("00:00:01.2  |  "));
    EXPECT_TRUE(lines()[1].startsWith("00:00:01.2  |  "));
}

// The count used to add one tenth per tick however late the tick came, so a busy machine
// made the stopwatch fall behind.
TEST_F(StopwatchWindowTest, LateTicksDoNotSlowTheStopwatch) {
    start()->click();
    for (int i = 0; i < 9; ++i)
        run(150);
    run(350); // ten ticks over 1.7 s
    EXPECT_EQ(display()->text(), "00:00:01.7");
    record()->click();
    ASSERT_EQ(list()->count(), 1);
    EXPECT_TRUE(lines()[0].startsWith("00:00:01.7  |  "));
}

TEST_F(StopwatchWindowTest, RecordShowsTheTimeOfTheClickNotOfTheLastTick) {
    start()->click();
    run(1000);
    clock.advanceMs(90);
    record()->click();
    EXPECT_TRUE(lines().value(0).startsWith("00:00:01.0  |  "));
    clock.advanceMs(60);
    record()->click();
    EXPECT_TRUE(lines().value(1).startsWith("00:00:01.1  |  "));
    EXPECT_EQ(display()->text(), "00:00:01.1");
}

TEST_F(StopwatchWindowTest, DisplayCrossesTheHourAndWidensPastNinetyNineHours) {
    start()->click();
    run(59 * 60'000 + 59'900);
    EXPECT_EQ(display()->text(), "00:59:59.9");
    run(100);
    EXPECT_EQ(display()->text(), "01:00:00.0");
    EXPECT_EQ(display()->font().pointSize(), 36);
    run(99LL * 3'600'000);
    EXPECT_EQ(display()->text(), "100:00:00.0");
    EXPECT_LE(display()->fontMetrics().horizontalAdvance(display()->text()), display()->width())
        << "every digit stays visible";
    start()->click();
    EXPECT_EQ(display()->text(), "00:00:00.0");
    EXPECT_EQ(display()->font().pointSize(), 36);
}

class StopwatchRecordsTest : public StopwatchWindowTest {
protected:
    void SetUp() override {
        StopwatchWindowTest::SetUp();
        start()->click();
        run(1000);
        record()->click();
        wall.advanceSeconds(1);
        run(1000);
        start()->click();
        ASSERT_EQ(list()->count(), 2);
        settle();
        ASSERT_EQ(menusShown, 0) << "adding records selects nothing";
        QGuiApplication::clipboard()->setText("before");
    }
    QString clipboard() const { return QGuiApplication::clipboard()->text(); }
};

TEST_F(StopwatchRecordsTest, CopyAllPutsEveryLineAfterALineBreak) {
    action("mCopyAll")->trigger();
    EXPECT_EQ(clipboard(), "\r\n00:00:01.0  |  2026-12-08 10:05:20记录"
                           "\r\n00:00:02.0  |  2026-12-08 10:05:21记录");
}

TEST_F(StopwatchRecordsTest, CopyPutsTheSelectedLineWithoutALineBreak) {
    action("mCopy")->trigger();
    EXPECT_EQ(clipboard(), "before") << "nothing selected, nothing copied";
    list()->setCurrentRow(1);
    action("mCopy")->trigger();
    EXPECT_EQ(clipboard(), "00:00:02.0  |  2026-12-08 10:05:21记录");
}

TEST_F(StopwatchRecordsTest, CtrlCCopiesTheSelectedRecord) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    list()->setFocus();
    list()->setCurrentRow(0);
    QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), "00:00:01.0  |  2026-12-08 10:05:20记录");

    // Still the selected record after the focus went to a button.
    list()->setCurrentRow(1);
    start()->setFocus();
    QTest::keyClick(start(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), "00:00:02.0  |  2026-12-08 10:05:21记录");
}

TEST_F(StopwatchRecordsTest, ClearEmptiesTheListAndCopiesThenDoNothing) {
    list()->setCurrentRow(0);
    action("mClear")->trigger();
    EXPECT_EQ(list()->count(), 0);
    action("mCopy")->trigger();
    action("mCopyAll")->trigger();
    EXPECT_EQ(clipboard(), "before");
}

TEST_F(StopwatchRecordsTest, MenuPopsUpOnceForEachSelectionChange) {
    list()->setCurrentRow(0); // a click on a line
    settle();
    EXPECT_EQ(menusShown, 1);
    QTest::keyClick(list(), Qt::Key_Down);
    settle();
    EXPECT_EQ(menusShown, 2);
    QTest::keyClick(list(), Qt::Key_Down); // already on the last line
    settle();
    EXPECT_EQ(menusShown, 2);
    action("mClear")->trigger();
    settle();
    EXPECT_EQ(menusShown, 2) << "emptying the list opens no menu";
}

TEST_F(StopwatchRecordsTest, RightClickOnARecordOpensTheMenuOnce) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWidget* area = list()->viewport();
    const QPoint second = list()->visualItemRect(list()->item(1)).center();
    QTest::mouseClick(area, Qt::RightButton, {}, second);
    // The press both changes the selection and asks for a context menu.
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, second, area->mapToGlobal(second));
    QCoreApplication::sendEvent(area, &menuEvent);
    settle();
    EXPECT_EQ(menusShown, 1);
    QCoreApplication::sendEvent(area, &menuEvent); // again on the selected line
    settle();
    EXPECT_EQ(menusShown, 2);

    const QPoint below(second.x(), area->height() - 2);
    ASSERT_EQ(list()->itemAt(below), nullptr);
    QContextMenuEvent emptyEvent(QContextMenuEvent::Mouse, below, area->mapToGlobal(below));
    QCoreApplication::sendEvent(area, &emptyEvent);
    settle();
    EXPECT_EQ(menusShown, 2) << "no menu below the records";
}

TEST_F(StopwatchWindowTest, EmptyListNeverShowsTheMenu) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWidget* area = list()->viewport();
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::keyClick(list(), Qt::Key_Down);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(20, 10),
                                area->mapToGlobal(QPoint(20, 10)));
    QCoreApplication::sendEvent(area, &menuEvent);
    settle();
    EXPECT_EQ(menusShown, 0);
}

} // namespace
} // namespace tikko
