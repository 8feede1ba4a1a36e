// SPDX-License-Identifier: MIT
// TikkoClock: the alarm clock that lives in the notification area.
#include "tikko/alarm/alarm_store.h"
#include "tikko/alarm/clock.h"
#include "tikko/alarm/program_files.h"
#include "tikko/remote/alarm_requests.h"
#include "tikko/remote/alarms_service.h"
#include "tikko/remote/client.h"
#include "tikko/remote/command_line.h"
#include "tikko/remote/window_target.h"
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

namespace {

// The settings and the fallback data folder are named after the executable.
void nameApplication() {
    const QString baseName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QCoreApplication::setOrganizationName(QStringLiteral("Tikko"));
    QCoreApplication::setApplicationName(baseName);
}

tikko::ProgramFiles locateFiles() {
    return tikko::ProgramFiles::locate(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString runtimeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

int runProgram(int argc, char* argv[], bool showWindow);

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const tikko::ParsedCommandLine parsed = tikko::parseCommandLine(arguments);
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "TikkoClock: %s\n", qPrintable(parsed.error));
        return 2;
    }
    using Command = tikko::Request::Command;
    switch (parsed.request.command) {
    case Command::Start:
    case Command::Show:
        return runProgram(argc, argv, parsed.request.command == Command::Show);
    case Command::Help:
        return tikko::deliverAnswer(parsed.request, {0, tikko::commandLineHelp(), {}, 0});
    case Command::Version:
        return tikko::deliverAnswer(parsed.request,
                                    {0, QStringLiteral("TikkoClock " TIKKO_VERSION "\n"), {}, 0});
    default: {
        // No window and no display: a command for scripts.
        QCoreApplication app(argc, argv);
        nameApplication();
        const tikko::SystemClock clock;
        return tikko::runClientRequest(parsed.request, tikko::chooseStoreLocation(locateFiles()),
                                       runtimeFolder(), clock);
    }
    }
}

namespace {

int runProgram(int argc, char* argv[], bool showWindow) {
    QApplication app(argc, argv);
    nameApplication();
    // The main window hides into the notification area; closing the reminder window must
    // not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    tikko::applyProgramLook();
    tikko::installChineseTranslations();

    const tikko::ProgramFiles files = locateFiles();
    const tikko::StoreLocation store = tikko::chooseStoreLocation(files);
    qCDebug(lcProgram).noquote() << "store:" << store.writePath << "read from:" << store.readPath
                                 << "default sound:" << files.defaultSound()
                                 << "skin:" << files.skinFile();

    tikko::SingleInstance instance(store.folder, runtimeFolder());
    switch (instance.claim()) {
    case tikko::SingleInstance::Claim::Holder:
        break;
    case tikko::SingleInstance::Claim::Shown:
        return 0;
    case tikko::SingleInstance::Claim::Answered: // only requests of scripts get answers
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
                     &tikko::FrmMain::closeAsTold);
    // A session that ends writes what a normal exit writes.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.formUnload(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window,
                     [&window] { window.formUnload(); });

    // Scripts reach the window through later starts (the command line) and the session bus.
    tikko::WindowTarget target(window);
    instance.setRequestHandler([&target, &clock](const QByteArray& line) {
        return tikko::answerRequestLine(line, target, clock);
    });
    tikko::AlarmsService service(target, clock);
    QObject::connect(&window, &tikko::FrmMain::alarmRang, &service, &tikko::AlarmsService::Fired);

    window.formLoad();
    if (window.endedAtOnce())
        return 0;
    window.showAtStart();
    if (showWindow)
        window.restoreFromTray();
    // Later starts find the socket once this one answers them: its event loop runs next.
    if (!instance.listen())
        window.notify(tikko::SingleInstance::unreachableMessage());
    service.publish();
    if (!termination.isWatching())
        window.notify(tikko::TerminationWatcher::notWatchingMessage());
    return QApplication::exec();
}

} // namespace
