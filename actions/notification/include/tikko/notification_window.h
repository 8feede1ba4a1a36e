// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QScreen;
class QScrollArea;

namespace Ui {
class frmAlarm;
}

namespace tikko {

// One reminder as the window lists it: the alarm's time (the present time for the rest
// reminder) and the text shown, the design text in place of an empty prompt.
struct Reminder {
    QDateTime when;
    QString text;
    // What "稍后提醒" brings back later (the alarm that fired); empty for a reminder that
    // cannot be put off (the rest reminder, a failure).
    QString source;
    bool operator==(const Reminder&) const = default;
};

// "10:05" for a time of today, "12月7日 22:30" for another day of this year, with the year
// before it for another year; empty for an invalid time.
QString reminderTimeText(const QDateTime& when, const QDate& today);

// The label text: one reminder a line, oldest first, each led by its time; a first line
// counts the reminders left out (omitted > 0). Runs of text without a place to break get
// zero-width spaces, so that a long address wraps like a sentence does.
QString reminderListText(const QList<Reminder>& reminders, qsizetype omitted, const QDate& today);

// Where the outer frame's top left goes: the lower right corner of the available area (the
// screen without its panels), RightMargin and BottomMargin pixels inside it, and never
// above or left of the area when the frame is larger than it.
QPoint cornerPlacement(const QRect& available, const QSize& frameSize);

// Height of the text area: what the text needs, never less than the designed height, and
// no more than keeps the whole window (restHeight is all of it but the text area, frame
// included) within maxWindowHeight; beyond that the text scrolls.
int textAreaHeight(int needed, int designed, int restHeight, int maxWindowHeight);

// The background at a flash tick: bright at tick 0, steady half a period later, bright
// again after a whole one; a soft pulse rather than a flicker.
QColor flashColour(const QColor& steady, const QColor& bright, int tick);

// The small topmost reminder window frmAlarm in the lower right corner. It lists every
// reminder that came while it was open and flashes for each new one until its background
// or its text is clicked; "我知道了" closes and destroys it.
class FrmAlarm final : public QWidget {
    Q_OBJECT

public:
    static inline const QString DesignText = QStringLiteral("重要提醒哦！*^_^*");
    static inline const QString Caption = QStringLiteral("重要提醒");
    static constexpr int RightMargin = 4;
    static constexpr int BottomMargin = 4;
    // One pulse a second in four steps: each step repaints the window, and a reminder left
    // unanswered all night must cost next to nothing.
    static constexpr int FlashIntervalMs = 250;
    static constexpr int FlashPeriodTicks = 4;
    // Beyond this many unacknowledged reminders the oldest give way, counted in a first line.
    static constexpr qsizetype MaxListed = 100;
    // The flash's bright end; red text stays readable on it.
    static inline const QColor FlashBright = QColor(0xff, 0xe0, 0x5a);

    explicit FrmAlarm(QWidget* parent = nullptr);
    ~FrmAlarm() override;

    // Lists a reminder, newest last, and starts the flash anew; an empty text lists the
    // design text. Dates other than today carry their day.
    void addReminder(const QString& text, const QDateTime& when, const QDate& today,
                     const QString& source = {});
    // The minutes "稍后提醒" puts off by a click; its menu offers the others. The first
    // choice when it offers no such one.
    void setSnoozeMinutes(int minutes);
    static constexpr int SnoozeChoices[] = {5, 10, 15, 30};
    // The choice that stands for `minutes`: itself when offered, else the first.
    static int offeredSnooze(int minutes);
    // Restores the window if it is minimised, shows it, raises it and places it in the
    // corner of the screen under the mouse, sized for its text; asks for attention.
    void bringToFront();

    const QList<Reminder>& reminders() const { return m_reminders; }
    QStringList reminderTexts() const;
    QString labelText() const;
    bool isFlashing() const { return m_flash.isActive(); }
    QColor background() const;

public slots:
    // One Timer1 tick.
    void flashStep();

signals:
    // The user closed the window: "我知道了", Esc or the window's close button.
    void dismissed();
    // "稍后提醒": the reminders' sources to bring back after that many minutes. The window
    // then closes (and is dismissed).
    void snoozed(int minutes, const QStringList& sources);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void on_Command2_clicked();
    void on_cmdSnooze_clicked();
    void snoozeFor(int minutes);

private:
    void showList();
    void fitToText();
    void placeInCorner();
    // Scrolls to the last line, the newest reminder, when the text scrolls.
    void showNewest();
    void stopFlashing();
    void setBackground(const QColor& colour);

    std::unique_ptr<Ui::frmAlarm> m_ui;
    QScrollArea* m_scroll = nullptr;
    QTimer m_flash;
    QList<Reminder> m_reminders;
    qsizetype m_omitted = 0;
    QDate m_today;
    QColor m_steady;
    QColor m_background;
    QRect m_area;
    // The form as designed: the size, the label's rectangle and the button's place.
    QSize m_designSize;
    QRect m_designText;
    QPoint m_designButton;
    QPoint m_designSnooze;
    int m_snoozeMinutes = 5;
    int m_tick = 0;
    bool m_placeWhenFramed = false;
};

// The one reminder window of the program: created when first shown, reused while it is
// open, created afresh (with an empty list) after it was closed.
class NotificationWindow {
public:
    // Adds a reminder to the window and brings it to the front. when is the alarm's time;
    // for the rest reminder the present time.
    void show(const QString& text, const QDateTime& when, const QString& source = {});
    // Where "today" comes from, to tell alarms of another day; the system clock by default.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    // Called whenever the user dismisses the window.
    void setDismissHandler(std::function<void()> handler) { m_dismissed = std::move(handler); }
    // Called when the user puts the reminders off; the window is dismissed too.
    void setSnoozeHandler(std::function<void(int minutes, const QStringList& sources)> handler) {
        m_snoozed = std::move(handler);
    }
    // The choice the window offers first when it opens.
    void setSnoozeMinutes(int minutes) { m_snoozeMinutes = FrmAlarm::offeredSnooze(minutes); }
    int snoozeMinutes() const { return m_snoozeMinutes; }

    FrmAlarm* window() const { return m_window.data(); }
    bool isLoaded() const { return !m_window.isNull(); }
    ~NotificationWindow();

private:
    QPointer<FrmAlarm> m_window;
    std::function<QDateTime()> m_now;
    std::function<void()> m_dismissed;
    std::function<void(int, const QStringList&)> m_snoozed;
    int m_snoozeMinutes = 5;
};

} // namespace tikko
