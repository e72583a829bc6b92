#include "core/StaleLock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace core {

namespace {

enum class Holder { None, Alive, Unwritten };

Holder holderOf(const QByteArray &contents, qint64 ageSeconds)
{
    const QList<QByteArray> lines = contents.split('\n');
    bool ok = false;
    const qint64 pid = lines.value(0).toLongLong(&ok);
    if (lines.size() < 3 || !ok || pid <= 0 || pid > INT_MAX)
        return ageSeconds < StaleLock::kUnwrittenGraceSeconds ? Holder::Unwritten : Holder::None;
    const QString host = QString::fromUtf8(lines[2]);
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return Holder::Alive; // another computer's process: not ours to judge
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return Holder::None;
    // A pid the system gave to another program since. The kernel keeps 15
    // characters of a program's name.
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (comm.open(QIODevice::ReadOnly)) {
        const QByteArray running = comm.readAll().trimmed();
        const QByteArray program =
            QFile::encodeName(QFileInfo(QFile::decodeName(lines[1])).fileName());
        if (!running.isEmpty() && running != program.left(15))
            return Holder::None;
    }
    return Holder::Alive;
}

} // namespace

bool StaleLock::takeOver(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool removed = false;
    struct stat info = {};
    QByteArray contents(512, '\0');
    const ssize_t n = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
                          ? ::read(fd, contents.data(), size_t(contents.size()))
                          : -1;
    if (n >= 0) {
        contents.truncate(n);
        const qint64 age = QDateTime::currentSecsSinceEpoch() - qint64(info.st_mtime);
        // A live holder keeps a native lock on its file: whatever the file
        // says, a lock that cannot be taken here is held.
        if (holderOf(contents, age) == Holder::None && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat now = {};
            // Still the file read, not one a copy made meanwhile.
            removed = ::lstat(name.constData(), &now) == 0 && now.st_ino == info.st_ino &&
                      now.st_dev == info.st_dev && ::unlink(name.constData()) == 0;
        }
    }
    ::close(fd);
    return removed;
}

} // namespace core
