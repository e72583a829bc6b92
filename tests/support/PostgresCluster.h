#pragma once

#include <QString>

namespace testsupport {

// A throwaway PostgreSQL cluster of scripts/pg-cluster.sh: listening on a Unix
// socket only, trust authentication, superuser postgres. shared() is the one
// that CTest's fixture `postgres` starts before the tests that require it and
// destroys after them, failed or not; a test that stops and starts a server
// makes one of its own. Every cluster lives under one root, so the fixture's
// cleanup removes those a crashed test left behind too.
class PostgresCluster
{
public:
    // The fixture's cluster; a test run outside CTest fails, naming the script.
    static PostgresCluster &shared();
    // A cluster of the caller's own, made and started now, destroyed with it.
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster &) = delete;
    PostgresCluster &operator=(const PostgresCluster &) = delete;

    void stop() { script(QStringLiteral("stop")); }
    void start() { script(QStringLiteral("start")); }

    // postgresql://USER@<socket directory, percent-encoded>/DATABASE
    QString url(const QString &database, const QString &user = QStringLiteral("postgres")) const;
    // A new, empty database of a name no other test uses; and dropped again,
    // whoever is still connected to it.
    QString createDatabase();
    void dropDatabase(const QString &name);
    // Statements run as postgres on the maintenance database (roles, databases).
    void exec(const QString &sql);

private:
    explicit PostgresCluster(const QString &dir, bool own);
    void script(const QString &action) const;

    QString m_dir;
    bool m_own;
};

} // namespace testsupport
