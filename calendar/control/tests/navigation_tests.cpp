// SPDX-License-Identifier: MIT
// Navigation, selection and the date properties.
#include "support.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

void show(Kalendo& k, int year, int month) {
    choose(k, "阳历月份", QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
    choose(k, "阳历年份", QString::number(year));
}

QString shown(const Kalendo& k) {
    return text(k, "阳历年份") + "-" + text(k, "阳历月份");
}

TEST(Navigation, MonthsRollOverTheYear) {
    auto k = makeControl();
    show(*k, 2008, 12);
    click(*k, "下月");
    EXPECT_EQ(shown(*k), "2009-1");
    EXPECT_EQ(dayTexts(*k)[4], "1"); // 1 January 2009 is a Thursday
    click(*k, "上月");
    EXPECT_EQ(shown(*k), "2008-12");
    EXPECT_EQ(dayTexts(*k)[1], "1");
    show(*k, 2008, 1);
    click(*k, "上月");
    EXPECT_EQ(shown(*k), "2007-12");
}

TEST(Navigation, TheFirstYears) {
    auto k = makeControl();
    show(*k, 1903, 1);
    click(*k, "上年");
    EXPECT_EQ(shown(*k), "1902-01");
    EXPECT_FALSE(enabled(*k, "上年"));
    click(*k, "上年"); // disabled: ignored
    EXPECT_EQ(shown(*k), "1902-01");
    click(*k, "上月");
    EXPECT_EQ(shown(*k), "1902-01");
    EXPECT_FALSE(enabled(*k, "上月"));
    // The next year enables both again; 1901 is reachable through the list.
    click(*k, "下年");
    EXPECT_TRUE(enabled(*k, "上年"));
    EXPECT_TRUE(enabled(*k, "上月"));
    show(*k, 1901, 3);
    EXPECT_FALSE(enabled(*k, "上年"));
    EXPECT_EQ(dayTexts(*k)[5], "1");
}

TEST(Navigation, DayPresses) {
    auto k = makeControl(QDate(2008, 4, 23));
    const QStringList captions = [&] {
        QStringList c;
        for (int i = 0; i < 39; ++i)
            c << text(*k, "Label2", i);
        return c;
    }();
    // 1 May would be lunar 2008-03-26; 10 April is lunar 03-05, 牡羊座.
    QTest::mousePress(element(*k, "阳历日", 11), Qt::RightButton);
    EXPECT_TRUE(flag(*k, "阳历日", 11, "border"));
    EXPECT_EQ(text(*k, "星座C"), "牡羊座");
    QTest::mousePress(element(*k, "阳历日", 4), Qt::LeftButton);
    EXPECT_FALSE(flag(*k, "阳历日", 11, "border"));
    EXPECT_TRUE(flag(*k, "阳历日", 4, "border"));
    // The middle button and empty cells change nothing.
    QTest::mousePress(element(*k, "阳历日", 20), Qt::MiddleButton);
    QTest::mousePress(element(*k, "阳历日", 36), Qt::LeftButton);
    EXPECT_TRUE(flag(*k, "阳历日", 4, "border"));
    EXPECT_FALSE(flag(*k, "阳历日", 20, "border"));
    EXPECT_FALSE(flag(*k, "阳历日", 36, "border"));
    // A press leaves the grid as it is.
    for (int i = 0; i < 39; ++i)
        EXPECT_EQ(text(*k, "Label2", i), captions[i]) << i;
    EXPECT_TRUE(flag(*k, "阳历日", 24, "opaque"));
    // The next fill removes the selection.
    click(*k, "下月");
    for (int i = 0; i < 39; ++i)
        EXPECT_FALSE(flag(*k, "阳历日", i, "border")) << i;
}

TEST(Navigation, LunarChoices) {
    auto k = makeControl(QDate(2008, 4, 23));
    // Lunar 2009, third month, day 23 (today's day number) is 18 April 2009.
    choose(*k, "农历年份", "2009");
    EXPECT_EQ(shown(*k), "2009-4");
    choose(*k, "农历月份", "01");
    EXPECT_EQ(shown(*k), "2009-2"); // lunar 2009-01-23 is 17 February 2009
    EXPECT_TRUE(k->lastError().ok());
}

// A failed user action shows the month it left, whole, and its error through the dispatch.
TEST(Navigation, AFailedUserActionLeavesTheShownMonthAndTellsTheHost) {
    auto k = makeControl(QDate(2008, 4, 23));
    const QStringList days = dayTexts(*k);
    // A typed year beyond the tables.
    list(*k, "阳历年份")->setEditText("2095");
    click(*k, "下月");
    EXPECT_EQ(k->lastError().errorNumber, 9);
    EXPECT_EQ(k->lastError().source, "下月_Click");
    EXPECT_EQ(k->lastErrorNumber(), 9);
    EXPECT_EQ(dayTexts(*k), days);
    EXPECT_EQ(text(*k, "阳历年份"), "2008");
    EXPECT_TRUE(enabled(*k, "上年"));
    // A text that is no number.
    k->clearLastError();
    list(*k, "阳历年份")->setEditText("2009x");
    choose(*k, "阳历月份", "06");
    EXPECT_EQ(k->lastError().errorNumber, 13);
    EXPECT_EQ(k->lastError().source, "阳历月份_Click");
    EXPECT_EQ(dayTexts(*k), days);
    EXPECT_EQ(text(*k, "阳历年份"), "2008");
    EXPECT_EQ(text(*k, "阳历月份"), "4");
    // Still usable.
    show(*k, 2008, 6);
    EXPECT_EQ(dayTexts(*k)[0], "1");
}

// Enter in a list, or leaving it after typing, applies the typed text.
TEST(Navigation, ATypedTextIsAppliedOnEnterOrWhenLeavingTheList) {
    auto k = makeControl(QDate(2008, 4, 23));
    k->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(k.get()));
    QComboBox* year = list(*k, "阳历年份");
    year->setFocus();
    year->lineEdit()->selectAll();
    QTest::keyClicks(year, "2010");
    EXPECT_EQ(dayTexts(*k)[2], "1"); // typing alone shows nothing new
    QTest::keyClick(year, Qt::Key_Return);
    EXPECT_EQ(text(*k, "阳历年份"), "2010");
    EXPECT_EQ(dayTexts(*k)[4], "1"); // 1 April 2010 is a Thursday

    QComboBox* month = list(*k, "阳历月份");
    month->setFocus();
    month->lineEdit()->selectAll();
    QTest::keyClicks(month, "6");
    year->setFocus();                                                     // leaving the list
    EXPECT_TRUE(QTest::qWaitFor([&] { return dayTexts(*k)[2] == "1"; })); // 1 June 2010
    EXPECT_EQ(text(*k, "阳历月份"), "6");
    EXPECT_TRUE(k->lastError().ok());
}

TEST(Navigation, AListOpensOnTheShownValue) {
    auto k = makeControl(QDate(2008, 4, 23));
    k->show();
    auto opensOn = [&](const char* name) {
        QComboBox* c = list(*k, name);
        const QString before = c->currentText();
        c->showPopup();
        const int entry = c->currentIndex();
        c->hidePopup();
        EXPECT_EQ(c->currentText(), before) << name; // opening keeps the text
        return entry;
    };
    EXPECT_EQ(opensOn("阳历年份"), 2008 - 1901);
    EXPECT_EQ(opensOn("阳历月份"), 3); // the text "4" is the entry "04"
    EXPECT_EQ(text(*k, "阳历月份"), "4");
    EXPECT_EQ(opensOn("农历月份"), 2);
    click(*k, "下月");
    EXPECT_EQ(opensOn("阳历月份"), 4);
    EXPECT_EQ(opensOn("农历月份"), 3);
}

TEST(Navigation, SelectedDayProperties) {
    auto k = makeControl(QDate(2008, 4, 23));
    // Nothing selected: the shown month's first day.
    EXPECT_EQ(k->propertyGet("中阳历").value.toDate(), QDate(2008, 4, 1));
    QTest::mousePress(element(*k, "阳历日", 11), Qt::LeftButton);
    EXPECT_EQ(k->selectedSolarDate(), QDate(2008, 4, 10));
    // 中阴历 is the same day as a lunar date, not the Gregorian one again.
    EXPECT_EQ(k->selectedLunarDate(), (kalendo::LunarDate{2008, 3, 5, false}));
    EXPECT_EQ(k->propertyGet("中阴历").value.toString(), "020080305");

    QSignalSpy spy(k.get(), &Kalendo::propertyChanged);
    ASSERT_TRUE(k->propertyPut("中阳历", QDate(2012, 2, 29)).ok());
    EXPECT_EQ(shown(*k), "2012-2");
    EXPECT_TRUE(flag(*k, "阳历日", 3 + 28, "border")); // 1 February 2012 is a Wednesday
    EXPECT_EQ(k->propertyGet("中阳历").value.toDate(), QDate(2012, 2, 29));
    ASSERT_TRUE(k->propertyPut("中阴历", "2009-6-23").ok()); // a Gregorian date, as ever
    EXPECT_EQ(k->propertyGet("中阴历").value.toString(), "120090501");
    EXPECT_EQ(text(*k, "农历月份"), "05");
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), "中阳历");
    EXPECT_EQ(spy.at(1).at(0).toString(), "中阴历");
    // A lunar date, the leap fifth month's first day of 2009 and back to the ordinary one.
    ASSERT_TRUE(k->setSelectedLunarDate(kalendo::LunarDate{2009, 5, 1, false}));
    EXPECT_EQ(k->selectedSolarDate(), QDate(2009, 5, 24));
    ASSERT_TRUE(k->propertyPut("中阴历", "120090501").ok());
    EXPECT_EQ(k->selectedSolarDate(), QDate(2009, 6, 23));
    EXPECT_EQ(k->propertyPut("中阴历", "120080501").errorNumber, 380); // 2008 has no leap
    EXPECT_EQ(k->selectedSolarDate(), QDate(2009, 6, 23));
    spy.clear();
    // A day the grid cannot show is refused and changes nothing.
    EXPECT_EQ(k->propertyPut("中阳历", QDate(2100, 1, 1)).errorNumber, 380);
    EXPECT_EQ(k->propertyPut("中阳历", "no date").errorNumber, 13);
    EXPECT_EQ(shown(*k), "2009-6");
    EXPECT_EQ(spy.count(), 0);
}

TEST(Navigation, ShowRecordColoursTheTodayCell) {
    auto k = makeControl(QDate(2008, 4, 23));
    ASSERT_TRUE(k->call("显视记录", QVariantList{24}).ok());
    EXPECT_EQ(back(*k, "阳历日", 24), 0x8000000Fu);
    EXPECT_EQ(k->call("显视记录", QVariantList{39}).errorNumber, 340);
    EXPECT_EQ(k->call("显视记录", QVariantList{}).errorNumber, 450);
    ASSERT_TRUE(k->fillMonth(2008, 4));
    EXPECT_EQ(back(*k, "阳历日", 24), 0xFFFF00u);
}

} // namespace
