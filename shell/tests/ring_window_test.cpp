// SPDX-License-Identifier: MIT
// The ring, putting an alarm off, the tray's menu and the question before closing, through the
// real window with a fake clock and recording actions.
#include "main_window_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace tikko {
namespace {

class RingWindowTest : public MainWindowTest {
protected:
    size_t stops() const { return actions.callsOf(ActionKind::StopAlarmSound).size(); }
    QAction* trayItem(const char* name) const {
        return window->trayMenu()->findChild<QAction*>(QLatin1String(name));
    }
    void fireAt(const char* time) {
        clock.set(at(time));
        tick("Timer1");
    }
};

TEST_F(RingWindowTest, ARingLastsUntilAnsweredAndPuttingItOffBringsItBack) {
    writeStore({"2026-12-08 10:06:00|声音及文本提醒|起床||重复:每天 10:08 提前2分钟"});
    start();
    fireAt("2026-12-08 10:06:00");
    // Rings on until answered, five minutes at most.
    EXPECT_EQ(actions.lastPlayback(), Playback::UntilStopped);
    EXPECT_TRUE(window->isRinging());
    FrmAlarm* reminder = window->notification().window();
    ASSERT_TRUE(reminder);
    // "稍后提醒" after ten minutes: the ring stops at once, the window goes, a one-shot alarm
    // of the same kind comes, and the repeat moved on to tomorrow.
    reminder->findChild<QToolButton*>("cmdSnooze")
        ->menu()
        ->findChild<QAction*>("snooze10")
        ->trigger();
    EXPECT_EQ(stops(), 1u);
    EXPECT_FALSE(window->isRinging());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->notification().isLoaded());
    EXPECT_EQ(listLines(),
              (QStringList{"2026-12-09 10:06:00|声音及文本提醒|起床||重复:每天 10:08 提前2分钟",
                           "2026-12-08 10:16:00|声音及文本提醒|起床|"}));
    fireAt("2026-12-08 10:16:00");
    EXPECT_EQ(window->notification().window()->reminderTexts(), QStringList{"起床"});
    // "我知道了" stops the ring at once; the choice of ten minutes is kept for next time.
    QTest::mouseClick(window->notification().window()->findChild<QPushButton*>("Command2"),
                      Qt::LeftButton);
    EXPECT_EQ(stops(), 2u);
    window->formUnload();
    EXPECT_EQ(settings.value("option/Snooze").toString(), "10");
}

TEST_F(RingWindowTest, ASoundAlarmWithoutAWindowFlashesTheIconWhoseClickOrMenuAnswersIt) {
    writeStore({"2026-12-08 10:06:00|声音提醒||", "2026-12-08 10:07:00|声音提醒||"});
    start();
    fireAt("2026-12-08 10:06:00");
    EXPECT_TRUE(window->trayIcon().isFlashing());
    EXPECT_TRUE(trayItem("mTrayStop")->isVisible());
    emit window->trayIcon().leftClicked(); // stops the ring rather than open the window
    EXPECT_EQ(stops(), 1u);
    EXPECT_FALSE(window->trayIcon().isFlashing());
    EXPECT_FALSE(window->isVisible());
    // Put off from the menu, with the last choice.
    trayItem("mTraySnooze")->trigger();
    EXPECT_EQ(listLines().last(), "2026-12-08 10:11:00|声音提醒||");
    // Without the option, a sound plays once, and the menu stops a ring too.
    child<QCheckBox>("ckRing")->setChecked(false);
    fireAt("2026-12-08 10:07:00");
    EXPECT_EQ(actions.lastPlayback(), Playback::Once);
    trayItem("mTrayStop")->trigger();
    EXPECT_EQ(stops(), 2u);
}

TEST_F(RingWindowTest, ClosingWithAlarmsPendingAsksAndCanKeepThemUnlessToldNotTo) {
    writeStore({"2026-12-09 07:00:00|声音提醒||", "某天|声音提醒||"});
    start();
    window->show();
    ui.onClose = [](const QString&) {
        return std::pair{UserInterface::CloseAnswer::Minimise, false};
    };
    // The window's ×.
    window->close();
    ASSERT_FALSE(ui.questions.isEmpty());
    EXPECT_EQ(ui.questions.last(), "还有 1 个闹钟未响，退出后它们不会响铃。");
    EXPECT_TRUE(window->exitSteps().ran().isEmpty());
    EXPECT_TRUE(window->isMinimized());
    // "不再询问" and 退出: the program ends, and is not asked again.
    ui.onClose = [](const QString&) {
        return std::pair{UserInterface::CloseAnswer::Quit, true};
    };
    window->showNormal();
    window->close();
    EXPECT_FALSE(window->exitSteps().ran().isEmpty());
    EXPECT_EQ(settings.value("option/AskOnClose").toString(), "0");
    // A close the program is told to do (a request to end) never asks.
    settings.setValue("option/AskOnClose", "1");
    const auto asked = ui.questions.size();
    start();
    window->closeAsTold();
    EXPECT_EQ(ui.questions.size(), asked);
    EXPECT_FALSE(window->exitSteps().ran().isEmpty());
}

TEST_F(RingWindowTest, TheListsMenuExportsTheAlarmsToACalendarFile) {
    writeStore({"2026-12-09 07:00:00|声音提醒|||重复:工作日 07:00"});
    start();
    ui.savePath = data.filePath("alarms.ics");
    window->listMenu()->findChild<QAction*>("mExport")->trigger();
    EXPECT_TRUE(readAll(ui.savePath).contains("RRULE:FREQ=WEEKLY"));
    EXPECT_TRUE(messages.last().startsWith("已把 1 个闹钟导出到"));
}

} // namespace
} // namespace tikko
