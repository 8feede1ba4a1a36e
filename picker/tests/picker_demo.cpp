// SPDX-License-Identifier: MIT
// picker-demo [sound|program] [folder] [--screenshot FILE]
// Opens the picker as the main window does and prints what was chosen; with --screenshot
// it saves a picture of the window instead of waiting for the user.
#include "tikko/picker/frm_dlg.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

struct PrintingHost final : tikko::PickerHost {
    void setSoundFilePath(const QString& path) override {
        std::printf("soundFilePath=%s\n", qPrintable(path));
    }
    void setRunProgramPath(const QString& path) override {
        std::printf("runProgramPath=%s\n", qPrintable(path));
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool sound = !args.contains(QStringLiteral("program"));
    const int shotAt = int(args.indexOf(QStringLiteral("--screenshot")));
    const QString shot = shotAt >= 0 ? args.value(shotAt + 1) : QString();
    QString folder;
    for (const QString& a : args)
        if (QFileInfo(a).isDir())
            folder = a;

    QTemporaryDir scratch;
    QSettings settings(scratch.filePath(QStringLiteral("TikkoClock.ini")), QSettings::IniFormat);
    PrintingHost host;
    tikko::FrmDlg dialog(
        sound ? tikko::PickerLogic::SoundCaption : tikko::PickerLogic::ProgramCaption,
        sound ? tikko::PickerLogic::SoundPattern : tikko::PickerLogic::ProgramPattern, settings,
        host, nullptr, {QDir::toNativeSeparators(folder), {}});
    if (!shot.isEmpty())
        QTimer::singleShot(500, &dialog, [&] {
            dialog.grab().save(shot);
            dialog.reject();
        });
    dialog.exec();
    return dialog.chosen() ? 0 : 1;
}
