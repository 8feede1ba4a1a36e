// Loading and saving the appearance through the host's property store.
#include "kalendo/property_store.h"
#include "kalendo_p.h"

using kalendo::OleColour;
using kalendo::PropertyStore;
using namespace kalendo::detail;

namespace {

QVariant colourDefault(OleColour c) {
    return QVariant::fromValue<quint32>(c);
}

const char* const kNormalKeys[] = {"按钮上年图片", "按钮下年图片", "按钮上月图片", "按钮下月图片",
                                   "按钮今天图片"};
const char* const kPressedKeys[] = {"按钮按下上年图片", "按钮按下下年图片", "按钮按下上月图片",
                                    "按钮按下下月图片", "按钮按下今天图片"};

} // namespace

kalendo::Result Kalendo::Private::load(PropertyStore& store) {
    return guard(QStringLiteral("UserControl_ReadProperties"), [&](kalendo::Result&) {
        // Each element reads its key on its own; a value that is no colour stops the load.
        auto colour = [&](const char* key, OleColour def) {
            const OleColour c =
                colourFromVariant(store.read(QString::fromUtf8(key), colourDefault(def)));
            if (!kalendo::isValidOleColour(c))
                invalidPropertyValue();
            return c;
        };
        auto picture = [&](const char* key) {
            return pictureFromVariant(store.read(QString::fromUtf8(key), QVariant()));
        };

        titleStrip->setBackColour(colour("标题背景颜色", 0x808080));
        for (int i : {2, 1, 0})
            titleLabels[std::size_t(i)]->setForeColour(colour("标题阳历颜色", 0x80000012));
        for (int i : {3, 4, 5})
            titleLabels[std::size_t(i)]->setForeColour(colour("标题农历颜色", 0x00FFFF));
        // The star sign keeps its colour here; only the property recolours it.
        yearName->setForeColour(colour("标题其它颜色", 0xFF0000));
        leapYear->setForeColour(colour("标题其它颜色", 0xFF0000));
        controlBack = colour("控件背景颜色", 0x8000000F);
        q->update();
        backgroundPicture->setPicture(picture("背景图片"));
        yearWatermark->setForeColour(colour("背景字体颜色", 0xE0E0E0));
        monthWatermark->setForeColour(colour("背景字体颜色", 0xE0E0E0));
        for (Label* w : weekdays)
            w->setBackColour(colour("星期栏背景色", 0xC0C0C0));
        for (int i = 1; i <= 5; ++i) {
            const QVariant def = QVariant::fromValue<qint16>(0);
            const OleColour c =
                colourFromVariant(store.read(QStringLiteral("星期1到5字体色"), def));
            if (!kalendo::isValidOleColour(c))
                invalidPropertyValue();
            weekdays[std::size_t(i)]->setForeColour(c);
        }
        weekdays[0]->setForeColour(colour("星期天字体色", 0x0000FF));
        for (int i = 0; i < kCells; i += 7)
            days[std::size_t(i)]->setForeColour(colour("星期天字体色", 0x0000FF));
        weekdays[6]->setForeColour(colour("星期六字体色", 0xFF0000));
        for (int i = 6; i < kCells; i += 7)
            days[std::size_t(i)]->setForeColour(colour("星期六字体色", 0xFF0000));
        for (PictureButton* b : buttons)
            b->setBackColour(colour("按钮背景颜色", 0x8000000F));
        for (std::size_t b = 0; b < 5; ++b)
            buttons[b]->setPicture(picture(kNormalKeys[b]));
        for (std::size_t b = 0; b < 5; ++b)
            buttons[b]->setPressedPicture(picture(kPressedKeys[b]));
    });
}

void Kalendo::Private::save(PropertyStore& store) const {
    auto colour = [&](const char* key, OleColour value, OleColour def) {
        store.write(QString::fromUtf8(key), colourDefault(value), colourDefault(def));
    };
    auto picture = [&](const char* key, const QPixmap& p) {
        store.write(QString::fromUtf8(key), QVariant::fromValue(p), QVariant());
    };
    colour("标题背景颜色", titleStrip->backColour(), 0x808080);
    colour("标题阳历颜色", titleLabels[0]->foreColour(), 0x80000012);
    colour("标题农历颜色", titleLabels[3]->foreColour(), 0x00FFFF);
    colour("标题其它颜色", yearName->foreColour(), 0xFF0000);
    colour("控件背景颜色", controlBack, 0x8000000F);
    if (!backgroundPicture->picture().isNull())
        picture("背景图片", backgroundPicture->picture());
    colour("背景字体颜色", yearWatermark->foreColour(), 0xE0E0E0);
    colour("星期栏背景色", weekdays[1]->backColour(), 0xC0C0C0);
    store.write(QStringLiteral("星期1到5字体色"), colourDefault(weekdays[1]->foreColour()),
                QVariant::fromValue<qint16>(0));
    colour("星期天字体色", weekdays[0]->foreColour(), 0x0000FF);
    colour("星期六字体色", weekdays[6]->foreColour(), 0xFF0000);
    colour("按钮背景颜色", buttons[0]->backColour(), 0x8000000F);
    for (std::size_t b = 0; b < 5; ++b)
        if (!buttons[b]->picture().isNull())
            picture(kNormalKeys[b], buttons[b]->picture());
    // A pressed picture belongs to a button with a normal one; alone it is not kept.
    for (std::size_t b = 0; b < 5; ++b)
        if (!buttons[b]->picture().isNull())
            picture(kPressedKeys[b], buttons[b]->pressedPicture());
}

kalendo::Result Kalendo::load(PropertyStore& store) {
    return d->load(store);
}

kalendo::Result Kalendo::save(PropertyStore& store) const {
    return d->guard(QStringLiteral("UserControl_WriteProperties"),
                    [&](kalendo::Result&) { d->save(store); });
}
