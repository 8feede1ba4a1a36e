// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/stopwatch/stopwatch.h"

#include <QDialog>
#include <QFont>
#include <QTimer>
#include <functional>
#include <memory>

class QMenu;

namespace Ui {
class frmMB;
}

namespace tikko {

class Clock;
class MonotonicClock;

// The stopwatch window: a fixed topmost tool window that shows a Stopwatch and keeps its
// record lines in List1. It starts stopped with no records; closing it discards both. The
// clocks must outlive the window.
class FrmMB final : public QDialog {
    Q_OBJECT

public:
    // How the record menu is popped up; blocks until it closes. Tests replace it so that
    // nothing blocks.
    using MenuPopUp = std::function<void(QMenu& menu, const QPoint& globalPosition)>;

    FrmMB(const Clock& wallClock, const MonotonicClock& clock, QWidget* parent = nullptr);
    ~FrmMB() override;

    void setMenuPopUp(MenuPopUp popUp);
    const Stopwatch& stopwatch() const { return m_stopwatch; }

private slots:
    void on_cmdStart_clicked();
    void on_cmdPause_clicked();
    void on_cmdStop_clicked();
    void on_Timer1_timeout();
    void on_mClear_triggered();
    void on_mCopy_triggered();
    void on_mCopyAll_triggered();
    void on_List1_itemSelectionChanged();
    void on_List1_customContextMenuRequested(const QPoint& position);

private:
    void showState();
    void showTime(const QString& text);
    void appendRecord(const std::optional<QString>& line);
    void requestMenu();
    void popUpMenu();

    Stopwatch m_stopwatch;
    QTimer m_timer;
    std::unique_ptr<Ui::frmMB> m_ui;
    QFont m_timeFont;
    MenuPopUp m_menuPopUp;
    bool m_menuPending = false;
};

} // namespace tikko
