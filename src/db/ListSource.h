#pragma once

#include "db/RecordSet.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace db {

class Database;

// A database path (or server URL) and a query text whose result set the robot
// opens, refreshes and reads by column name. The list sources of one database
// share one connection, kept between refreshes; each refresh reads the rows
// whole. A SQLite file whose identity changed since it was opened (moved
// away, restored from a backup, replaced under the same name, or written) is
// opened afresh first, so an old copy is never read; a connection that
// failed is dropped and the next refresh opens a new one.
class ListSource
{
public:
    ListSource();
    ~ListSource();
    ListSource(const ListSource &) = delete;
    ListSource &operator=(const ListSource &) = delete;

    void setDatabaseName(const QString &path);
    const QString &databaseName() const { return m_databaseName; }
    void setRecordSource(const QString &sql);
    const QString &recordSource() const { return m_recordSource; }
    // How datevalue('...') dates in the query are written.
    void setShortDateFormat(const QString &format);

    // Runs the query again and stands on its first row. Without a database or
    // a query there is no result set and nothing happens. Throws DataError;
    // after a failure the source holds no rows (nothing counts as waiting)
    // and the next refresh opens the database afresh.
    void refresh();
    // Rows of the last refresh; 0 before the first.
    int recordCount() const { return m_recordset.recordCount(); }
    // The current result set, for reading the current row by column name.
    RecordSet &recordset() { return m_recordset; }
    const RecordSet &recordset() const { return m_recordset; }
    // The column VistaEspecial of every row, for the list displays; a null
    // value (a null operand of a joined text) is an empty line.
    QStringList displayLines() const;
    // Drops the rows and lets go of the connection.
    void close();

private:
    std::shared_ptr<Database> m_database;
    QString m_databaseName;
    QString m_recordSource;
    QString m_shortDateFormat = QStringLiteral("dd/MM/yyyy");
    RecordSet m_recordset;
};

} // namespace db
