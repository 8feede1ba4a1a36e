// SPDX-License-Identifier: MIT
// Load and save through the host's property store.
#include "support.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <kalendo/property_store.h>

namespace {

using kalendo::MemoryPropertyStore;

// Every appearance property's value, pictures as images, for comparing two controls.
QVariantMap appearance(const Kalendo& k) {
    QVariantMap values;
    for (const QString& name : Kalendo::propertyNames()) {
        if (name == "中阳历" || name == "中阴历")
            continue;
        const QVariant v = k.propertyGet(name).value;
        values.insert(name, v.metaType().id() == QMetaType::QPixmap
                                ? QVariant(qvariant_cast<QPixmap>(v).toImage().convertToFormat(
                                      QImage::Format_ARGB32))
                                : v);
    }
    return values;
}

void styleEverything(Kalendo& k) {
    quint32 colour = 0x010203;
    for (const QString& name : Kalendo::propertyNames()) {
        if (name.contains("图片") || name == "中阳历" || name == "中阴历")
            continue;
        ASSERT_TRUE(k.propertyPut(name, colour).ok()) << qPrintable(name);
        colour += 0x010101;
    }
    k.setBackgroundPicture(solidPicture(Qt::yellow, QSize(40, 30)));
    k.setButtonPicture(Kalendo::Button::NextMonth, solidPicture(Qt::green));
    k.setButtonPressedPicture(Kalendo::Button::NextMonth, solidPicture(Qt::red));
}

TEST(Persistence, AnEmptyStoreGivesTheInitialLook) {
    auto fresh = makeControl();
    auto loaded = makeControl();
    MemoryPropertyStore store;
    EXPECT_TRUE(loaded->load(store).ok());
    EXPECT_EQ(appearance(*loaded), appearance(*fresh));
    // Each element reads its key on its own.
    EXPECT_EQ(store.readCount("标题阳历颜色"), 3);
    EXPECT_EQ(store.readCount("星期天字体色"), 7);
    EXPECT_EQ(store.readCount("星期六字体色"), 6);
    // And nothing that equals its default is stored.
    MemoryPropertyStore saved;
    EXPECT_TRUE(fresh->save(saved).ok());
    EXPECT_TRUE(saved.values().isEmpty()) << saved.values().keys().join(",").toStdString();
}

TEST(Persistence, RoundTripThroughMemory) {
    auto k = makeControl();
    styleEverything(*k);
    MemoryPropertyStore store;
    ASSERT_TRUE(k->save(store).ok());
    auto other = makeControl();
    QSignalSpy spy(other.get(), &Kalendo::propertyChanged);
    ASSERT_TRUE(other->load(store).ok());
    QVariantMap expected = appearance(*k);
    QVariantMap got = appearance(*other);
    // The load colours 生肖 and 平润年, not 星座C; the weekday bar is saved from 星期(1).
    EXPECT_EQ(fore(*other, "星座C"), 0xFF0000u);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(spy.count(), 0); // a load is no property write
}

TEST(Persistence, ALoadNotifiesTheQtPropertiesItChanged) {
    auto k = makeControl();
    MemoryPropertyStore store;
    store.setValue("星期天字体色", 0x00AA00);
    QSignalSpy sunday(k.get(), &Kalendo::sundayTextColourChanged);
    QSignalSpy saturday(k.get(), &Kalendo::saturdayTextColourChanged);
    ASSERT_TRUE(k->load(store).ok());
    EXPECT_EQ(sunday.count(), 1);
    EXPECT_EQ(saturday.count(), 0);
    EXPECT_EQ(k->property("sundayTextColour").value<QColor>(), QColor(0, 0xAA, 0));
}

TEST(Persistence, PictureKeysOnlyWhenTheirConditionHolds) {
    auto k = makeControl();
    // A pressed picture without a normal one is not saved.
    k->setButtonPressedPicture(Kalendo::Button::Today, solidPicture(Qt::red));
    MemoryPropertyStore store;
    ASSERT_TRUE(k->save(store).ok());
    EXPECT_FALSE(store.contains("背景图片"));
    EXPECT_FALSE(store.contains("按钮按下今天图片"));
    auto other = makeControl();
    other->setButtonPressedPicture(Kalendo::Button::Today, solidPicture(Qt::blue));
    other->setBackgroundPicture(solidPicture(Qt::blue));
    ASSERT_TRUE(other->load(store).ok());
    EXPECT_TRUE(other->buttonPressedPicture(Kalendo::Button::Today).isNull());
    EXPECT_TRUE(other->backgroundPicture().isNull());
}

TEST(Persistence, AWrongKindOfValueStopsTheLoad) {
    auto k = makeControl();
    MemoryPropertyStore store;
    store.setValue("标题背景颜色", 0x112233);
    store.setValue("标题农历颜色", "yellow");
    store.setValue("控件背景颜色", 0x445566);
    const kalendo::Result r = k->load(store);
    EXPECT_EQ(r.errorNumber, 13);
    EXPECT_EQ(k->lastError().errorNumber, 13);
    EXPECT_EQ(k->titleBackColour(), 0x112233u);     // before the bad key: applied
    EXPECT_EQ(k->controlBackColour(), 0x8000000Fu); // after it: not
    // A picture key holding text is as wrong; an empty one clears.
    MemoryPropertyStore pictures;
    pictures.setValue("背景图片", 42);
    EXPECT_EQ(k->load(pictures).errorNumber, 13);
    MemoryPropertyStore empty;
    k->setBackgroundPicture(solidPicture(Qt::red));
    empty.setValue("背景图片", QByteArray());
    EXPECT_TRUE(k->load(empty).ok());
    EXPECT_TRUE(k->backgroundPicture().isNull());
}

TEST(Persistence, RoundTripThroughASettingsFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("kalendo.ini");
    auto k = makeControl();
    styleEverything(*k);
    {
        QSettings settings(path, QSettings::IniFormat);
        kalendo::SettingsPropertyStore store(settings, "Kalendo");
        ASSERT_TRUE(k->save(store).ok());
    }
    auto other = makeControl();
    {
        QSettings settings(path, QSettings::IniFormat);
        EXPECT_FALSE(settings.contains("Kalendo/按钮按下上年图片"));
        EXPECT_TRUE(settings.contains("Kalendo/按钮按下下月图片"));
        kalendo::SettingsPropertyStore store(settings, "Kalendo");
        const kalendo::Result r = other->load(store);
        ASSERT_TRUE(r.ok()) << r.errorNumber << " " << r.errorMessage.toStdString();
    }
    EXPECT_EQ(appearance(*other), appearance(*k));
    // A text where a colour belongs, as a hand-edited file may hold.
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue("Kalendo/星期天字体色", "red");
    }
    QSettings settings(path, QSettings::IniFormat);
    kalendo::SettingsPropertyStore store(settings, "Kalendo");
    EXPECT_EQ(makeControl()->load(store).errorNumber, 13);
}

TEST(Persistence, TheSizeStaysFixed) {
    auto k = makeControl();
    for (QSize s : {QSize(10, 10), QSize(1000, 800), QSize(568, 100)}) {
        k->resize(s);
        EXPECT_EQ(k->size(), QSize(568, 344));
    }
    k->setGeometry(5, 5, 20, 20);
    EXPECT_EQ(k->size(), QSize(568, 344));
}

} // namespace
