// SPDX-License-Identifier: MIT
#include "support.h"

#include <QAbstractButton>
#include <QPainter>
#include <gtest/gtest.h>

std::unique_ptr<Kalendo> makeControl(QDate today) {
    return std::make_unique<Kalendo>([today] { return today; });
}

QWidget* element(const Kalendo& k, const char* name, int index) {
    for (QWidget* w : k.findChildren<QWidget*>(QString::fromUtf8(name))) {
        if (index < 0 || w->property("index").toInt() == index)
            return w;
    }
    ADD_FAILURE() << "no element " << name << "(" << index << ")";
    return nullptr;
}

QComboBox* list(const Kalendo& k, const char* name) {
    return qobject_cast<QComboBox*>(element(k, name));
}

QString text(const Kalendo& k, const char* name, int index) {
    QWidget* w = element(k, name, index);
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return w ? w->property("text").toString() : QString();
}

quint32 fore(const Kalendo& k, const char* name, int index) {
    QWidget* w = element(k, name, index);
    return w ? w->property("foreColour").toUInt() : 0xDEADu;
}

quint32 back(const Kalendo& k, const char* name, int index) {
    QWidget* w = element(k, name, index);
    return w ? w->property("backColour").toUInt() : 0xDEADu;
}

bool flag(const Kalendo& k, const char* name, int index, const char* property) {
    QWidget* w = element(k, name, index);
    return w && w->property(property).toBool();
}

QStringList dayTexts(const Kalendo& k) {
    QStringList texts;
    for (int i = 0; i < 39; ++i)
        texts << text(k, "阳历日", i);
    return texts;
}

void choose(Kalendo& k, const char* listName, const QString& entry) {
    QComboBox* c = list(k, listName);
    const int i = c->findText(entry);
    ASSERT_GE(i, 0) << qPrintable(entry);
    c->setCurrentIndex(i);
    emit c->activated(i);
}

void click(Kalendo& k, const char* buttonName) {
    qobject_cast<QAbstractButton*>(element(k, buttonName))->click();
}

bool enabled(const Kalendo& k, const char* buttonName) {
    return element(k, buttonName)->isEnabled();
}

QPixmap solidPicture(QColor colour, QSize size) {
    QPixmap pm(size);
    pm.fill(colour);
    return pm;
}
