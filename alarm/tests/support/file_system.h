// SPDX-License-Identifier: MIT
#pragma once

// File-system states that a save must survive, made for one test and undone afterwards:
// an immutable file, a folder nobody can write (also for root), a small full file system.
#include "tikko/alarm/alarm_store.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sched.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tikko::testing {

// Sets the file system's immutable flag on a file or folder (root on ext4 and the like).
class ImmutableFlag {
public:
    explicit ImmutableFlag(const QString& path)
        : m_path(QFile::encodeName(path)) {
        m_set = change(true);
    }
    ~ImmutableFlag() {
        if (m_set)
            change(false);
    }
    ImmutableFlag(const ImmutableFlag&) = delete;
    ImmutableFlag& operator=(const ImmutableFlag&) = delete;

    bool isSet() const { return m_set; }
    const std::string& why() const { return m_why; }

private:
    bool change(bool on) {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return fail();
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (!done)
            fail();
        ::close(fd);
        return done;
    }
    bool fail() {
        m_why = std::strerror(errno);
        return false;
    }

    QByteArray m_path;
    bool m_set = false;
    std::string m_why;
};

// A folder in which no file can be created: no write permission, and for root, who ignores
// permissions, the immutable flag as well.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path)
        : m_path(path) {
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        if (isFolderWritable(path)) {
            m_immutable = std::make_unique<ImmutableFlag>(path);
            m_why = m_immutable->isSet() ? "still writable" : m_immutable->why();
        }
        m_readOnly = !isFolderWritable(path);
    }
    ~ReadOnlyFolder() {
        m_immutable.reset();
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool isReadOnly() const { return m_readOnly; }
    const std::string& why() const { return m_why; }

private:
    QString m_path;
    std::unique_ptr<ImmutableFlag> m_immutable;
    bool m_readOnly = false;
    std::string m_why;
};

struct ChildResult {
    bool ran = false; // false: no private file system could be made, text says why
    QString text;
};

// Runs work in a child process that sees a fresh tmpfs of `kib` KiB mounted on folder, in
// a mount namespace of its own (as root, or as a user where user namespaces are allowed),
// so nothing outside the child ever sees it. Returns what work returned.
inline ChildResult inPrivateTmpfs(const QString& folder, int kib,
                                  const std::function<QString(const QString&)>& work) {
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    int fds[2];
    if (::pipe(fds) != 0)
        return {false, QStringLiteral("no pipe")};
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const pid_t child = ::fork();
    if (child < 0)
        return {false, QStringLiteral("no fork")};
    if (child == 0) {
        ::close(fds[0]);
        const auto report = [&](char ran, const QString& text) {
            const QByteArray bytes = ran + text.toUtf8();
            (void)!::write(fds[1], bytes.constData(), bytes.size());
            ::_exit(0);
        };
        const auto writeFile = [](const char* name, const QByteArray& text) {
            QFile file(QString::fromLatin1(name));
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
        };
        if (::unshare(CLONE_NEWNS) != 0) {
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
                report('0', QString::fromLocal8Bit(std::strerror(errno)));
            writeFile("/proc/self/setgroups", "deny");
            writeFile("/proc/self/uid_map",
                      QByteArray::number(uid) + " " + QByteArray::number(uid) + " 1");
            writeFile("/proc/self/gid_map",
                      QByteArray::number(gid) + " " + QByteArray::number(gid) + " 1");
        }
        // Private first, so that the mount cannot spread to the parent's namespace.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tikko-test", path.constData(), "tmpfs", 0,
                    ("size=" + std::to_string(kib) + "k").c_str()) != 0)
            report('0', QString::fromLocal8Bit(std::strerror(errno)));
        report('1', work(folder));
    }
    ::close(fds[1]);
    QByteArray bytes;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (bytes.isEmpty())
        return {false, QStringLiteral("the child ended without a word")};
    return {bytes.at(0) == '1', QString::fromUtf8(bytes.mid(1))};
}

} // namespace tikko::testing
