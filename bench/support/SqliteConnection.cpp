#include "SqliteConnection.h"

#include <cstdio>
#include <cstdlib>

namespace bench {

SqliteConnection::SqliteConnection(const QString &path)
{
    check(sqlite3_open(path.toUtf8().constData(), &m_db), "open");
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close(m_db);
}

void SqliteConnection::check(int rc, const char *what) const
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(m_db));
        std::exit(1);
    }
}

sqlite3_stmt *SqliteConnection::prepare(const char *sql) const
{
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr), sql);
    return stmt;
}

void SqliteConnection::exec(const char *sql) const
{
    check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), sql);
}

void SqliteConnection::step(sqlite3_stmt *stmt) const
{
    check(sqlite3_step(stmt), "insert");
    sqlite3_reset(stmt);
}

qint64 SqliteConnection::scalar(const char *sql) const
{
    sqlite3_stmt *stmt = prepare(sql);
    check(sqlite3_step(stmt), sql);
    const qint64 v = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return v;
}

void SqliteConnection::beginBulk() const
{
    // Only while generating: the file is ours and a crash just means a rerun.
    exec("PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; BEGIN;");
}

} // namespace bench
