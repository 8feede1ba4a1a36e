// SPDX-License-Identifier: MIT
#pragma once

#include <QListView>

namespace tikko {

// The alarm list lstA, a view of the alarm model. A right press opens the list's menu and
// leaves the selection as it was; every press is reported after the list has handled it, so
// that the menu's state can follow the selection. Delete asks for the selected alarm to go.
// Alarms whose time cannot be read are drawn grey: they never fire.
class AlarmListView final : public QListView {
    Q_OBJECT

public:
    explicit AlarmListView(QWidget* parent = nullptr);

    // The selected row, -1 when none.
    int selectedRow() const;
    void clearChoice();

signals:
    void mousePressed(Qt::MouseButton button, const QPoint& globalPosition);
    void deleteRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace tikko
