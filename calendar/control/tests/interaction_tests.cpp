// SPDX-License-Identifier: MIT
// What a host hears and the user gets: clicks on whole cells, the signals, the lists' keys,
// the focus, the marked days and a control that grows.
#include "support.h"

#include <QApplication>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// The middle of cell i's lunar line, in the control's coordinates.
QPoint captionPoint(const Kalendo& k, int cell) {
    const QWidget* caption = element(k, "Label2", cell);
    return caption->geometry().center();
}

TEST(Interaction, AClickAnywhereOnACellSelectsItAndSaysWhichDay) {
    auto k = makeControl(QDate(2008, 4, 23));
    QSignalSpy clicked(k.get(), &Kalendo::clicked);
    QSignalSpy selection(k.get(), &Kalendo::selectionChanged);
    QSignalSpy page(k.get(), &Kalendo::currentPageChanged);

    // The lunar line under day 10 (cell 11), which used to ignore the mouse.
    QTest::mouseClick(element(*k, "Label2", 11), Qt::LeftButton);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toDate(), QDate(2008, 4, 10));
    EXPECT_EQ(selection.count(), 1);
    EXPECT_EQ(k->selectedDay(), QDate(2008, 4, 10));
    EXPECT_TRUE(flag(*k, "阳历日", 11, "border"));

    // The blank room at the cell's left edge, beside its number.
    const QRect number = element(*k, "阳历日", 12)->geometry();
    QTest::mouseClick(k.get(), Qt::LeftButton, {}, QPoint(number.left() - 10, number.center().y()));
    ASSERT_EQ(clicked.count(), 2);
    EXPECT_EQ(clicked.at(1).at(0).toDate(), QDate(2008, 4, 11));
    EXPECT_EQ(selection.count(), 2);

    // The same day again changes no selection; the right button selects without a click.
    QTest::mouseClick(element(*k, "阳历日", 12), Qt::LeftButton);
    EXPECT_EQ(selection.count(), 2);
    QTest::mouseClick(element(*k, "Label2", 13), Qt::RightButton);
    EXPECT_EQ(clicked.count(), 3);
    EXPECT_EQ(k->selectedDay(), QDate(2008, 4, 12));

    // An empty cell, and a press that ends on another cell, are no click.
    QTest::mouseClick(element(*k, "Label2", 0), Qt::LeftButton);
    QTest::mousePress(k.get(), Qt::LeftButton, {}, captionPoint(*k, 20));
    QTest::mouseRelease(k.get(), Qt::LeftButton, {}, captionPoint(*k, 21));
    EXPECT_EQ(clicked.count(), 3);

    QSignalSpy activated(k.get(), &Kalendo::activated);
    QTest::mouseDClick(element(*k, "Label2", 24), Qt::LeftButton);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(0).toDate(), QDate(2008, 4, 23));
    EXPECT_EQ(page.count(), 0); // nothing moved to another month
}

TEST(Interaction, AnotherMonthIsAnnouncedOnceAndClearsTheSelection) {
    auto k = makeControl(QDate(2008, 4, 23));
    EXPECT_EQ(k->shownYear(), 2008);
    EXPECT_EQ(k->shownMonth(), 4);
    QTest::mouseClick(element(*k, "阳历日", 11), Qt::LeftButton);
    QSignalSpy page(k.get(), &Kalendo::currentPageChanged);
    QSignalSpy selection(k.get(), &Kalendo::selectionChanged);
    click(*k, "下月");
    ASSERT_EQ(page.count(), 1);
    EXPECT_EQ(page.at(0).at(0).toInt(), 2008);
    EXPECT_EQ(page.at(0).at(1).toInt(), 5);
    EXPECT_EQ(k->shownMonth(), 5);
    EXPECT_EQ(selection.count(), 1);
    EXPECT_FALSE(k->selectedDay().isValid());
    // December to January fills twice; the host hears of the month it sees.
    ASSERT_TRUE(k->fillMonth(2008, 12));
    page.clear();
    click(*k, "下月");
    ASSERT_EQ(page.count(), 1);
    EXPECT_EQ(page.at(0).at(0).toInt(), 2009);
    EXPECT_EQ(page.at(0).at(1).toInt(), 1);
}

TEST(Interaction, OneKeyOrWheelStepMovesOneFromTheShownYearOrMonth) {
    auto k = makeControl(QDate(2026, 4, 23));
    QComboBox* years = list(*k, "阳历年份");
    QTest::keyClick(years, Qt::Key_Down);
    EXPECT_EQ(k->shownYear(), 2027);
    QTest::keyClick(years, Qt::Key_Up);
    QTest::keyClick(years, Qt::Key_Up);
    EXPECT_EQ(k->shownYear(), 2025);

    QComboBox* months = list(*k, "阳历月份");
    QWheelEvent down(QPointF(5, 5), months->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(months, &down);
    EXPECT_EQ(k->shownMonth(), 5);
    EXPECT_EQ(k->shownYear(), 2025);
    click(*k, "下月"); // the buttons move the lists' entries too
    QTest::keyClick(months, Qt::Key_Down);
    EXPECT_EQ(k->shownMonth(), 7);
}

TEST(Interaction, TheYearBoxTakesNoFocusWhenTheControlOpens) {
    auto k = makeControl();
    k->show();
    k->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(k.get()));
    EXPECT_NE(QApplication::focusWidget(), list(*k, "阳历年份"));
    EXPECT_EQ(QApplication::focusWidget(), k.get());
}

TEST(Interaction, MarkedDaysCarryADotInWhicheverMonthHoldsThem) {
    auto k = makeControl(QDate(2008, 4, 23));
    k->setMarkedDays({QDate(2008, 4, 10), QDate(2008, 5, 1), QDate(2008, 4, 10), QDate()});
    EXPECT_EQ(k->markedDays(), (QList<QDate>{QDate(2008, 4, 10), QDate(2008, 5, 1)}));
    auto marked = [&](int cell) {
        return !element(*k, "标记", cell)->isHidden();
    };
    for (int i = 0; i < 39; ++i)
        EXPECT_EQ(marked(i), i == 11) << i;
    click(*k, "下月");
    for (int i = 0; i < 39; ++i)
        EXPECT_EQ(marked(i), i == 4) << i; // 1 May 2008, a Thursday
    // The dot is drawn beside the number, in the number's colour.
    const QRect cell =
        element(*k, "阳历日", 4)->geometry().united(element(*k, "标记", 4)->geometry());
    const QImage with = k->grab(cell).toImage();
    k->setMarkedDays({});
    EXPECT_FALSE(marked(4));
    EXPECT_NE(k->grab(cell).toImage(), with);
}

TEST(Interaction, AScalableControlGrowsItsCellsAndTextsAndStillHitsTheRightDay) {
    auto k = makeControl(QDate(2008, 4, 23));
    k->show(); // a hidden widget hears of its new size only when shown
    k->resize(1136, 688);
    EXPECT_EQ(k->size(), QSize(568, 344)); // the classic size by default
    const QRect day = element(*k, "阳历日", 11)->geometry();
    const int pixels = element(*k, "阳历日", 11)->font().pixelSize();

    QSignalSpy changed(k.get(), &Kalendo::scalableChanged);
    k->setScalable(true);
    EXPECT_EQ(changed.count(), 1);
    k->resize(1136, 688);
    EXPECT_EQ(k->size(), QSize(1136, 688));
    const QRect big = element(*k, "阳历日", 11)->geometry();
    EXPECT_NEAR(big.left(), 2 * day.left(), 1);
    EXPECT_NEAR(big.width(), 2 * day.width(), 1);
    EXPECT_EQ(element(*k, "阳历日", 11)->font().pixelSize(), 2 * pixels);
    // The proportions hold: the smaller of the two factors rules.
    k->resize(1136, 400);
    EXPECT_NEAR(element(*k, "阳历日", 11)->geometry().width(), day.width() * 400 / 344, 1);

    k->resize(1136, 688);
    QSignalSpy clicked(k.get(), &Kalendo::clicked);
    QTest::mouseClick(k.get(), Qt::LeftButton, {}, captionPoint(*k, 11));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toDate(), QDate(2008, 4, 10));

    k->setScalable(false);
    EXPECT_EQ(k->size(), QSize(568, 344));
    EXPECT_EQ(element(*k, "阳历日", 11)->geometry(), day);
}

} // namespace
