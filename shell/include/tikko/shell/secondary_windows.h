// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QDialog>
#include <QLibrary>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>

namespace Ui {
class frmRL;
}

namespace tikko {

// Twips of the old design as pixels: 15 to a pixel.
constexpr int twips(int value) {
    return (value >= 0 ? value + 7 : value - 7) / 15;
}

// Where a window opened next to the main window goes: its offset from the main window's
// corner, moved back inside the available area when the main window is near an edge.
QPoint placeBeside(const QRect& mainFrame, QPoint offset, const QSize& frameSize,
                   const QRect& available);

// The calendar control's library, loaded when the calendar is first opened and kept for
// the rest of the run. It is searched in the given folders in their order.
class KalendoLibrary {
public:
    static const QString FileName;

    explicit KalendoLibrary(QStringList folders);

    // The program's folder first, then the folder the library is installed into.
    static QStringList standardFolders();

    // A new control on parent, or nothing; error() then says what failed, in one line.
    QWidget* createControl(QWidget* parent);
    const QString& error() const { return m_error; }

private:
    bool load();

    QStringList m_folders;
    QLibrary m_library;
    using Factory = QWidget* (*)(QWidget*);
    Factory m_create = nullptr;
    QString m_error;
};

// What the calendar window shows of the program's own days, and what a double click does.
struct CalendarHooks {
    // The days of a month (1-12) on which an alarm fires.
    std::function<QList<QDate>(int year, int month)> alarmDays;
    // A day double-clicked: the window then closes.
    std::function<void(const QDate& day)> dayChosen;
};

// The calendar window frmRL: a fixed tool window that holds one Kalendo control with no
// stored appearance, so that every opening shows its initial look and the current month. The
// days on which alarms fire carry the control's marks; the control is reached through its
// signals and invokable methods alone, as it is loaded at run time.
class FrmRL final : public QDialog {
    Q_OBJECT

public:
    // Takes the control made for it.
    FrmRL(QWidget* control, QWidget* parent, CalendarHooks hooks = {});
    ~FrmRL() override;

    QWidget* control() const { return m_control; }

private slots:
    void markMonth(int year, int month);
    void chooseDay(QDate day);

private:
    std::unique_ptr<Ui::frmRL> m_ui;
    QWidget* m_control;
    CalendarHooks m_hooks;
};

} // namespace tikko
