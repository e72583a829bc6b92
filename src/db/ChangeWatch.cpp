#include "db/ChangeWatch.h"

#include "core/FileLayer.h"
#include "db/DataError.h"
#include "db/Database.h"

#include <algorithm>

namespace db {

namespace {

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
    m_timer.start(m_server ? kServerCheck : kFileCheck);
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

void ChangeWatch::checkFile()
{
    // A commit changes the file (or, in write-ahead-log mode, its log): two
    // stat calls, no lock and no read, however often.
    const FileIdentity stamp[] = {FileIdentity::of(m_localFile), FileIdentity::of(m_walFile)};
    const bool moved = m_fileSeen && !std::equal(stamp, stamp + 2, m_file);
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
