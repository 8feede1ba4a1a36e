// SPDX-License-Identifier: MIT
#include "alarm_list_view.h"

#include "tikko/alarm/alarm_model.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace tikko {

namespace {

class AlarmDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(AlarmModel::NeverFiresRole).toBool())
            option->palette.setColor(QPalette::Text,
                                     option->palette.color(QPalette::Disabled, QPalette::Text));
    }
};

} // namespace

AlarmListView::AlarmListView(QWidget* parent)
    : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row is one line of text: the view then never measures 100,000 rows.
    setUniformItemSizes(true);
    setItemDelegate(new AlarmDelegate(this));
}

int AlarmListView::selectedRow() const {
    const QModelIndexList rows =
        selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void AlarmListView::clearChoice() {
    if (!selectionModel())
        return;
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
}

void AlarmListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton)
        QListView::mousePressEvent(event);
    emit mousePressed(event->button(), event->globalPosition().toPoint());
}

void AlarmListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteRequested();
        return;
    }
    QListView::keyPressEvent(event);
}

void AlarmListView::contextMenuEvent(QContextMenuEvent* event) {
    // The right press has opened the menu already.
    event->accept();
}

} // namespace tikko
