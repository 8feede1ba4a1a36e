// SPDX-License-Identifier: MIT
// TikkoClock: the alarm clock that lives in the notification area.
#include "tikko/alarm/alarm_store.h"
#include "tikko/alarm/clock.h"
#include "tikko/alarm/program_files.h"
#include "tikko/shell/frm_main.h"
#include "tikko/shell/single_instance.h"
#include "tikko/shell/termination_watcher.h"
#include "tikko/system_actions.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>

// Where the program found its files; QT_LOGGING_RULES="tikko.program.debug=true" shows it.
Q_LOGGING_CATEGORY(lcProgram, "tikko.program", QtInfoMsg)

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The settings and the fallback data folder are named after the executable.
    const QString baseName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QCoreApplication::setOrganizationName(QStringLiteral("Tikko"));
    QCoreApplication::setApplicationName(baseName);
    // The main window hides into the notification area; closing the reminder window must
    // not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    tikko::applyProgramLook();
    tikko::installChineseTranslations();

    const tikko::ProgramFiles files = tikko::ProgramFiles::locate(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const tikko::StoreLocation store = tikko::chooseStoreLocation(files);
    qCDebug(lcProgram).noquote() << "store:" << store.writePath << "read from:" << store.readPath
                                 << "default sound:" << files.defaultSound()
                                 << "skin:" << files.skinFile();

    tikko::SingleInstance instance(
        store.folder, QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    switch (instance.claim()) {
    case tikko::SingleInstance::Claim::Holder:
        break;
    case tikko::SingleInstance::Claim::Shown:
        return 0;
    case tikko::SingleInstance::Claim::NotAnswering: {
        const QString text = instance.notAnsweringMessage();
        std::fprintf(stderr, "%s\n", qPrintable(text));
        QMessageBox::warning(nullptr, tikko::FrmMain::Caption, text);
        return 1;
    }
    }
    qCDebug(lcProgram).noquote() << "lock:" << instance.lockPath();
    // A request to end that comes while the program starts is carried out through the
    // normal exit once the event loop runs.
    tikko::TerminationWatcher termination;

    const auto actions = tikko::createSystemActions();
    const tikko::SystemClock clock;
    const tikko::SystemMonotonicClock monotonic;
    QSettings settings;
    tikko::DesktopInterface ui(settings);
    tikko::FrmMain window(
        {*actions, clock, monotonic, settings, ui, files, store.writePath, store.readPath});
    QObject::connect(&window, &tikko::FrmMain::exitFinished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&instance, &tikko::SingleInstance::showRequested, &window,
                     &tikko::FrmMain::restoreFromTray);
    QObject::connect(&termination, &tikko::TerminationWatcher::terminationRequested, &window,
                     &QWidget::close);
    // A session that ends writes what a normal exit writes.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.formUnload(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window,
                     [&window] { window.formUnload(); });

    window.formLoad();
    if (window.endedAtOnce())
        return 0;
    window.showAtStart();
    // Later starts find the socket once this one answers them: its event loop runs next.
    if (!instance.listen())
        window.notify(tikko::SingleInstance::unreachableMessage());
    if (!termination.isWatching())
        window.notify(tikko::TerminationWatcher::notWatchingMessage());
    return QApplication::exec();
}
