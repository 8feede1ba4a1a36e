// SPDX-License-Identifier: MIT
// The appearance properties by name, the elements they recolour and the notification.
#include "support.h"

#include <QAbstractButton>
#include <gtest/gtest.h>
#include <kalendo/ole_colour.h>

namespace {

struct Target {
    const char* name;
    int index;
    const char* property; // foreColour or backColour
};

struct ColourCase {
    const char* property;
    quint32 initial;
    std::vector<Target> targets;
};

std::vector<ColourCase> colourCases() {
    using T = Target;
    return {
        {"标题背景颜色", 0x808080, {T{"bTl", -1, "backColour"}}},
        {"标题阳历颜色",
         0x80000012,
         {T{"Label1", 0, "foreColour"}, T{"Label1", 1, "foreColour"},
          T{"Label1", 2, "foreColour"}}},
        {"标题农历颜色",
         0x00FFFF,
         {T{"Label1", 3, "foreColour"}, T{"Label1", 4, "foreColour"},
          T{"Label1", 5, "foreColour"}}},
        {"标题其它颜色",
         0xFF0000,
         {T{"生肖", -1, "foreColour"}, T{"平润年", -1, "foreColour"},
          T{"星座C", -1, "foreColour"}}},
        {"背景字体颜色",
         0xE0E0E0,
         {T{"背景年分", -1, "foreColour"}, T{"背景月份", -1, "foreColour"}}},
        {"星期栏背景色", 0xC0C0C0, {T{"星期", 0, "backColour"}, T{"星期", 6, "backColour"}}},
        {"星期1到5字体色", 0, {T{"星期", 1, "foreColour"}, T{"星期", 5, "foreColour"}}},
        {"星期天字体色",
         0x0000FF,
         {T{"星期", 0, "foreColour"}, T{"阳历日", 0, "foreColour"}, T{"阳历日", 35, "foreColour"}}},
        {"星期六字体色",
         0xFF0000,
         {T{"星期", 6, "foreColour"}, T{"阳历日", 6, "foreColour"}, T{"阳历日", 34, "foreColour"}}},
        {"按钮背景颜色", 0x8000000F, {T{"上年", -1, "backColour"}, T{"今天", -1, "backColour"}}},
    };
}

TEST(Appearance, ColoursReadBackAndNotifyOnceAfterEveryTargetIsSet) {
    auto k = makeControl();
    for (const ColourCase& c : colourCases()) {
        const QString name = QString::fromUtf8(c.property);
        EXPECT_EQ(k->propertyGet(name).value.toUInt(), c.initial) << c.property;
        const quint32 value = 0x123456;
        int notifications = 0;
        bool allSetWhenNotified = false;
        const auto connection =
            QObject::connect(k.get(), &Kalendo::propertyChanged, [&](const QString& changed) {
                ++notifications;
                EXPECT_EQ(changed, name);
                allSetWhenNotified = true;
                for (const Target& t : c.targets)
                    allSetWhenNotified &=
                        element(*k, t.name, t.index)->property(t.property).toUInt() == value;
            });
        EXPECT_TRUE(k->propertyPut(name, value).ok()) << c.property;
        QObject::disconnect(connection);
        EXPECT_EQ(notifications, 1) << c.property;
        EXPECT_TRUE(allSetWhenNotified) << c.property;
        EXPECT_EQ(k->propertyGet(name).value.toUInt(), value) << c.property;
    }
    // The control surface keeps the stored value, not a converted one.
    EXPECT_EQ(k->controlBackColour(), 0x8000000Fu);
    EXPECT_TRUE(k->setControlBackColour(0x80000005));
    EXPECT_EQ(k->propertyGet(QStringLiteral("控件背景颜色")).value.toUInt(), 0x80000005u);
}

TEST(Appearance, WeekendColoursRecolourTheirDayCellsOnly) {
    auto k = makeControl();
    ASSERT_TRUE(k->setSundayTextColour(0x00AA00));
    ASSERT_TRUE(k->setSaturdayTextColour(0x0000AA));
    ASSERT_TRUE(k->setWeekdayTextColour(0xAA0000));
    int sundays = 0, saturdays = 0;
    for (int i = 0; i < 39; ++i) {
        const quint32 c = fore(*k, "阳历日", i);
        sundays += c == 0x00AA00;
        saturdays += c == 0x0000AA;
        if (i % 7 != 0 && i % 7 != 6) {
            EXPECT_EQ(c, 0x80000008u) << i; // the weekday colour leaves the numbers alone
        }
    }
    EXPECT_EQ(sundays, 6);   // row 5 has a Sunday
    EXPECT_EQ(saturdays, 5); // but no Saturday
    EXPECT_EQ(fore(*k, "星期", 3), 0xAA0000u);
    // A new month keeps the colours on the same cells.
    click(*k, "下月");
    EXPECT_EQ(fore(*k, "阳历日", 35), 0x00AA00u);
    EXPECT_EQ(fore(*k, "阳历日", 34), 0x0000AAu);
}

TEST(Appearance, AValueThatIsNoColourFailsAndChangesNothing) {
    auto k = makeControl();
    QSignalSpy spy(k.get(), &Kalendo::propertyChanged);
    struct Bad {
        QVariant value;
        int number;
    };
    for (const Bad& bad : {Bad{0x12345678u, 380}, Bad{0x80000019u, 380}, Bad{"blue", 13},
                           Bad{QVariant::fromValue(QSize(1, 1)), 13}}) {
        const kalendo::Result r = k->propertyPut(QStringLiteral("标题背景颜色"), bad.value);
        EXPECT_EQ(r.errorNumber, bad.number) << qPrintable(bad.value.toString());
    }
    EXPECT_FALSE(k->setTitleBackColour(0x01000000));
    EXPECT_EQ(k->lastError().errorNumber, 380);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(back(*k, "bTl"), 0x808080u);
    EXPECT_EQ(k->propertyPut(QStringLiteral("没有"), 1).errorNumber, 438);
}

TEST(Appearance, ColourHelperMapsSystemColoursToThePalette) {
    QPalette pal;
    pal.setColor(QPalette::Button, QColor(1, 2, 3));
    pal.setColor(QPalette::ButtonText, QColor(4, 5, 6));
    EXPECT_EQ(kalendo::toQColor(0x0000FF, pal), QColor(255, 0, 0));
    EXPECT_EQ(kalendo::toQColor(0xFF0000, pal), QColor(0, 0, 255));
    EXPECT_EQ(kalendo::toQColor(0x8000000F, pal), QColor(1, 2, 3));
    EXPECT_EQ(kalendo::toQColor(0x80000012, pal), QColor(4, 5, 6));
    EXPECT_FALSE(kalendo::toQColor(0x01000000, pal).isValid());
    EXPECT_EQ(kalendo::fromQColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
}

TEST(Appearance, PicturesShowNormalAndWhileHeldDownPressed) {
    auto k = makeControl();
    QSignalSpy spy(k.get(), &Kalendo::propertyChanged);
    const QPixmap normal = solidPicture(Qt::green), pressed = solidPicture(Qt::red);
    ASSERT_TRUE(k->propertyPut(QStringLiteral("按钮上年图片"), normal).ok());
    ASSERT_TRUE(k->propertyPut(QStringLiteral("按钮按下上年图片"), pressed).ok());
    ASSERT_TRUE(k->propertyPut(QStringLiteral("背景图片"), normal).ok());
    EXPECT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(1).at(0).toString(), "按钮按下上年图片");

    auto* button = qobject_cast<QAbstractButton*>(element(*k, "上年"));
    auto shown = [&] {
        return button->property("shownPicture").value<QPixmap>().toImage();
    };
    EXPECT_EQ(shown(), normal.toImage());
    button->setDown(true);
    EXPECT_EQ(shown(), pressed.toImage());
    button->setDown(false);
    EXPECT_EQ(qvariant_cast<QPixmap>(k->propertyGet(QStringLiteral("背景图片")).value).toImage(),
              normal.toImage());
    // An empty picture clears.
    ASSERT_TRUE(k->propertyPut(QStringLiteral("按钮上年图片"), QVariant()).ok());
    EXPECT_TRUE(k->buttonPicture(Kalendo::Button::PreviousYear).isNull());
    EXPECT_EQ(spy.count(), 4);
}

// Each appearance property is a Qt property of its own, with its own notification, holding
// the value the dispatch reads under the property's name: colours as QColor for Designer's
// colour editor, stored as 0x00BBGGRR.
TEST(Appearance, EveryPropertyIsAQtPropertyWithItsNotification) {
    auto k = makeControl();
    const QMetaObject* meta = k->metaObject();
    QStringList names;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        ASSERT_TRUE(property.hasNotifySignal()) << property.name();
        ASSERT_TRUE(property.isWritable() && property.isDesignable()) << property.name();
        if (property.metaType().id() == QMetaType::Bool)
            continue; // scalable, no appearance property
        const bool picture = property.metaType().id() == QMetaType::QPixmap;
        ASSERT_TRUE(picture || property.metaType().id() == QMetaType::QColor) << property.name();
        const QVariant value =
            picture ? QVariant(solidPicture(Qt::magenta)) : QVariant(QColor(0x0C, 0x0B, 0x0A));
        QSignalSpy notified(k.get(), property.notifySignal());
        QSignalSpy named(k.get(), &Kalendo::propertyChanged);
        ASSERT_TRUE(k->setProperty(property.name(), value)) << property.name();
        EXPECT_EQ(notified.count(), 1) << property.name();
        ASSERT_EQ(named.count(), 1) << property.name();
        const QString name = named.at(0).at(0).toString();
        names << name;
        // Read back by name and as a Qt property.
        if (picture) {
            for (const QVariant& read : {k->propertyGet(name).value, k->property(property.name())})
                EXPECT_EQ(qvariant_cast<QPixmap>(read).toImage(),
                          solidPicture(Qt::magenta).toImage())
                    << property.name();
        } else {
            EXPECT_EQ(k->propertyGet(name).value.toUInt(), 0x0A0B0Cu) << property.name();
            EXPECT_EQ(k->property(property.name()).value<QColor>(), QColor(0x0C, 0x0B, 0x0A));
        }
    }
    EXPECT_EQ(names.size(), 22);
    // A system colour reads as what the palette paints.
    ASSERT_TRUE(k->setButtonBackColour(0x8000000F));
    EXPECT_EQ(k->property("buttonBackColour").value<QColor>(),
              k->palette().color(QPalette::Button));
    QStringList appearance = Kalendo::propertyNames();
    appearance.removeAll("中阳历");
    appearance.removeAll("中阴历");
    names.sort();
    appearance.sort();
    EXPECT_EQ(names, appearance);
}

} // namespace
