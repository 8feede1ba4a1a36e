// SPDX-License-Identifier: MIT
#include "tikko/shell/tray_icon.h"

namespace tikko {

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent) {
    m_flash.setInterval(500);
    connect(&m_flash, &QTimer::timeout, this, [this] {
        m_dark = !m_dark;
        if (m_icon)
            m_icon->setIcon(m_dark ? QIcon() : m_image);
    });
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::add(const QIcon& icon) {
    m_image = icon;
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>(icon);
        m_icon->setToolTip(Tip);
        if (m_menu)
            m_icon->setContextMenu(m_menu);
        connect(m_icon.get(), &QSystemTrayIcon::activated, this, &TrayIcon::handleActivation);
    }
    m_icon->show();
    return isShown();
}

void TrayIcon::remove() {
    if (!m_icon)
        return;
    m_icon->hide();
    m_icon.reset();
}

bool TrayIcon::isShown() const {
    return m_icon && m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setMenu(QMenu* menu) {
    m_menu = menu;
    if (m_icon)
        m_icon->setContextMenu(menu);
}

void TrayIcon::setFlashing(bool flashing) {
    if (flashing == m_flash.isActive())
        return;
    if (flashing) {
        m_flash.start();
        return;
    }
    m_flash.stop();
    m_dark = false;
    if (m_icon)
        m_icon->setIcon(m_image);
}

void TrayIcon::handleActivation(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger)
        emit leftClicked();
}

} // namespace tikko
