// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QDialog;
class QMenu;
class QPoint;
class QSettings;
class QWidget;

namespace tikko {

class PickerHost;
class TrayIcon;

// What the main window asks of the desktop that waits for a person or shows outside the
// window: messages, balloons, menus, the file picker, modal windows. The program uses
// DesktopInterface; tests hand in one that records and answers, and so run the same code.
class UserInterface {
public:
    // What the user answered to the question before the window closes with alarms pending.
    enum class CloseAnswer { Quit, Minimise };

    virtual ~UserInterface() = default;
    // Tells one thing without waiting for an answer.
    virtual void tell(const QString& text, QWidget* parent) = 0;
    // Asks a yes-or-no question and waits for the answer; true for yes.
    virtual bool ask(const QString& question, QWidget* parent) = 0;
    // Asks whether to end the program although alarms are pending (退出) or to keep it in
    // the notification area (最小化到通知区域); dontAskAgain holds the box "不再询问".
    virtual CloseAnswer askBeforeClosing(const QString& question, bool& dontAskAgain,
                                         QWidget* parent) = 0;
    // Asks where to save a file; empty when the user cancelled.
    virtual QString chooseSaveFile(const QString& caption, const QString& suggested,
                                   const QString& filter, QWidget* parent) = 0;
    // A balloon at the notification-area icon; false where there is no notification area.
    virtual bool showBalloon(TrayIcon& tray, const QString& text) = 0;
    // Pops a menu up at a screen position and returns when it has closed.
    virtual void popUp(QMenu& menu, const QPoint& globalPosition) = 0;
    // Opens the file picker modally; true when a file was chosen (the picker has then handed
    // its path to the host).
    virtual bool pickFile(const QString& caption, const QString& pattern, PickerHost& host,
                          QWidget* parent) = 0;
    // Shows a secondary window modally and returns when it has closed.
    virtual void runModal(QDialog& window) = 0;
};

class DesktopInterface final : public UserInterface {
public:
    // The picker keeps its last folder in the settings.
    explicit DesktopInterface(QSettings& settings)
        : m_settings(settings) {}

    void tell(const QString& text, QWidget* parent) override;
    bool ask(const QString& question, QWidget* parent) override;
    CloseAnswer askBeforeClosing(const QString& question, bool& dontAskAgain,
                                 QWidget* parent) override;
    QString chooseSaveFile(const QString& caption, const QString& suggested, const QString& filter,
                           QWidget* parent) override;
    bool showBalloon(TrayIcon& tray, const QString& text) override;
    void popUp(QMenu& menu, const QPoint& globalPosition) override;
    bool pickFile(const QString& caption, const QString& pattern, PickerHost& host,
                  QWidget* parent) override;
    void runModal(QDialog& window) override;

private:
    QSettings& m_settings;
};

} // namespace tikko
