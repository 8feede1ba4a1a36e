// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/shell/user_interface.h"

#include <QMenu>
#include <QStringList>
#include <functional>

namespace tikko {

// Records what the main window asks of the desktop and answers as the test says, so that
// nothing waits for a person.
class RecordingInterface final : public UserInterface {
public:
    QStringList messages;
    QStringList questions;
    QStringList balloons;
    QStringList menus;   // each menu popped up, with mDelC's state then
    QStringList pickers; // the captions of the pickers opened
    bool notificationArea = false;
    std::function<void(QMenu&)> onMenu = [](QMenu&) {
    };
    std::function<bool(const QString& caption)> onPick = [](const QString&) {
        return false;
    };
    std::function<bool(const QString&)> onAsk = [](const QString&) {
        return true;
    };
    // The answer to the question before closing: quit, and whether "不再询问" was ticked.
    std::function<std::pair<CloseAnswer, bool>(const QString&)> onClose = [](const QString&) {
        return std::pair{CloseAnswer::Quit, false};
    };
    QString savePath; // the file chosen in a save dialog; empty: cancelled
    std::function<void(QDialog&)> onModal = [](QDialog&) {
    };

    void tell(const QString& text, QWidget*) override { messages << text; }
    bool ask(const QString& question, QWidget*) override {
        questions << question;
        return onAsk(question);
    }
    CloseAnswer askBeforeClosing(const QString& question, bool& dontAskAgain, QWidget*) override {
        questions << question;
        const auto [answer, again] = onClose(question);
        dontAskAgain = again;
        return answer;
    }
    QString chooseSaveFile(const QString& caption, const QString&, const QString&,
                           QWidget*) override {
        questions << caption;
        return savePath;
    }
    bool showBalloon(TrayIcon&, const QString& text) override {
        if (notificationArea)
            balloons << text;
        return notificationArea;
    }
    void popUp(QMenu& menu, const QPoint&) override {
        const QAction* item = menu.findChild<QAction*>(QStringLiteral("mDelC"));
        menus << (item && item->isEnabled() ? QStringLiteral("mDelC on")
                                            : QStringLiteral("mDelC off"));
        onMenu(menu);
    }
    bool pickFile(const QString& caption, const QString&, PickerHost&, QWidget*) override {
        pickers << caption;
        return onPick(caption);
    }
    void runModal(QDialog& window) override { onModal(window); }
};

} // namespace tikko
