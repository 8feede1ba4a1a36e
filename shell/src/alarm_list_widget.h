// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>

namespace tikko {

// The alarm list lstA. A right press opens the list's menu and leaves the selection as it
// was; every press is reported after the list has handled it, so that the menu's state can
// follow the selection. Delete asks for the selected alarm to go.
class AlarmListWidget final : public QListWidget {
    Q_OBJECT

public:
    using QListWidget::QListWidget;

signals:
    void mousePressed(Qt::MouseButton button, const QPoint& globalPosition);
    void deleteRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace tikko
