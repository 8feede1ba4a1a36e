// SPDX-License-Identifier: MIT
// Opening the picker on a folder of 10,000 files: listing, filtering, sorting and showing
// the window (offscreen unless a display is chosen).
#include "tikko/picker/frm_dlg.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct NullHost final : tikko::PickerHost {
    void setSoundFilePath(const QString&) override {}
    void setRunProgramPath(const QString&) override {}
};

// 10,000 files; every other one a sound, every fourth of the rest executable.
const QTemporaryDir& folderOfFiles() {
    static QTemporaryDir dir;
    static const bool made = [] {
        for (int i = 0; i < 10000; ++i) {
            const bool soundFile = i % 2 == 0;
            QFile file(
                dir.filePath(QStringLiteral("铃声 %1.%2").arg(i).arg(soundFile ? "wav" : "dat")));
            if (!file.open(QIODevice::WriteOnly))
                return false;
            if (!soundFile && i % 8 == 1)
                file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        return true;
    }();
    (void)made;
    return dir;
}

void open(benchmark::State& state, const QString& caption, const QString& pattern) {
    const QTemporaryDir& dir = folderOfFiles();
    QTemporaryDir scratch;
    QSettings settings(scratch.filePath("s.ini"), QSettings::IniFormat);
    NullHost host;
    for (auto _ : state) {
        tikko::FrmDlg dialog(caption, pattern, settings, host, nullptr, {dir.path(), {}});
        dialog.show();
        QCoreApplication::processEvents(); // the first paint
        benchmark::DoNotOptimize(dialog.logic().files().size());
    }
}

void BM_OpenSoundPicker(benchmark::State& state) {
    open(state, tikko::PickerLogic::SoundCaption, tikko::PickerLogic::SoundPattern);
}
void BM_OpenProgramPicker(benchmark::State& state) {
    open(state, tikko::PickerLogic::ProgramCaption, tikko::PickerLogic::ProgramPattern);
}
BENCHMARK(BM_OpenSoundPicker)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenProgramPicker)->Unit(benchmark::kMillisecond);

} // namespace
