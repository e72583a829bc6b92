#pragma once

#include <QString>
#include <QStringList>

namespace db {

// The administrative system's database objects for SQLite and PostgreSQL,
// shipped inside the program (sql/*.sql).
class Schema
{
public:
    // "Base de Datos.dba": company, customers, products, sales, credit notes
    // and the saved queries the robot reads and writes.
    static QString mainSchema();
    // The same objects for PostgreSQL, the robots' claims table and the
    // triggers that wake them (sql/notify-postgresql.sql).
    static QString mainSchemaPostgres();
    // The claims table alone (sql/claims-postgresql.sql), for a robot to
    // make it where it is missing.
    static QString claimsPostgres();
    // "Vextora.dba": the non-fiscal tickets.
    static QString localSchema();
    // The demo installation's rows (sql/demo-main.sql, sql/demo-local.sql).
    static QString demoMainData();
    static QString demoLocalData();

    // Makes a new database file from SQL scripts, all in one transaction. An
    // existing file is an error (DataError File): nothing is overwritten.
    static void createDatabase(const QString &path, const QStringList &scripts);

    // Fills the empty PostgreSQL database of `url` with the shipped main
    // schema and the rows that the SQLite scripts `sqliteScripts` (the SQLite
    // main schema, then rows) make: they run in a scratch SQLite database in
    // memory whose tables are copied, in the order they were made, into the
    // tables of the same names; then the identity columns go on after the
    // highest code copied. All in one transaction. A database that already
    // holds a table, view or sequence is refused (DataError File) and left as
    // it was.
    static void createPostgresDatabase(const QString &url, const QStringList &sqliteScripts);
};

} // namespace db
