#pragma once

#include <QString>
#include <QtGlobal>
#include <sqlite3.h>

namespace bench {

// A generator's own connection to a database file. A benchmark has nothing to
// recover from a failed call: it ends the program with SQLite's message.
class SqliteConnection
{
public:
    explicit SqliteConnection(const QString &path);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    sqlite3 *handle() const { return m_db; }

    void check(int rc, const char *what) const;
    sqlite3_stmt *prepare(const char *sql) const;
    void exec(const char *sql) const;
    // Runs an insert and makes the statement ready for the next row.
    void step(sqlite3_stmt *stmt) const;
    qint64 scalar(const char *sql) const;
    // Opens the transaction of a bulk load, without syncing.
    void beginBulk() const;

private:
    sqlite3 *m_db = nullptr;
};

} // namespace bench
