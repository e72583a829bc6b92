#include "db/Schema.h"

#include "core/FileLayer.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/PostgresConnection.h"
#include "db/SqlQuote.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <memory>
#include <sqlite3.h>

namespace db {

namespace {

// A script built into the program. A line `.read NAME` (SQLite's shell) or
// `\ir NAME` (PostgreSQL's) stands for the script NAME, as in the shells:
// the saved queries both engines share are written once.
QString resource(const QString &name)
{
    QFile file(QStringLiteral(":/sql/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(DataError::Kind::File, core::texts::kSqlScriptMissing, name);
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        for (const QLatin1String include : {QLatin1String(".read "), QLatin1String("\\ir ")}) {
            if (line.startsWith(include))
                line = resource(line.mid(include.size()).trimmed());
        }
    }
    return lines.join(QLatin1Char('\n'));
}

// A scratch SQLite database in memory, made from scripts.
class Scratch
{
public:
    explicit Scratch(const QStringList &scripts)
    {
        sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        char *message = nullptr;
        const QByteArray sql = scripts.join(QLatin1Char('\n')).toUtf8();
        if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            const QString failure = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
            sqlite3_free(message);
            throw DataError(DataError::Kind::Query, failure, QStringLiteral(":memory:"));
        }
    }
    ~Scratch() { sqlite3_close(m_db); }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;

    // Calls `row` with every row of `sql`, its values as SQL literals.
    template <typename Row> void rows(const QString &sql, Row row) const
    {
        step(sql, [&](sqlite3_stmt *stmt) {
            QStringList values;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                values << literal(stmt, i);
            row(values);
        });
    }

    // The first column of every row of `sql`, as text.
    QStringList texts(const QString &sql) const
    {
        QStringList out;
        step(sql, [&](sqlite3_stmt *stmt) {
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        });
        return out;
    }

private:
    template <typename Each> void step(const QString &sql, Each each) const
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            throw DataError(DataError::Kind::Query, QString::fromUtf8(sqlite3_errmsg(m_db)), sql);
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> guard(stmt, sqlite3_finalize);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            each(stmt);
    }

    static QString literal(sqlite3_stmt *stmt, int i)
    {
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_NULL:
            return QStringLiteral("NULL");
        case SQLITE_INTEGER:
            return QString::number(sqlite3_column_int64(stmt, i));
        case SQLITE_FLOAT:
            return QString::number(sqlite3_column_double(stmt, i), 'g', 17);
        case SQLITE_BLOB:
            return QStringLiteral("'\\x") +
                   QString::fromLatin1(
                       QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, i)),
                                  sqlite3_column_bytes(stmt, i))
                           .toHex()) +
                   QStringLiteral("'::bytea");
        default:
            return SqlQuote::text(
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)),
                                  sqlite3_column_bytes(stmt, i)));
        }
    }

    sqlite3 *m_db = nullptr;
};

// A statement's first value, through the connection's error mapping.
QVariant scalar(PostgresConnection &pg, const QString &sql)
{
    QSqlQuery query(pg.database());
    if (!query.exec(sql))
        throw pg.error(query.lastError(), sql);
    return query.next() ? query.value(0) : QVariant();
}

} // namespace

QString Schema::claimsPostgres()
{
    return resource(QStringLiteral("claims-postgresql.sql"));
}

QString Schema::mainSchemaPostgres()
{
    // With the triggers that wake the robots at once.
    return resource(QStringLiteral("main-schema-postgresql.sql")) + QLatin1Char('\n') +
           resource(QStringLiteral("notify-postgresql.sql"));
}

QString Schema::mainSchema()
{
    return resource(QStringLiteral("main-schema.sql"));
}

QString Schema::localSchema()
{
    return resource(QStringLiteral("local-schema.sql"));
}

QString Schema::demoMainData()
{
    return resource(QStringLiteral("demo-main.sql"));
}

QString Schema::demoLocalData()
{
    return resource(QStringLiteral("demo-local.sql"));
}

void Schema::createDatabase(const QString &path, const QStringList &scripts)
{
    const QString local = core::FileLayer::localPath(path);
    if (QFileInfo::exists(local))
        throw DataError(DataError::Kind::File, core::texts::kFileExists, path);
    sqlite3 *db = nullptr;
    const QByteArray name = local.toUtf8();
    int rc =
        sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString failure;
    if (rc != SQLITE_OK) {
        failure = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    } else {
        const QByteArray sql = (QStringLiteral("BEGIN;\n") + scripts.join(QLatin1Char('\n')) +
                                QStringLiteral("\nCOMMIT;"))
                                   .toUtf8();
        char *message = nullptr;
        rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message);
        if (rc != SQLITE_OK) {
            failure = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
            sqlite3_free(message);
        }
    }
    sqlite3_close(db);
    if (!failure.isEmpty()) {
        QFile::remove(local);
        throw DataError(DataError::Kind::Query, failure, path);
    }
}

void Schema::createPostgresDatabase(const QString &url, const QStringList &sqliteScripts)
{
    QString why;
    const std::optional<PostgresUrl> parsed = PostgresUrl::parse(url, &why);
    if (!parsed)
        throw DataError(DataError::Kind::Open, core::texts::invalidUrl(why), url);
    PostgresConnection::Session session;
    session.statementTimeoutMs = 0;
    PostgresConnection pg(*parsed, session);
    const QString objects =
        QStringLiteral("SELECT count(*) FROM pg_catalog.pg_class c "
                       "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                       "WHERE c.relkind IN ('r', 'v', 'm', 'S', 'f', 'p') "
                       "AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
                       "AND n.nspname NOT LIKE 'pg\\_toast%' AND n.nspname NOT LIKE 'pg\\_temp%'");
    if (scalar(pg, objects).toLongLong() > 0)
        throw DataError(DataError::Kind::File, core::texts::kDatabaseNotEmpty, url);
    const Scratch scratch(sqliteScripts);

    pg.exec(QStringLiteral("BEGIN"));
    try {
        pg.exec(mainSchemaPostgres());
        const QStringList tables =
            scratch.texts(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                         "AND name NOT LIKE 'sqlite%' ORDER BY rowid"));
        for (const QString &table : tables) {
            QStringList columns;
            for (const QString &column :
                 scratch.texts(QStringLiteral("SELECT name FROM pragma_table_info(%1)")
                                   .arg(SqlQuote::text(table))))
                columns << SqlQuote::name(column);
            const QString insert =
                QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                    .arg(SqlQuote::name(table), columns.join(QStringLiteral(", ")));
            QStringList batch;
            auto flush = [&] {
                if (!batch.isEmpty())
                    pg.exec(insert + batch.join(QStringLiteral(", ")));
                batch.clear();
            };
            scratch.rows(QStringLiteral("SELECT * FROM %1").arg(SqlQuote::name(table)),
                         [&](const QStringList &row) {
                             batch << QLatin1Char('(') + row.join(QStringLiteral(", ")) +
                                          QLatin1Char(')');
                             if (batch.size() >= 500)
                                 flush();
                         });
            flush();
        }
        // New rows of the administrative system take codes after the copied ones.
        QSqlQuery identities(pg.database());
        const QString identitySql =
            QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                           "WHERE is_identity = 'YES' AND table_schema = current_schema()");
        if (!identities.exec(identitySql))
            throw pg.error(identities.lastError(), identitySql);
        QStringList resets;
        while (identities.next()) {
            const QString table = SqlQuote::name(identities.value(0).toString());
            const QString column = identities.value(1).toString();
            resets << QStringLiteral("SELECT setval(pg_get_serial_sequence(%1, %2), "
                                     "coalesce(max(%3), 0) + 1, false) FROM %4")
                          .arg(SqlQuote::text(table), SqlQuote::text(column),
                               SqlQuote::name(column), table);
        }
        for (const QString &reset : resets)
            pg.exec(reset);
        pg.exec(QStringLiteral("COMMIT"));
    } catch (const DataError &) {
        if (!pg.lost()) {
            QSqlQuery rollback(pg.database());
            rollback.exec(QStringLiteral("ROLLBACK"));
        }
        throw;
    }
    // The planner's statistics, so the pending lists take their indexes at once.
    pg.exec(QStringLiteral("ANALYZE"));
}

} // namespace db
