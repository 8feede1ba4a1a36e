// SPDX-License-Identifier: MIT
// The built program on a virtual X display with a window manager, used as a person uses
// it: clicks where the form puts each control (found by its object name in the form file),
// typing and keys. It adds an alarm through the editor, sees it fire, deletes one through
// the list's menu, and checks that adding and deleting survive a kill.
#include "tikko/shell/single_instance.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLocalSocket>
#include <QProcess>
#include <QRect>
#include <QStack>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QXmlStreamReader>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Each control's rectangle in the main window's client area, by its object name.
QHash<QString, QRect> formGeometry(const QString& formFile) {
    QFile file(formFile);
    QHash<QString, QRect> rects;
    if (!file.open(QIODevice::ReadOnly))
        return rects;
    QXmlStreamReader xml(&file);
    struct Open {
        QString name;
        QPoint origin;
    };
    QStack<Open> widgets;
    QString readingFor;
    QRect rect;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"widget") {
            const QPoint origin = widgets.isEmpty() ? QPoint() : widgets.top().origin;
            widgets.push({xml.attributes().value("name").toString(), origin});
        } else if (xml.isEndElement() && xml.name() == u"widget") {
            widgets.pop();
        } else if (xml.isStartElement() && xml.name() == u"property" &&
                   xml.attributes().value("name") == u"geometry" && widgets.size() > 1) {
            readingFor = widgets.top().name;
            rect = {};
        } else if (!readingFor.isEmpty() && xml.isStartElement()) {
            const int v = xml.name() == u"rect" ? 0 : xml.readElementText().toInt();
            if (xml.name() == u"x")
                rect.moveLeft(v);
            else if (xml.name() == u"y")
                rect.moveTop(v);
            else if (xml.name() == u"width")
                rect.setWidth(v);
            else if (xml.name() == u"height")
                rect.setHeight(v);
        } else if (!readingFor.isEmpty() && xml.isEndElement() && xml.name() == u"rect") {
            // Children lie inside their frame: the frame's corner carries over.
            Open& widget = widgets.top();
            rect.translate(widget.origin);
            rects.insert(readingFor, rect);
            widget.origin = rect.topLeft();
            readingFor.clear();
        }
    }
    return rects;
}

class DesktopTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QTemporaryDir runtime;
    QString display;
    std::unique_ptr<QProcess> server;
    std::unique_ptr<QProcess> windowManager;
    std::unique_ptr<QProcess> program;
    QHash<QString, QRect> form = formGeometry(QStringLiteral(TIKKO_MAIN_FORM));
    QString store = folder.filePath("alarm.ini");
    QString windowId;

    void SetUp() override {
        for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh installs it)";
        }
        ASSERT_FALSE(form.isEmpty());
        for (const QString& file : {QStringLiteral(TIKKO_PROGRAM), QStringLiteral(TIKKO_SOUND),
                                    QStringLiteral(TIKKO_KALENDO)})
            ASSERT_TRUE(QFile::copy(file, folder.filePath(QFileInfo(file).fileName())));
        QDir().mkpath(folder.filePath("home"));
        startDisplay();
        windowManager = start("openbox", {});
        // Windows mapped before the manager runs stay unmanaged: wait until it announces
        // itself on the root window.
        QElapsedTimer timer;
        timer.start();
        while (!run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id") &&
               timer.elapsed() < 10000)
            QThread::msleep(50);
    }

    void TearDown() override {
        if (HasFailure() && server) {
            const QString shot = QDir::temp().filePath("tikko-desktop-test.png");
            start("import", {"-window", "root", shot})->waitForFinished(5000);
            std::fprintf(stderr, "the screen at the failure: %s\n", qPrintable(shot));
        }
        for (auto* process : {program.get(), windowManager.get(), server.get()}) {
            if (process && process->state() != QProcess::NotRunning) {
                // Asked first, so that the display server removes its socket.
                process->terminate();
                if (!process->waitForFinished(3000)) {
                    process->kill();
                    process->waitForFinished(3000);
                }
            }
        }
    }

    void startDisplay() {
        // The server picks a display number no other one holds and writes it to us.
        server = std::make_unique<QProcess>();
        server->start("Xvfb",
                      {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        ASSERT_TRUE(server->waitForStarted(5000));
        QElapsedTimer timer;
        timer.start();
        QByteArray number;
        while (!number.endsWith('\n') && server->state() == QProcess::Running &&
               timer.elapsed() < 10000) {
            server->waitForReadyRead(100);
            number += server->readAllStandardOutput();
        }
        ASSERT_TRUE(number.endsWith('\n')) << "no virtual display could be started";
        display = ":" + QString::fromLatin1(number.trimmed());
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("HOME", folder.filePath("home"));
        env.insert("XDG_CONFIG_HOME", folder.filePath("home/.config"));
        env.insert("XDG_DATA_HOME", folder.filePath("home/.local/share"));
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("LANG", "C.UTF-8");
        env.remove("QT_QPA_PLATFORM");
        env.remove("WAYLAND_DISPLAY");
        return env;
    }

    std::unique_ptr<QProcess> start(const QString& executable, const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setWorkingDirectory(folder.path());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(executable, arguments);
        EXPECT_TRUE(process->waitForStarted(5000)) << executable.toStdString();
        return process;
    }

    QString run(const QString& tool, const QStringList& arguments) {
        auto process = start(tool, arguments);
        process->waitForFinished(10000);
        return QString::fromUtf8(process->readAllStandardOutput()).trimmed();
    }
    QString xdotool(const QStringList& arguments) { return run("xdotool", arguments); }

    void launchProgram() {
        program = start(folder.filePath("TikkoClock"), {});
        windowId.clear();
    }

    // The main window's id once it is shown and has the keyboard.
    bool waitForMainWindow() {
        // Generous: a loaded machine starts a Qt program slowly.
        windowId = waitForWindow(QStringLiteral("TikkoClock2.9版"), 30000);
        if (windowId.isEmpty()) {
            ADD_FAILURE() << "no main window; the program "
                          << (program->state() == QProcess::Running ? "runs" : "has ended");
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        while (xdotool({"getactivewindow"}) != windowId && timer.elapsed() < 5000) {
            xdotool({"windowactivate", windowId});
            QThread::msleep(100);
        }
        return true;
    }

    QString waitForWindow(const QString& title, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        do {
            const QString found =
                xdotool({"search", "--onlyvisible", "--name", title}).section('\n', 0, 0);
            if (!found.isEmpty())
                return found;
            QThread::msleep(100);
        } while (timer.elapsed() < timeoutMs);
        return {};
    }

    // The input goes to the program in order through the X server, so nothing needs to wait
    // between steps, except for a pop-up to open before keys are meant for it.
    void click(const char* control, int button = 1, QPoint at = {-1, -1}) {
        const QRect rect = form.value(QString::fromLatin1(control));
        ASSERT_TRUE(rect.isValid()) << control;
        const QPoint point = at.x() < 0 ? rect.center() : rect.topLeft() + at;
        xdotool({"mousemove", "--window", windowId, "--sync", QString::number(point.x()),
                 QString::number(point.y())});
        xdotool({"click", QString::number(button)});
    }
    // Clicks a harmless spot until the main window is the active one.
    bool clickUntilActive(const char* control, QPoint at) {
        QElapsedTimer timer;
        timer.start();
        do {
            click(control, 1, at);
            for (int i = 0; i < 10; ++i) {
                if (xdotool({"getactivewindow"}) == windowId)
                    return true;
                QThread::msleep(50);
            }
        } while (timer.elapsed() < 10000);
        return false;
    }
    // A click that opens a list or a menu; returns once it is shown.
    void clickOpeningPopUp(const char* control, int button = 1, QPoint at = {-1, -1}) {
        const int before = visibleWindows();
        click(control, button, at);
        QElapsedTimer timer;
        timer.start();
        while (visibleWindows() <= before && timer.elapsed() < 5000)
            QThread::msleep(20);
        EXPECT_GT(visibleWindows(), before) << "no pop-up opened by " << control;
    }
    int visibleWindows() {
        const QString found =
            xdotool({"search", "--onlyvisible", "--pid", QString::number(program->processId())});
        return found.isEmpty() ? 0 : static_cast<int>(found.count('\n')) + 1;
    }
    void type(const QString& text) { xdotool({"type", "--delay", "20", text}); }
    void keys(const QStringList& names) { xdotool(QStringList{"key", "--delay", "60"} + names); }

    // True once the program answers later starts: it has started and runs its event loop.
    bool waitUntilAnswering() const {
        const QString key = tikko::SingleInstance::keyFor(folder.path(), runtime.path());
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 30000) {
            QLocalSocket socket;
            socket.connectToServer(key);
            if (socket.waitForConnected(100))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    QByteArray storeBytes() const {
        QFile file(store);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool waitForStore(const std::function<bool(const QByteArray&)>& done, int timeoutMs) const {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (done(storeBytes()))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    void killProgram() {
        program->kill();
        program->waitForFinished(5000);
    }
};

TEST_F(DesktopTest, AnAlarmAddedInTheEditorFiresAndAddingAndDeletingSurviveAKill) {
    launchProgram();
    ASSERT_TRUE(waitForMainWindow());

    // 00 h 01 min, no advance, a text reminder with a prompt of our own. Late in a minute
    // the alarm would fire before the test has seen it stored: start early in one.
    const int second = QTime::currentTime().second();
    if (second > 40)
        QThread::sleep(static_cast<unsigned long>(61 - second));
    click("cZQM");
    keys({"ctrl+a"});
    type("01");
    click("tSJ"); // the click selects the old text
    type("0");
    clickOpeningPopUp("cTX");
    keys({"Down", "Down", "Down", "Return"});
    click("cTxt");
    keys({"ctrl+a"});
    type("e2e check");
    const QDateTime added = QDateTime::currentDateTime();
    click("cmdAdd");
    ASSERT_TRUE(waitForStore(
        [](const QByteArray& b) { return b.contains("|文本框提醒|e2e check|"); }, 5000))
        << storeBytes().toStdString();
    const QDateTime alarm = QDateTime::fromString(
        QString::fromUtf8(storeBytes()).section('|', 0, 0), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    EXPECT_LE(std::abs(added.addSecs(60).secsTo(alarm)), 5);

    // At its minute it fires: the reminder window appears and the line leaves the store.
    ASSERT_TRUE(waitForStore([](const QByteArray& b) { return b == "\r\n"; }, 80000))
        << storeBytes().toStdString();
    EXPECT_FALSE(waitForWindow(QStringLiteral("重要提醒"), 5000).isEmpty());

    // An alarm a day away, added and then killed: it is there after the next start.
    click("cZQH");
    keys({"ctrl+a"});
    type("23");
    click("cmdAdd");
    ASSERT_TRUE(waitForStore(
        [](const QByteArray& b) { return b.count("\r\n") == 1 && b.size() > 2; }, 5000));
    const QByteArray kept = storeBytes();
    killProgram();
    launchProgram();
    // With an alarm loaded it starts out of sight; a second start asks it to show itself.
    ASSERT_TRUE(waitUntilAnswering());
    start(folder.filePath("TikkoClock"), {})->waitForFinished(5000);
    ASSERT_TRUE(waitForMainWindow());
    EXPECT_EQ(storeBytes(), kept);

    // Deleted through the list's menu and killed: it is gone after the next start. A window
    // that came back from the notification area may not have the focus yet: a click on its
    // frame gives it, so that the click on the alarm selects it.
    ASSERT_TRUE(clickUntilActive("fMain", {200, 5}));
    click("lstA", 1, {40, 8});
    clickOpeningPopUp("lstA", 3, {40, 8});
    keys({"Down", "Return"});
    ASSERT_TRUE(waitForStore([](const QByteArray& b) { return b == "\r\n"; }, 5000))
        << storeBytes().toStdString();
    killProgram();
    launchProgram();
    // An empty list shows the window at once, and nothing came back.
    ASSERT_TRUE(waitForMainWindow());
    EXPECT_EQ(storeBytes(), QByteArray("\r\n"));
}

} // namespace
