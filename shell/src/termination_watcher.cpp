// SPDX-License-Identifier: MIT
#include "tikko/shell/termination_watcher.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcShell)

namespace tikko {

namespace {

constexpr int Watched[] = {SIGTERM, SIGINT, SIGHUP};
// The signal handler writes to [0]; the event loop reads [1].
int g_fds[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Nothing else is safe inside a signal handler.
    [[maybe_unused]] const auto written = ::write(g_fds[0], &byte, 1);
}

void setHandler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : Watched)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

TerminationWatcher::TerminationWatcher(QObject* parent)
    : QObject(parent) {
    if (g_fds[0] >= 0) {
        qCWarning(lcShell) << "a second termination watcher: only the first one is told";
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_fds) != 0) {
        qCWarning(lcShell) << "termination signals cannot be caught, socketpair:"
                           << std::strerror(errno);
        g_fds[0] = g_fds[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::read(g_fds[1], buffer, sizeof buffer) > 0) {
        }
        emit terminationRequested();
    });
    setHandler(onSignal);
}

TerminationWatcher::~TerminationWatcher() {
    if (!m_notifier)
        return;
    setHandler(SIG_DFL);
    delete m_notifier;
    for (int& fd : g_fds) {
        ::close(fd);
        fd = -1;
    }
}

QString TerminationWatcher::notWatchingMessage() {
    return QStringLiteral("TikkoClock收不到系统的结束通知：关机或注销前请先关闭它的主窗口，"
                          "否则这次改动的设置不会保存。");
}

} // namespace tikko
