#include "tikko/notification_window.h"

#include "ui_frmAlarm.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>

namespace tikko {

FrmAlarm::FrmAlarm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::frmAlarm>()) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(size());
    m_ui->Label1->installEventFilter(this);
    m_flash.setParent(this);
    m_flash.setObjectName(QStringLiteral("Timer1"));
    m_flash.setInterval(50);
    connect(&m_flash, &QTimer::timeout, this, &FrmAlarm::flashStep);
    m_flash.start();
}

FrmAlarm::~FrmAlarm() = default;

void FrmAlarm::load(const QString& alarmPromptText) {
    if (!alarmPromptText.isEmpty())
        m_ui->Label1->setText(alarmPromptText);
    placeInCorner();
}

QPoint FrmAlarm::placement(const QRect& screen, const QSize& frameSize) {
    return {screen.x() + screen.width() - frameSize.width() - 4,
            screen.y() + screen.height() - frameSize.height() - 33};
}

void FrmAlarm::placeInCorner() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The outer frame is known once the window is shown; until then the client size.
    const QSize frame = isVisible() ? frameGeometry().size() : size();
    move(placement(screen->geometry(), frame));
}

QString FrmAlarm::labelText() const {
    return m_ui->Label1->text();
}

void FrmAlarm::setLabelText(const QString& text) {
    m_ui->Label1->setText(text);
}

void FrmAlarm::flashStep() {
    // No caption flashing on every desktop: the title alternates instead, and the first
    // step asks the window system for attention once.
    m_inverted = !m_inverted;
    setWindowTitle(m_inverted ? QStringLiteral("【") + Caption + QStringLiteral("】") : Caption);
    if (!m_alerted && isVisible()) {
        QApplication::alert(this);
        m_alerted = true;
    }
}

void FrmAlarm::stopFlashing() {
    m_flash.stop();
}

void FrmAlarm::mousePressEvent(QMouseEvent* event) {
    stopFlashing();
    QWidget::mousePressEvent(event);
}

bool FrmAlarm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->Label1 && event->type() == QEvent::MouseButtonPress)
        stopFlashing();
    return QWidget::eventFilter(watched, event);
}

void FrmAlarm::on_Command2_clicked() {
    close();
}

FrmAlarm* NotificationWindow::ensureLoaded(const QString& alarmPromptText) {
    if (m_window)
        return m_window;
    m_window = new FrmAlarm();
    m_window->load(alarmPromptText);
    return m_window;
}

void NotificationWindow::show(const QString& alarmPromptText) {
    FrmAlarm* window = ensureLoaded(alarmPromptText);
    const bool first = !window->isVisible();
    window->show();
    window->raise();
    if (first)
        window->placeInCorner(); // the frame is known now
}

void NotificationWindow::showWithText(const QString& alarmPromptText, const QString& labelText) {
    FrmAlarm* window = ensureLoaded(alarmPromptText);
    window->setLabelText(labelText);
    show(alarmPromptText);
}

NotificationWindow::~NotificationWindow() {
    delete m_window.data();
}

} // namespace tikko
