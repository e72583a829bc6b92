#include "db/ChangeWatch.h"

#include "core/FileLayer.h"
#include "db/DataError.h"
#include "db/Database.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif

namespace db {

namespace {

// Where the kernel hears of every write to the file: not a network file
// system, whose client knows only its own machine's writes.
bool toldOfWrites(const QString &file)
{
#ifdef Q_OS_LINUX
    struct statfs fs;
    if (::statfs(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE (sshfs, ...)
    case 0x01021997UL: // 9P
    case 0x00C36400UL: // Ceph
    case 0x5346414FUL: // AFS
    case 0x73757245UL: // Coda
        return false;
    default:
        return true;
    }
#else
    Q_UNUSED(file);
    return false;
#endif
}

// A lock held by another program is not waited for: the event loop goes on,
// and the next check looks again.
Database::Options watchOptions()
{
    Database::Options options;
    options.busyTimeoutMs = 0;
    return options;
}

} // namespace

ChangeWatch::ChangeWatch(const QString &location, qint32 machine, QObject *parent)
    : QObject(parent), m_location(location), m_machine(machine),
      m_server(Database::engineOf(location) == Database::Engine::Postgres),
      m_localFile(m_server ? QString() : core::FileLayer::localPath(location)),
      m_walFile(m_localFile + QStringLiteral("-wal"))
{
    connect(&m_timer, &QTimer::timeout, this, &ChangeWatch::check);
    const bool told = !m_server && toldOfWrites(m_localFile);
    m_timer.start(m_server ? kServerCheck : told ? kToldFileCheck : kFileCheck);
    if (told) {
        m_watcher = new QFileSystemWatcher(this);
        m_settle.setSingleShot(true);
        m_settle.setInterval(kEventsSettle);
        connect(&m_settle, &QTimer::timeout, this, &ChangeWatch::check);
        connect(m_watcher, &QFileSystemWatcher::fileChanged, &m_settle,
                qOverload<>(&QTimer::start));
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
                qOverload<>(&QTimer::start));
    }
    check();
}

ChangeWatch::~ChangeWatch() = default;

ChangeWatch::Way ChangeWatch::way() const
{
    if (!m_server)
        return m_file[0].exists ? Way::Changes : Way::Ticks;
    return m_db && m_listening ? Way::Notifications : Way::Ticks;
}

void ChangeWatch::check()
{
    try {
        m_server ? checkServer() : checkFile();
    } catch (const DataError &) {
        m_db.reset();
        m_listening = false;
    }
}

void ChangeWatch::watchFiles()
{
    // A file replaced or made afresh is another inode: watched again.
    const QStringList paths{m_localFile, m_walFile, QFileInfo(m_localFile).absolutePath()};
    for (const QString &path : paths)
        if (!m_watcher->files().contains(path) && !m_watcher->directories().contains(path) &&
            QFileInfo::exists(path))
            m_watcher->addPath(path);
}

void ChangeWatch::checkFile()
{
    // A commit changes the file (or, in write-ahead-log mode, its log): two
    // stat calls, no lock and no read.
    const FileIdentity stamp[] = {FileIdentity::of(m_localFile), FileIdentity::of(m_walFile)};
    const bool moved = m_fileSeen && !std::equal(stamp, stamp + 2, m_file);
    if (m_watcher) {
        // Another inode under the name (replaced, restored, made afresh) is
        // watched in its place.
        if (stamp[0].inode != m_file[0].inode || stamp[1].inode != m_file[1].inode) {
            if (!m_watcher->files().isEmpty())
                m_watcher->removePaths(m_watcher->files());
        }
        watchFiles();
    }
    std::copy(stamp, stamp + 2, m_file);
    m_fileSeen = true;
    if (moved)
        Q_EMIT changed();
}

void ChangeWatch::checkServer()
{
    if (m_db && !m_db->lost()) {
        // A server that went away shows here, not by a notification.
        m_db->openRecordset(QStringLiteral("Select 1"));
        return;
    }
    m_db.reset();
    m_listening = false;
    m_db = Database::open(m_location, watchOptions());
    // Without the triggers nothing would ever come: the ticks alone, as said.
    const RecordSet triggers = m_db->openRecordset(
        QStringLiteral("Select count(*) as n from pg_proc where proname='robot_fiscal_avisar'"));
    if (triggers.field(QStringLiteral("n")).toInt() > 0) {
        m_db->listen(kChannel, [this](const QString &payload) {
            bool ok = false;
            const qint32 machine = payload.toInt(&ok);
            if (!ok || machine == m_machine)
                Q_EMIT changed();
        });
        m_listening = true;
    }
    reconnected();
}

void ChangeWatch::reconnected()
{
    if (std::exchange(m_connectedBefore, true))
        Q_EMIT changed();
}

} // namespace db
