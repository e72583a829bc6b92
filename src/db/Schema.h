#pragma once

#include <QString>
#include <QStringList>

namespace db {

// The administrative system's database objects for SQLite, shipped inside the
// program (sql/*.sql).
class Schema
{
public:
    // "Base de Datos.dba": company, customers, products, sales, credit notes
    // and the saved queries the robot reads and writes.
    static QString mainSchema();
    // "Vextora.dba": the non-fiscal tickets.
    static QString localSchema();
    // The demo installation's rows (sql/demo-main.sql, sql/demo-local.sql).
    static QString demoMainData();
    static QString demoLocalData();

    // Makes a new database file from SQL scripts, all in one transaction. An
    // existing file is an error (DataError File): nothing is overwritten.
    static void createDatabase(const QString &path, const QStringList &scripts);
};

} // namespace db
