#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class frmAlarm;
}

namespace tikko {

// The small topmost reminder window in the lower right corner. Its caption flashes until
// the window or its text is clicked; "我知道了" closes and destroys it.
class FrmAlarm final : public QWidget {
    Q_OBJECT

public:
    static inline const QString DesignText = QStringLiteral("重要提醒哦！*^_^*");
    static inline const QString Caption = QStringLiteral("重要提醒");

    explicit FrmAlarm(QWidget* parent = nullptr);
    ~FrmAlarm() override;

    // The load steps: lower right placement, topmost, the prompt text (the design text
    // stays when the prompt is empty).
    void load(const QString& alarmPromptText);
    // Where the load step puts the window on a screen of that size: the outer frame ends
    // 60 twips (4 px) from the right edge and 500 twips (33 px) above the bottom.
    static QPoint placement(const QRect& screen, const QSize& frameSize);

    // Lower right corner of the primary screen, by the outer frame where it is known.
    void placeInCorner();

    bool isFlashing() const { return m_flash.isActive(); }
    QString labelText() const;
    void setLabelText(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void on_Command2_clicked();

private:
    void flashStep();
    void stopFlashing();

    std::unique_ptr<Ui::frmAlarm> m_ui;
    QTimer m_flash;
    bool m_inverted = false;
    bool m_alerted = false;
};

// The one notification window of the program: created when first shown, reused while it
// is open, created afresh after it was closed.
class NotificationWindow {
public:
    // Shows the window; loading it (only when it is not open) takes the prompt text.
    void show(const QString& alarmPromptText);
    // The rest reminder's way: loaded if need be, then its own label text.
    void showWithText(const QString& alarmPromptText, const QString& labelText);

    FrmAlarm* window() const { return m_window.data(); }
    bool isLoaded() const { return !m_window.isNull(); }
    ~NotificationWindow();

private:
    FrmAlarm* ensureLoaded(const QString& alarmPromptText);

    QPointer<FrmAlarm> m_window;
};

} // namespace tikko
