#pragma once

#include <QString>
#include <memory>
#include <utility>

class QLockFile;

namespace db {

class PostgresConnection;

// One robot per fiscal machine (Caja:) on one main database. On PostgreSQL a
// session-level advisory lock whose keys are the robot's own namespace and
// the machine's number, held by a connection kept for the robot's life; on
// SQLite a lock file beside the database file, named after the machine, that
// names its owner's process (a lock naming no live process is taken over, see
// core::StaleLock; a robot on another computer sharing the directory keeps it). Another robot for
// the same machine on another database, or for another machine, is no obstacle.
class MachineLock
{
public:
    enum class State { Held, HeldByAnother, Unreachable };

    // `mainDatabase`: the file's path or the server's URL; empty: no database,
    // nothing to lock.
    MachineLock(const QString &mainDatabase, qint32 machine);
    ~MachineLock();
    MachineLock(const MachineLock &) = delete;
    MachineLock &operator=(const MachineLock &) = delete;

    // Takes the lock unless this robot holds it. Unreachable: the database or
    // its directory cannot be reached now (why: unreachableReason()).
    State acquire();
    // Before anything is printed: true while this robot holds the lock,
    // taken again if its connection broke (a server restarted). False when
    // another robot took it meanwhile. Throws DataError (Open) when the
    // database cannot be reached, with the message any other statement gets.
    bool keep();

    // True once, after acquire or keep took over a lock file that named no
    // live process, so that the operator is told.
    bool takeTookOverStale() { return std::exchange(m_tookOverStale, false); }

    // Why the last attempt could not reach the database, and what it concerns.
    const QString &unreachableReason() const { return m_reason; }
    // The lock file of a SQLite main database.
    static QString lockFilePath(const QString &databasePath, qint32 machine);
    // The first key of the advisory lock: "RFIS" in ASCII, the robot's own
    // namespace; the second is the machine's number.
    static constexpr qint32 kNamespace = 0x52464953;

private:
    State acquirePostgres();
    State acquireFile();

    QString m_database;
    qint32 m_machine;
    bool m_held = false;
    bool m_tookOverStale = false;
    QString m_reason;
    QString m_subject;
    std::unique_ptr<PostgresConnection> m_connection;
    std::unique_ptr<QLockFile> m_file;
};

} // namespace db
