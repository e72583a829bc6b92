#pragma once

#include "db/Database.h"
#include "support/MainRows.h"
#include "support/TestDir.h"

#include <QJsonObject>
#include <gtest/gtest.h>
#include <memory>

namespace db {
// For gtest, which otherwise shows the engine as its bytes.
inline void PrintTo(Database::Engine engine, std::ostream *os)
{
    *os << (engine == Database::Engine::Sqlite ? "SQLite" : "PostgreSQL");
}
} // namespace db

namespace testsupport {

using Engine = db::Database::Engine;
class PostgresCluster;

// A suite run once per engine of the main database, its tests named
// Suite.Test/SQLite and Suite.Test/PostgreSQL (see RUN_ON_BOTH_ENGINES).
class OnEngine : public ::testing::TestWithParam<Engine>
{
public:
    static std::string name(const ::testing::TestParamInfo<Engine> &info)
    {
        return ::testing::PrintToString(info.param);
    }
};

// A complete program directory on the built simulator: Vextora.inf, the
// maintenance marker, robot-fiscal.ini, fiscalsim.ini, the local database,
// and the main database made from the shipped schema on either engine: the
// SQLite file in the data directory, or a fresh database on a PostgreSQL
// cluster that robot-fiscal.ini's [database] Url names, dropped afterwards.
class Installation : public TestDir
{
public:
    struct Setup
    {
        QString type = QStringLiteral("HKA");
        QByteArray simIni = {};   // added to fiscalsim.ini: [counters], [faults], [link]
        QByteArray robotIni = {}; // added to robot-fiscal.ini
        Engine engine = Engine::Sqlite;
        int fiscalMachine = 1; // Vextora.inf's Caja
        // The main database's rows in SQLite's SQL, instead of one company's settings.
        QString rows = {};
        // Another register's installation whose main database (and, on SQLite,
        // data directory) this one shares, on its engine.
        const Installation *sharing = nullptr;
        // PostgreSQL: a cluster of the test's own instead of the shared one.
        PostgresCluster *cluster = nullptr;
    };
    Installation();
    explicit Installation(const Setup &setup);
    ~Installation();

    // The main database's file path or URL.
    const QString &mainDatabase() const { return m_main; }
    Engine engine() const { return m_engine; }
    MainRows &db() { return *m_rows; }
    // The main database out of reach and back: the file moved aside, or the
    // server of the cluster given in Setup stopped (db() unusable meanwhile).
    void setDatabaseAway(bool away);
    // fiscalsim.ini afresh: the printer type and serial, then `extra`.
    void writeSimIni(const QByteArray &extra) const;

    // What the simulator was asked, one entry per call, fields split at tabs.
    QList<QStringList> simLog() const;
    // The SendCmd commands in order, " [refused]" after each one refused.
    QStringList sentCommands() const;
    QString paper() const;
    QJsonObject fiscalMemory() const;

private:
    QString m_type;
    Engine m_engine;
    QString m_main;
    PostgresCluster *m_cluster = nullptr; // set when this installation made a server database
    QString m_database;
    std::unique_ptr<MainRows> m_rows;
};

} // namespace testsupport

#define RUN_ON_BOTH_ENGINES(suite)                                                                 \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engine, suite,                                                                             \
        ::testing::Values(testsupport::Engine::Sqlite, testsupport::Engine::Postgres),             \
        testsupport::OnEngine::name)
