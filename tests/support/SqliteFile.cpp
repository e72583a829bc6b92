#include "support/SqliteFile.h"

#include "db/Schema.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdexcept>

namespace testsupport {

namespace {
void check(bool ok, sqlite3 *db, const QString &what)
{
    if (ok)
        return;
    ADD_FAILURE() << sqlite3_errmsg(db) << " in " << what.toStdString();
    throw std::runtime_error("test SQL failed");
}
} // namespace

void SqliteFile::createMain(const QString &path)
{
    db::Schema::createDatabase(path, {db::Schema::mainSchema()});
}

void SqliteFile::createLocal(const QString &path)
{
    db::Schema::createDatabase(path, {db::Schema::localSchema()});
}

SqliteFile::SqliteFile(const QString &path) : m_path(path)
{
    const QByteArray name = path.toUtf8();
    check(sqlite3_open_v2(name, &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK, m_db, path);
    sqlite3_busy_timeout(m_db, 10000);
}

SqliteFile::~SqliteFile()
{
    sqlite3_close(m_db);
}

void SqliteFile::exec(const QString &sql)
{
    check(sqlite3_exec(m_db, sql.toUtf8(), nullptr, nullptr, nullptr) == SQLITE_OK, m_db, sql);
}

QVariantList SqliteFile::column(const QString &sql)
{
    sqlite3_stmt *stmt = nullptr;
    check(sqlite3_prepare_v2(m_db, sql.toUtf8(), -1, &stmt, nullptr) == SQLITE_OK, m_db, sql);
    QVariantList out;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        switch (sqlite3_column_type(stmt, 0)) {
        case SQLITE_INTEGER:
            out << QVariant(qlonglong(sqlite3_column_int64(stmt, 0)));
            break;
        case SQLITE_FLOAT:
            out << QVariant(sqlite3_column_double(stmt, 0));
            break;
        case SQLITE_NULL:
            out << QVariant();
            break;
        default:
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        }
    }
    sqlite3_finalize(stmt);
    check(rc == SQLITE_DONE, m_db, sql);
    return out;
}

QVariant SqliteFile::scalar(const QString &sql)
{
    const QVariantList values = column(sql);
    return values.isEmpty() ? QVariant() : values.first();
}

} // namespace testsupport
