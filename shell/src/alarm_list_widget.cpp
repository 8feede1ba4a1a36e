// SPDX-License-Identifier: MIT
#include "alarm_list_widget.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tikko {

void AlarmListWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton)
        QListWidget::mousePressEvent(event);
    emit mousePressed(event->button(), event->globalPosition().toPoint());
}

void AlarmListWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void AlarmListWidget::contextMenuEvent(QContextMenuEvent* event) {
    // The right press has opened the menu already.
    event->accept();
}

} // namespace tikko
