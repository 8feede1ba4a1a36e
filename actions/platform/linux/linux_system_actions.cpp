// SPDX-License-Identifier: MIT
#include "linux_system_actions.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaFormat>
#include <QMediaPlayer>
#include <QProcess>
#include <QSaveFile>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <string_view>
#include <sys/syscall.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tikko {

namespace {

class QtMediaPlayer final : public MediaPlayer {
public:
    QtMediaPlayer() {
        m_player.setAudioOutput(&m_output);
        QObject::connect(&m_player, &QMediaPlayer::errorOccurred, &m_player,
                         [this](QMediaPlayer::Error error, const QString& text) {
                             if (error != QMediaPlayer::NoError && m_errors)
                                 m_errors(text.toStdString());
                         });
    }

    void stop() override {
        m_errors = {};
        m_player.stop();
        m_player.setSource(QUrl());
    }

    bool play(const std::string& filePath, const MessageSink& errors, Playback playback) override {
        m_errors = errors;
        m_player.setLoops(playback == Playback::UntilStopped ? QMediaPlayer::Infinite : 1);
        m_player.setSource(QUrl::fromLocalFile(QString::fromStdString(filePath)));
        m_player.play();
        return true;
    }

private:
    QAudioOutput m_output; // declared first: the player must be destroyed before its output
    QMediaPlayer m_player;
    MessageSink m_errors; // of the sound that plays now
};

class SilentPlayer final : public MediaPlayer {
public:
    void stop() override {}
    bool play(const std::string&, const MessageSink&, Playback) override { return false; }
};

bool powerOffThroughLogin1() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    // Not interactive: an alarm may shut down when nobody is there to authenticate.
    call << false;
    return bus.call(call).type() == QDBusMessage::ReplyMessage;
}

std::string runningExecutable() {
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::vector<pid_t> runningProcessIds() {
    std::vector<pid_t> ids;
    std::error_code error;
    for (auto entry = std::filesystem::directory_iterator("/proc", error);
         !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        pid_t id = 0;
        const auto [end, parsed] = std::from_chars(name.data(), name.data() + name.size(), id);
        if (parsed == std::errc() && end == name.data() + name.size() && id > 0)
            ids.push_back(id);
    }
    // Ascending ids stand in for the order of a process snapshot.
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Empty where the executable cannot be read: kernel threads, zombies, and processes of
// other users, which this user could not end anyway.
std::string executableNameOf(pid_t id) {
    std::error_code error;
    const auto target =
        std::filesystem::read_symlink("/proc/" + std::to_string(id) + "/exe", error);
    if (error)
        return {};
    std::string name = target.filename().string();
    // A program whose file was replaced while it runs (an update) is still that program.
    constexpr std::string_view deleted = " (deleted)";
    if (name.ends_with(deleted))
        name.erase(name.size() - deleted.size());
    return name;
}

// The real user of the process; -1 where it cannot be read (it has ended).
uid_t realUserOf(pid_t id) {
    QFile status(QStringLiteral("/proc/%1/status").arg(id));
    if (!status.open(QIODevice::ReadOnly))
        return static_cast<uid_t>(-1);
    // "Uid:" then the real, effective, saved and file-system user.
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("Uid:")) {
            bool ok = false;
            const uid_t real = line.mid(4).simplified().split(' ').value(0).toUInt(&ok);
            return ok ? real : static_cast<uid_t>(-1);
        }
    }
    return static_cast<uid_t>(-1);
}

bool sendSignal(int process, int signal) {
    return ::syscall(SYS_pidfd_send_signal, process, signal, nullptr, 0) == 0;
}

// A process that ignores SIGTERM is killed once the grace is over; a watcher thread waits
// for it, so that the caller (the alarm check, on the user-interface thread) does not.
// The process is held by its descriptor, so a reused id is never hit.
void killAfterGrace(int process, std::chrono::milliseconds grace) {
    try {
        std::thread([process, grace] {
            pollfd ended{process, POLLIN, 0};
            if (::poll(&ended, 1, static_cast<int>(grace.count())) == 0)
                sendSignal(process, SIGKILL);
            ::close(process);
        }).detach();
    } catch (const std::system_error&) {
        ::close(process); // no thread to be had: the request to end stays, without the kill
    }
}

// The escapes of a desktop-entry string value, applied after any quoting of Exec.
std::string escapeEntryString(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString configHome() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are to be ignored, as the base directory rules say.
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

// Qt's GStreamer backend plays by its pipeline's clock: it is slow to start, and samples that
// reach a sound server slow to take the stream (a waking sink, a busy machine) are late and
// dropped, so a short ring is cut or lost. The FFmpeg backend starts at once and hands the
// server every sample. Qt reads the choice when multimedia is first used.
void preferFfmpegMediaBackend() {
    if (qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        return; // the user's own choice
    for (const QString& folder : QCoreApplication::libraryPaths()) {
        const QDir plugins(folder + QStringLiteral("/multimedia"));
        if (!plugins.entryList({QStringLiteral("*ffmpegmediaplugin*")}, QDir::Files).isEmpty()) {
            qputenv("QT_MEDIA_BACKEND", "ffmpeg");
            return;
        }
    }
}

} // namespace

std::unique_ptr<MediaPlayer> createQtMediaPlayer() {
    preferFfmpegMediaBackend();
    // Qt's GStreamer backend crashes while it builds a player when GStreamer lacks its base
    // plugins, and then no format can be decoded: nothing could play anyway.
    if (QMediaFormat().supportedFileFormats(QMediaFormat::Decode).isEmpty())
        return std::make_unique<SilentPlayer>();
    return std::make_unique<QtMediaPlayer>();
}

bool executableNameMatches(const std::string& asked, const std::string& running) {
    if (asked.empty() || running.empty())
        return false;
    const QString wanted = QString::fromStdString(asked);
    const QString name = QFile::decodeName(QByteArray::fromStdString(running));
    if (QString::compare(wanted, name, Qt::CaseInsensitive) == 0)
        return true;
    // The names to end are those of Windows programs; their Linux builds drop the ".exe".
    return wanted.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive) &&
           QString::compare(wanted.chopped(4), name, Qt::CaseInsensitive) == 0;
}

std::string desktopEntryExecValue(const std::string& path) {
    // An Exec argument holding any of these must be quoted.
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    const bool quoted = path.find_first_of(reserved) != std::string::npos;
    std::string argument = quoted ? "\"" : "";
    for (const char c : path) {
        if (c == '%')
            argument += '%'; // a lone % would start a field code
        else if (quoted && std::string_view("\"`$\\").find(c) != std::string_view::npos)
            argument += '\\';
        argument += c;
    }
    if (quoted)
        argument += '"';
    return escapeEntryString(argument);
}

LinuxSystemActions::LinuxSystemActions(LinuxActionsOptions options)
    : m_options(std::move(options)) {
    if (m_options.executablePath.empty())
        m_options.executablePath = runningExecutable();
    if (!m_options.powerOff)
        m_options.powerOff = powerOffThroughLogin1;
}

MediaPlayer& LinuxSystemActions::player() {
    if (!m_options.player)
        m_options.player = createQtMediaPlayer();
    return *m_options.player;
}

bool LinuxSystemActions::playAlarmSound(const std::string& soundFilePath, const MessageSink& errors,
                                        Playback playback) {
    player().stop();
    const QFileInfo file(QString::fromStdString(soundFilePath));
    if (soundFilePath.empty() || !file.isFile() || !file.isReadable())
        return false;
    return player().play(file.absoluteFilePath().toStdString(), errors, playback);
}

void LinuxSystemActions::stopAlarmSound() {
    if (m_options.player) // no player yet: nothing ever played
        m_options.player->stop();
}

bool LinuxSystemActions::startProgram(const std::string& programPath) {
    if (programPath.empty())
        return false;
    // The path is the program itself: no shell, no splitting at blanks.
    return QProcess::startDetached(QString::fromStdString(programPath), {});
}

bool LinuxSystemActions::openInBrowser(const std::string& address) {
    const std::string url = webAddress(address);
    if (url.empty())
        return false;
    return QProcess::startDetached(QString::fromStdString(m_options.urlOpener),
                                   {QString::fromStdString(url)});
}

std::string LinuxSystemActions::getSystemFolder(const std::string&) {
    return {}; // neither a Windows folder nor a browser folder exists here
}

Termination LinuxSystemActions::terminateProcessByName(const std::string& executableName) {
    if (executableName.empty())
        return Termination::NotRunning;
    const uid_t user = ::getuid();
    const auto isCandidate = [&](pid_t id) {
        // The user's own processes only: run by root, this must not end another user's.
        return realUserOf(id) == user &&
               executableNameMatches(executableName, executableNameOf(id));
    };
    bool refused = false;
    for (const pid_t id : runningProcessIds()) {
        if (!isCandidate(id))
            continue;
        const int process = static_cast<int>(::syscall(SYS_pidfd_open, id, 0));
        if (process < 0 && errno == ENOSYS) {
            // A kernel before 5.3 has no process descriptors: asked to end, never killed.
            if (::kill(id, SIGTERM) == 0)
                return Termination::Ended;
            refused = refused || errno != ESRCH;
            continue;
        }
        if (process < 0) {
            if (errno != ESRCH) // ended meanwhile: not running
                refused = true;
            continue;
        }
        // The id may have passed to another process between the look and the open.
        if (!isCandidate(id)) {
            ::close(process);
            continue;
        }
        if (!sendSignal(process, SIGTERM)) {
            refused = refused || errno != ESRCH;
            ::close(process);
            continue;
        }
        killAfterGrace(process, m_options.terminationGrace);
        return Termination::Ended;
    }
    return refused ? Termination::NotEnded : Termination::NotRunning;
}

bool LinuxSystemActions::shutDownComputer(const MessageSink&) {
    // The login manager grants or refuses the power-off itself: there are no privilege
    // steps here that could have anything to tell.
    return m_options.powerOff();
}

std::string LinuxSystemActions::autoStartEntryPath() const {
    if (m_options.executablePath.empty())
        return {};
    const QString name = QFileInfo(QString::fromStdString(m_options.executablePath)).fileName();
    return (configHome() + QStringLiteral("/autostart/") + name + QStringLiteral(".desktop"))
        .toStdString();
}

std::string LinuxSystemActions::autoStartExec() const {
    const QFileInfo executable(QString::fromStdString(m_options.executablePath));
    return "Exec=" + desktopEntryExecValue(executable.absoluteFilePath().toStdString());
}

std::string LinuxSystemActions::autoStartEntry() const {
    const QFileInfo executable(QString::fromStdString(m_options.executablePath));
    const std::string path = executable.absoluteFilePath().toStdString();
    // TryExec: once the program is removed, the desktop skips the entry.
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           escapeEntryString(executable.fileName().toStdString()) +
           "\n"
           "TryExec=" +
           escapeEntryString(path) + "\n" + autoStartExec() +
           "\n"
           "Terminal=false\n";
}

bool LinuxSystemActions::enableAutoStart() {
    const std::string entryPath = autoStartEntryPath();
    if (entryPath.empty())
        return false;
    const QString entry = QString::fromStdString(entryPath);
    if (!QDir().mkpath(QFileInfo(entry).absolutePath()))
        return false;
    const std::string contents = autoStartEntry();
    QSaveFile file(entry);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(contents.data(), static_cast<qint64>(contents.size()));
    return file.commit();
}

bool LinuxSystemActions::autoStartEntryExists() {
    const std::string entryPath = autoStartEntryPath();
    if (entryPath.empty())
        return false;
    QFile entry(QString::fromStdString(entryPath));
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    // The user may have changed the rest (a delay, Hidden=true from the desktop's settings);
    // only an entry that starts another program's file is not ours any more.
    const QByteArray ours = QByteArray::fromStdString(autoStartExec());
    for (QByteArray line = entry.readLine(); !line.isEmpty(); line = entry.readLine()) {
        if (line.trimmed() == ours)
            return true;
    }
    return false;
}

bool LinuxSystemActions::disableAutoStart() {
    const std::string entryPath = autoStartEntryPath();
    if (entryPath.empty())
        return false;
    std::error_code error;
    std::filesystem::remove(entryPath, error);
    return !error;
}

std::unique_ptr<SystemActions> createSystemActions() {
    return std::make_unique<LinuxSystemActions>();
}

} // namespace tikko
