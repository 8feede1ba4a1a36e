// SPDX-License-Identifier: MIT
#include "tikko/shell/tray_icon.h"

namespace tikko {

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent) {}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::add(const QIcon& icon) {
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>(icon);
        m_icon->setToolTip(Tip);
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

void TrayIcon::handleActivation(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger)
        emit leftClicked();
}

} // namespace tikko
