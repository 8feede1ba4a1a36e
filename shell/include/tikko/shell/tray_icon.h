// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>

class QMenu;

namespace tikko {

// The notification-area icon of the main window. A left click asks for the main window;
// every other click is left to the system.
class TrayIcon final : public QObject {
    Q_OBJECT

public:
    static inline const QString Tip = QStringLiteral("Tikko闹钟");

    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // Adds the icon; false when the desktop has no notification area.
    bool add(const QIcon& icon);
    void remove();
    // True while the icon is up in a notification area that exists: only then may a
    // minimised main window hide itself.
    bool isShown() const;
    QSystemTrayIcon* icon() const { return m_icon.get(); }
    // The menu of a right click; the caller keeps it.
    void setMenu(QMenu* menu);

    // While an alarm rings without a window, the icon blinks, twice a second.
    void setFlashing(bool flashing);
    bool isFlashing() const { return m_flash.isActive(); }

    void handleActivation(QSystemTrayIcon::ActivationReason reason);

signals:
    void leftClicked();

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QIcon m_image;
    QMenu* m_menu = nullptr;
    QTimer m_flash;
    bool m_dark = false;
};

} // namespace tikko
