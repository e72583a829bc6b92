#include "support/SqliteFile.h"

#include "db/Schema.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdexcept>

namespace testsupport {

namespace {

QVariant value(sqlite3_stmt *stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i))));
    }
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
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        throw std::runtime_error("cannot open test database");
    }
    sqlite3_busy_timeout(m_db, 10000);
}

SqliteFile::~SqliteFile()
{
    sqlite3_close(m_db);
}

void SqliteFile::exec(const QString &sql)
{
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        ADD_FAILURE() << (message ? message : "error") << " in " << sql.toStdString();
        sqlite3_free(message);
        throw std::runtime_error("test SQL failed");
    }
}

QVariantList SqliteFile::column(const QString &sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(m_db) << " in " << sql.toStdString();
        throw std::runtime_error("test SQL failed");
    }
    QVariantList out;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        out << value(stmt, 0);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        ADD_FAILURE() << sqlite3_errmsg(m_db) << " in " << sql.toStdString();
        throw std::runtime_error("test SQL failed");
    }
    return out;
}

QVariant SqliteFile::scalar(const QString &sql)
{
    const QVariantList values = column(sql);
    return values.isEmpty() ? QVariant() : values.first();
}

} // namespace testsupport
