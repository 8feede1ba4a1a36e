// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/picker/picker_logic.h"

#include <QDialog>
#include <functional>
#include <memory>

class QListWidgetItem;
class QSettings;

namespace Ui {
class frmDlg;
}

namespace tikko {

// The program-wide values the picker sets on OK; the main window implements it.
class PickerHost {
public:
    virtual ~PickerHost() = default;
    // Sound mode: becomes soundFilePath and the text of txtWav ("sWavFN" is already stored).
    virtual void setSoundFilePath(const QString& path) = 0;
    // Program mode: becomes runProgramPath.
    virtual void setRunProgramPath(const QString& path) = 0;
};

struct PickerOptions {
    // The folder to open in; empty for the usual rule (the current folder or home).
    QString startFolder;
    // Tells the user one line; empty for a message box. Tests record instead.
    std::function<void(const QString& text)> tell;
};

// The modal file picker frmDlg: a drive list, a folder list and a file list filtered by the
// caller's pattern. The caption chooses the mode (PickerLogic::SoundCaption = sound).
class FrmDlg final : public QDialog {
    Q_OBJECT

public:
    // A picker with the caller's caption and file pattern, centred on `owner` when shown.
    FrmDlg(const QString& caption, const QString& pattern, QSettings& settings, PickerHost& host,
           QWidget* owner = nullptr, PickerOptions options = {});
    ~FrmDlg() override;

    // Opens the picker modally; true when a file was chosen and handed to the host.
    static bool pick(const QString& caption, const QString& pattern, QSettings& settings,
                     PickerHost& host, QWidget* owner = nullptr);

    // True once OK handed a file to the host.
    bool chosen() const { return m_chosen; }
    // The decisions and state the window shows.
    const PickerLogic& logic() const { return m_logic; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void on_Drive1_activated(int index);
    void on_Dir1_itemDoubleClicked(QListWidgetItem* item);
    void on_File1_itemDoubleClicked(QListWidgetItem* item);
    void on_cmdDir0_clicked();
    void on_cmdDir1_clicked();
    void on_cmdDirNew_clicked();
    void on_cmdOK_clicked();
    void on_cmdCancel_clicked();

private:
    void openSpecialFolder(bool desktop);
    void choose(const QString& fileName);
    void openFolderRow(int row);
    void showDrives();
    void showFolder();
    void report(const QString& failure);

    std::unique_ptr<Ui::frmDlg> m_ui;
    QSettings& m_settings;
    PickerHost& m_host;
    PickerOptions m_options;
    PickerLogic m_logic;
    bool m_chosen = false;
};

} // namespace tikko
