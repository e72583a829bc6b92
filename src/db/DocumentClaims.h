#pragma once

#include "core/DocumentKind.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>

class QSqlQuery;

namespace db {

class PostgresConnection;

// Which robot has which document of a PostgreSQL main database taken up and
// not yet settled, in the robots' own table (sql/claims-postgresql.sql),
// made where it is missing. The machine's advisory lock dies with its
// session: a server restart in the middle of a document lets another robot
// of the machine take the lock while this one still prints, and the claim
// keeps that robot from printing the same document. On a SQLite main
// database the lock file lasts as long as its robot, and nothing is claimed.
class DocumentClaims
{
public:
    // This robot: its host and program directory, and its fiscal machine.
    DocumentClaims(const QString &url, qint32 machine, const QString &host,
                   const QString &programDir);
    ~DocumentClaims();
    DocumentClaims(const DocumentClaims &) = delete;
    DocumentClaims &operator=(const DocumentClaims &) = delete;

    static QString table() { return QStringLiteral("robot_fiscal_tomas"); }

    // Claims a document for this robot; a claim of its own left standing
    // holds. The other robot ("host:directory") when another one claims it.
    // Throws DataError (Open when the server cannot be reached).
    std::optional<QString> claim(core::DocumentKind kind, qint64 code);
    void release(core::DocumentKind kind, qint64 code);
    // This robot's claims still standing: read from the table once, then
    // kept as it claims and releases.
    QList<QPair<core::DocumentKind, qint64>> own();
    // Whether claims of this robot are known to stand, without asking the server.
    bool standing() const { return m_own && !m_own->isEmpty(); }

private:
    // The kept connection, made again after the server went away, with the
    // table made where it is missing.
    PostgresConnection &connection();
    QSqlQuery run(const QString &sql, const QVariantList &values);

    QString m_url;
    qint32 m_machine;
    QString m_host;
    QString m_directory;
    std::unique_ptr<PostgresConnection> m_connection;
    std::optional<QList<QPair<core::DocumentKind, qint64>>> m_own;
};

} // namespace db
