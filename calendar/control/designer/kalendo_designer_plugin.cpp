// SPDX-License-Identifier: MIT
#include "kalendo_designer_plugin.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <kalendo/control.h>

KalendoDesignerPlugin::KalendoDesignerPlugin(QObject* parent)
    : QObject(parent) {}

QString KalendoDesignerPlugin::name() const {
    return QStringLiteral("Kalendo");
}

QString KalendoDesignerPlugin::group() const {
    return QStringLiteral("Kalendo");
}

QString KalendoDesignerPlugin::toolTip() const {
    return QStringLiteral("农历月历 (Kalendo)");
}

QString KalendoDesignerPlugin::whatsThis() const {
    return QStringLiteral("A month calendar with the Chinese lunar calendar, solar terms and "
                          "festivals.");
}

QString KalendoDesignerPlugin::includeFile() const {
    return QStringLiteral("kalendo/control.h");
}

QIcon KalendoDesignerPlugin::icon() const {
    // A small calendar sheet, drawn here rather than shipped as a file.
    QPixmap pm(22, 22);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(2, 3, 17, 16);
    p.fillRect(3, 4, 16, 4, QColor(128, 128, 128));
    p.fillRect(11, 12, 4, 4, QColor(0, 255, 255));
    return QIcon(pm);
}

bool KalendoDesignerPlugin::isContainer() const {
    return false;
}

QWidget* KalendoDesignerPlugin::createWidget(QWidget* parent) {
    return new Kalendo(parent);
}

bool KalendoDesignerPlugin::isInitialized() const {
    return m_initialized;
}

void KalendoDesignerPlugin::initialize(QDesignerFormEditorInterface*) {
    m_initialized = true;
}

QString KalendoDesignerPlugin::domXml() const {
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"Kalendo\" name=\"kalendo\">\n"
                          "  <property name=\"geometry\"><rect><x>0</x><y>0</y><width>568</width>"
                          "<height>344</height></rect></property>\n"
                          " </widget>\n"
                          "</ui>\n");
}
