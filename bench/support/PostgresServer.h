#pragma once

#include <QString>
#include <QTemporaryDir>

namespace bench {

// A throwaway PostgreSQL cluster for a benchmark (scripts/pg-cluster.sh): a
// Unix socket only, trust authentication, removed when the object goes.
class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer();
    bool started() const { return m_started; }

    // A new empty database; its URL, as user postgres over the socket.
    QString createDatabase(const QString &name);
    // Runs SQL as postgres; false with the message on standard error.
    bool exec(const QString &database, const QString &sql) const;
    // main() of a program that starts servers: `run` in a Qt application, a
    // database error reported rather than thrown out, so that every server is
    // stopped and removed on the way out.
    static int main(int argc, char **argv, int (*run)(int, char **));
    // The server's process id (the postmaster's).
    qint64 pid() const;

private:
    bool script(const QString &action) const;
    QTemporaryDir m_state;
    QString m_socket;
    bool m_started = false;
};

} // namespace bench
