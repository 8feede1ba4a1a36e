// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>
#include <QDate>
#include <QPixmap>
#include <QSignalSpy>
#include <QString>
#include <QTest>
#include <QWidget>
#include <kalendo/control.h>
#include <memory>
#include <ostream>

// A control whose today is pinned.
std::unique_ptr<Kalendo> makeControl(QDate today = QDate(2008, 4, 23));

// The element of that object name; for the arrays (阳历日, Label2, 星期, Label1) the one
// with that index.
QWidget* element(const Kalendo& k, const char* name, int index = -1);
QComboBox* list(const Kalendo& k, const char* name);

// What an element shows: a label's text and colours, a list's text.
QString text(const Kalendo& k, const char* name, int index = -1);
quint32 fore(const Kalendo& k, const char* name, int index = -1);
quint32 back(const Kalendo& k, const char* name, int index = -1);
bool flag(const Kalendo& k, const char* name, int index, const char* property);

// The texts of all 39 day numbers.
QStringList dayTexts(const Kalendo& k);

// Chooses an entry of a list as the user does.
void choose(Kalendo& k, const char* listName, const QString& entry);
void click(Kalendo& k, const char* buttonName);
bool enabled(const Kalendo& k, const char* buttonName);

QPixmap solidPicture(QColor colour, QSize size = QSize(20, 12));

// Readable failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
