// SPDX-License-Identifier: MIT
// The stopwatch and calendar windows as the main window opens them: their places, the
// calendar control loaded at run time, and alarms that go on firing meanwhile.
#include "main_window_fixture.h"
#include "tikko/shell/secondary_windows.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace tikko {
namespace {

TEST(Placement, BesideTheMainWindowAndBackInsideTheScreenAtItsEdges) {
    const QRect screen(0, 0, 1024, 738); // a panel below
    const QRect main(100, 100, 562, 420);
    const QPoint stopwatch(twips(3750), twips(950));
    const QPoint calendar(twips(-100), twips(450));
    EXPECT_EQ(stopwatch, QPoint(250, 63));
    EXPECT_EQ(calendar, QPoint(-7, 30));
    EXPECT_EQ(placeBeside(main, stopwatch, {266, 310}, screen), QPoint(350, 163));
    EXPECT_EQ(placeBeside(main, calendar, {574, 380}, screen), QPoint(93, 130));
    // At the right and bottom edges the window moves back in; at the left edge too.
    EXPECT_EQ(placeBeside(QRect(900, 600, 562, 420), stopwatch, {266, 310}, screen),
              QPoint(758, 428));
    EXPECT_EQ(placeBeside(QRect(0, 0, 562, 420), calendar, {574, 380}, screen), QPoint(0, 30));
    // Larger than the area: the caption stays reachable.
    EXPECT_EQ(placeBeside(main, calendar, {2000, 2000}, screen), QPoint(0, 0));
    // A second screen to the right has its own edges.
    EXPECT_EQ(
        placeBeside(QRect(1900, 50, 562, 420), stopwatch, {266, 310}, QRect(1024, 0, 1280, 1024)),
        QPoint(2038, 113));
}

class SecondaryWindowsTest : public MainWindowTest {
protected:
    void SetUp() override {
        start();
        window->setCalendarFolders({"/nonexistent-first", QStringLiteral(KALENDO_LIBRARY_DIR)});
        window->move(120, 140);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QPoint offsetOf(const QDialog& dialog) const {
        return dialog.frameGeometry().topLeft() - window->frameGeometry().topLeft();
    }
};

TEST_F(SecondaryWindowsTest, TheStopwatchOpensModalBesideTheMainWindow) {
    bool opened = false;
    onModal = [&](QDialog& dialog) {
        opened = true;
        EXPECT_EQ(dialog.objectName(), "frmMB");
        EXPECT_EQ(dialog.windowModality(), Qt::WindowModal);
        EXPECT_EQ(offsetOf(dialog), QPoint(twips(3750), twips(950)));
    };
    child<QPushButton>("cmdMB")->click();
    EXPECT_TRUE(opened);
}

TEST_F(SecondaryWindowsTest, TheCalendarShowsTheControlAtTheCurrentMonth) {
    bool opened = false;
    onModal = [&](QDialog& dialog) {
        opened = true;
        EXPECT_EQ(dialog.objectName(), "frmRL");
        EXPECT_EQ(dialog.windowTitle(), " Kalendo");
        EXPECT_EQ(dialog.size(), QSize(572, 356));
        EXPECT_EQ(offsetOf(dialog), QPoint(twips(-100), twips(450)));
        QWidget* control = dialog.findChild<QWidget*>("Kalendo1");
        ASSERT_TRUE(control);
        EXPECT_EQ(control->geometry(), QRect(2, 5, 568, 344));
        auto* month = control->findChild<QComboBox*>(QStringLiteral("阳历月份"));
        auto* year = control->findChild<QComboBox*>(QStringLiteral("阳历年份"));
        ASSERT_TRUE(month && year);
        EXPECT_EQ(year->currentText().toInt(), QDate::currentDate().year());
        EXPECT_EQ(month->currentText().toInt(), QDate::currentDate().month());
    };
    child<QPushButton>("cmdRL")->click();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(messages.isEmpty());
    // Opened again, it is a new control with its initial look.
    opened = false;
    child<QPushButton>("cmdRL")->click();
    EXPECT_TRUE(opened);
}

TEST_F(SecondaryWindowsTest, WithoutTheControlLibraryTheButtonSaysWhereItLooked) {
    QTemporaryDir empty;
    window->setCalendarFolders({empty.path(), "/usr/lib/nowhere"});
    bool opened = false;
    onModal = [&](QDialog&) {
        opened = true;
    };
    child<QPushButton>("cmdRL")->click();
    EXPECT_FALSE(opened);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains(KalendoLibrary::FileName));
    EXPECT_TRUE(messages.front().contains(empty.path()));
    EXPECT_TRUE(messages.front().contains("/usr/lib/nowhere"));
    EXPECT_FALSE(messages.front().contains('\n'));
    // The main window goes on as before.
    writeStore({});
    child<QPushButton>("cmdAdd")->click();
    EXPECT_EQ(window->alarms().count(), 1);
}

TEST_F(SecondaryWindowsTest, TheCalendarMarksTheAlarmsDaysAndADoubleClickFillsTheEditor) {
    window->alarms().append(
        {Alarm(StoreLine{"2026-12-09 07:28:00|声音提醒|||重复:工作日 07:30 提前2分钟", {}}),
         Alarm(StoreLine{"2027-01-01 10:00:00|文本框提醒|元旦|", {}})});
    child<QComboBox>("cJS")->setEditText("2026-12-08 10:07:20");
    QList<QDate> december, january;
    onModal = [&](QDialog& dialog) {
        QWidget* control = dialog.findChild<QWidget*>("Kalendo1");
        ASSERT_TRUE(control);
        const auto marked = [control](int year, int month) {
            // As the control says when the user turns to a month.
            QMetaObject::invokeMethod(control, "currentPageChanged", Q_ARG(int, year),
                                      Q_ARG(int, month));
            QList<QDate> days;
            QMetaObject::invokeMethod(control, "markedDays", Q_RETURN_ARG(QList<QDate>, days));
            return days;
        };
        december = marked(2026, 12);
        january = marked(2027, 1);
        QTimer::singleShot(0, &dialog, [control] {
            QMetaObject::invokeMethod(control, "activated", Q_ARG(QDate, QDate(2027, 1, 20)));
        });
        dialog.exec();
    };
    child<QPushButton>("cmdRL")->click();
    ASSERT_EQ(december.size(), 17); // the workdays from the 9th
    EXPECT_EQ(december.front(), QDate(2026, 12, 9));
    EXPECT_FALSE(december.contains(QDate(2026, 12, 12)));
    EXPECT_TRUE(january.contains(QDate(2027, 1, 1))); // a holiday, and a one-shot alarm
    EXPECT_EQ(child<QComboBox>("cJS")->currentText(), "2027-01-20 10:07:20");
}

TEST_F(SecondaryWindowsTest, AnAlarmFiresAndShowsItsWindowWhileTheCalendarIsOpen) {
    window->alarms().append(Alarm(StoreLine{"2026-12-08 10:06:00|文本框提醒|开会了|", {}}));
    const auto whileOpen = [this] {
        clock.set(at("2026-12-08 10:06:00"));
        tick("Timer1");
        ASSERT_TRUE(window->notification().isLoaded());
        FrmAlarm* reminder = window->notification().window();
        EXPECT_TRUE(reminder->isVisible());
        // A window of its own, so the calendar's modality does not reach it.
        EXPECT_EQ(reminder->parentWidget(), nullptr);
        EXPECT_TRUE(reminder->windowFlags() & Qt::WindowStaysOnTopHint);
    };
    // The real modal loop this time: the main window's timers go on inside it. It is closed
    // whatever the checks find, so that a failed one ends the test instead of the loop
    // waiting for ever.
    onModal = [&](QDialog& dialog) {
        QTimer::singleShot(0, &dialog, [&] {
            whileOpen();
            dialog.reject();
        });
        dialog.exec();
    };
    child<QPushButton>("cmdRL")->click();
    const Reminder shown{at("2026-12-08 10:06:00"), "开会了",
                         "2026-12-08 10:06:00|文本框提醒|开会了|"};
    EXPECT_EQ(window->notification().window()->reminders(), QList<Reminder>{shown});
    EXPECT_EQ(window->alarms().count(), 0);
}

} // namespace
} // namespace tikko
