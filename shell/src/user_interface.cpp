// SPDX-License-Identifier: MIT
#include "tikko/shell/user_interface.h"

#include "tikko/picker/frm_dlg.h"
#include "tikko/shell/frm_main.h"
#include "tikko/shell/tray_icon.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace tikko {

void DesktopInterface::tell(const QString& text, QWidget* parent) {
    // Never modal: alarms go on firing while the message waits to be read.
    auto* box = new QMessageBox(QMessageBox::Information, FrmMain::Caption, text, QMessageBox::Ok,
                                parent && parent->isVisible() ? parent : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

bool DesktopInterface::ask(const QString& question, QWidget* parent) {
    // The main window's timers go on while the question waits: alarms still fire.
    return QMessageBox::question(parent, FrmMain::Caption, question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

UserInterface::CloseAnswer DesktopInterface::askBeforeClosing(const QString& question,
                                                              bool& dontAskAgain, QWidget* parent) {
    QMessageBox box(QMessageBox::Question, FrmMain::Caption, question, QMessageBox::NoButton,
                    parent);
    QPushButton* quit = box.addButton(QStringLiteral("退出"), QMessageBox::DestructiveRole);
    QPushButton* keep = box.addButton(QStringLiteral("最小化到通知区域"), QMessageBox::AcceptRole);
    box.setDefaultButton(keep); // Enter keeps the alarms
    box.setEscapeButton(keep);
    auto* again = new QCheckBox(QStringLiteral("不再询问"), &box);
    box.setCheckBox(again);
    box.exec();
    dontAskAgain = again->isChecked();
    return box.clickedButton() == quit ? CloseAnswer::Quit : CloseAnswer::Minimise;
}

QString DesktopInterface::chooseSaveFile(const QString& caption, const QString& suggested,
                                         const QString& filter, QWidget* parent) {
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

bool DesktopInterface::showBalloon(TrayIcon& tray, const QString& text) {
    if (!tray.isShown())
        return false;
    tray.icon()->showMessage(TrayIcon::Tip, text, QSystemTrayIcon::Warning);
    return true;
}

void DesktopInterface::popUp(QMenu& menu, const QPoint& globalPosition) {
    menu.exec(globalPosition);
}

bool DesktopInterface::pickFile(const QString& caption, const QString& pattern, PickerHost& host,
                                QWidget* parent) {
    return FrmDlg::pick(caption, pattern, m_settings, host, parent);
}

void DesktopInterface::runModal(QDialog& window) {
    window.exec();
}

} // namespace tikko
