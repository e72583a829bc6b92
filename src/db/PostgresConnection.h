#pragma once

#include "db/DataError.h"
#include "db/PostgresUrl.h"

#include <QString>

class QSqlDatabase;
class QSqlError;

namespace db {

// One connection of Qt's PostgreSQL driver (QPSQL) to the database of a URL,
// under a connection name of its own, closed and removed by the destructor.
class PostgresConnection
{
public:
    // Session settings: how long a statement waits for a lock (the busy
    // timeout), and how long a statement may run at all.
    struct Session
    {
        int lockTimeoutMs = 5000;
        // 0: no limit.
        int statementTimeoutMs = 60000;
        // The server notices a client that vanished from the network (power
        // cut, cable) within about a minute instead of hours: for the
        // connection that holds the fiscal machine's lock.
        bool keepalives = false;
    };

    // Connects; throws DataError (Open) naming the URL.
    PostgresConnection(const PostgresUrl &url, const Session &session);
    ~PostgresConnection();
    PostgresConnection(const PostgresConnection &) = delete;
    PostgresConnection &operator=(const PostgresConnection &) = delete;

    QSqlDatabase database() const;
    const PostgresUrl &url() const { return m_url; }
    // True once a statement found the server gone: the connection is of no
    // further use.
    bool lost() const { return m_lost; }

    // Runs a statement whose result is not read; throws DataError.
    void exec(const QString &sql);
    // The DataError for a failed statement. A server that went away,
    // refuses connections (starting or stopping) or cannot be reached gives
    // always the same message, so that an outage is told once however it
    // shows; a lock or timeout is Busy. Marks the connection lost when the
    // server went away.
    DataError error(const QSqlError &error, const QString &sql);

    // The message of every form of an outage.
    static QString outageMessage();

private:
    PostgresUrl m_url;
    QString m_name;
    bool m_lost = false;
};

} // namespace db
