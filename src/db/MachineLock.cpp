#include "db/MachineLock.h"

#include "core/FileLayer.h"
#include "core/StaleLock.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/PostgresConnection.h"

#include <QFileInfo>
#include <QLockFile>
#include <QSqlError>
#include <QSqlQuery>

namespace db {

MachineLock::MachineLock(const QString &mainDatabase, qint32 machine)
    : m_database(mainDatabase), m_machine(machine)
{
}

MachineLock::~MachineLock()
{
    // Let go at once rather than when the server notices the session ended.
    if (m_held && m_connection) {
        QSqlQuery query(m_connection->database());
        query.exec(
            QStringLiteral("SELECT pg_advisory_unlock(%1, %2)").arg(kNamespace).arg(m_machine));
    }
}

QString MachineLock::lockFilePath(const QString &databasePath, qint32 machine)
{
    return core::FileLayer::localPath(databasePath) + QStringLiteral(".caja-%1.lock").arg(machine);
}

MachineLock::State MachineLock::acquire()
{
    if (m_held)
        return State::Held;
    if (m_database.isEmpty()) {
        m_held = true;
        return State::Held;
    }
    m_reason.clear();
    m_subject.clear();
    const State state = Database::engineOf(m_database) == Database::Engine::Postgres
                            ? acquirePostgres()
                            : acquireFile();
    m_held = state == State::Held;
    return state;
}

MachineLock::State MachineLock::acquirePostgres()
{
    QString why;
    const std::optional<PostgresUrl> url = PostgresUrl::parse(m_database, &why);
    if (!url) {
        m_reason = core::texts::invalidUrl(why);
        m_subject = m_database;
        return State::Unreachable;
    }
    try {
        PostgresConnection::Session session;
        session.keepalives = true;
        m_connection = std::make_unique<PostgresConnection>(*url, session);
        bool taken = false;
        {
            QSqlQuery query(m_connection->database());
            const QString sql = QStringLiteral("SELECT pg_try_advisory_lock(%1, %2)")
                                    .arg(kNamespace)
                                    .arg(m_machine);
            if (!query.exec(sql))
                throw m_connection->error(query.lastError(), sql);
            taken = query.next() && query.value(0).toBool();
        }
        if (taken)
            return State::Held;
        // Nothing to keep a session for.
        m_connection.reset();
        return State::HeldByAnother;
    } catch (const DataError &e) {
        m_connection.reset();
        m_reason = e.message();
        m_subject = e.subject();
        return State::Unreachable;
    }
}

MachineLock::State MachineLock::acquireFile()
{
    const QString path = lockFilePath(m_database, m_machine);
    if (!m_file) {
        m_file = std::make_unique<QLockFile>(path);
        // Never stale by age: only a dead owner frees it.
        m_file->setStaleLockTime(0);
    }
    const bool stale = core::StaleLock::takeOver(path);
    if (m_file->tryLock(0)) {
        m_tookOverStale = stale;
        return State::Held;
    }
    if (m_file->error() == QLockFile::LockFailedError)
        return State::HeldByAnother;
    m_reason = core::texts::kLockFileNotCreated;
    m_subject = path;
    // The directory may not exist yet: a fresh object tries again.
    m_file.reset();
    return State::Unreachable;
}

bool MachineLock::keep()
{
    if (m_held && m_connection) {
        // The lock lives as long as its session: a session that answers holds it.
        {
            QSqlQuery query(m_connection->database());
            if (query.exec(QStringLiteral("SELECT 1")))
                return true;
        }
        m_connection.reset();
        m_held = false;
    }
    switch (acquire()) {
    case State::Held:
        return true;
    case State::HeldByAnother:
        return false;
    case State::Unreachable:
        break;
    }
    throw DataError(DataError::Kind::Open, m_reason, m_subject);
}

} // namespace db
