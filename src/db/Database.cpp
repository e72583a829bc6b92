#include "db/Database.h"

#include "core/FileLayer.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/FileIdentity.h"
#include "db/PostgresConnection.h"
#include "db/PostgresDialect.h"
#include "db/SqliteDialect.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace db {

namespace {

QAtomicInteger<quint64> connectionCounter;

// SQLite's primary result codes (extended codes carry them in the low byte).
constexpr int kBusy = 5;
constexpr int kLocked = 6;
constexpr int kCantOpen = 14;
constexpr int kNotADatabase = 26;

DataError sqlError(const QSqlError &error, const QString &sql)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    DataError::Kind kind = DataError::Kind::Query;
    if (ok && (code == kBusy || code == kLocked))
        kind = DataError::Kind::Busy;
    else if (ok && (code == kNotADatabase || code == kCantOpen))
        kind = DataError::Kind::Open;
    const QString message = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return DataError(kind, message, sql);
}

// SQLite's URI for an existing file opened read-write. A share (//server/...)
// keeps its two slashes in the path: as a URI authority SQLite would refuse it.
QString readWriteUri(const QString &absolutePath)
{
    const QString slashes =
        absolutePath.startsWith(QLatin1Char('/')) ? QStringLiteral("//") : QStringLiteral("///");
    return QStringLiteral("file:") + slashes +
           QString::fromLatin1(QUrl::toPercentEncoding(absolutePath, "/:")) +
           QStringLiteral("?mode=rw");
}

// A few distinct texts per connection are run over and over (the lists on
// every tick); the jobs' texts differ by code but live on short connections.
constexpr qsizetype kTranslationCacheSize = 32;
constexpr qsizetype kPreparedLimit = 8;

// Values as the SQLite engine gives them, whatever the engine: integers as
// qint64, booleans as Jet's -1 and 0, dates and times as ISO-8601 text.
QVariant plainValue(const QVariant &v)
{
    if (v.isNull())
        return QVariant();
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QVariant(v.toLongLong());
    case QMetaType::Bool:
        return QVariant(qlonglong(v.toBool() ? -1 : 0));
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    default:
        return v;
    }
}

} // namespace

struct Database::Private
{
    QString path;
    Engine engine = Engine::Sqlite;
    QString connection;                           // SQLite
    QString localFile;                            // SQLite
    FileIdentity identity;                        // SQLite, when opened
    std::unique_ptr<PostgresConnection> postgres; // PostgreSQL
    std::unique_ptr<SqlDialect> dialect;
    mutable QHash<QString, QString> translated;

    QSqlDatabase db() const
    {
        if (postgres)
            return postgres->database();
        if (connection.isEmpty())
            throw DataError(DataError::Kind::Open, core::texts::kDatabaseClosed, path);
        return QSqlDatabase::database(connection, false);
    }

    DataError error(const QSqlError &e, const QString &sql) const
    {
        return postgres ? postgres->error(e, sql) : sqlError(e, sql);
    }

    // On a server, a query text run a second time on this connection (the
    // lists, at every tick) becomes a prepared statement, executed from then
    // on: the server plans it once instead of at every run. The jobs' texts,
    // run once, are sent as they are. The session's end drops the statements.
    mutable QHash<QString, int> runs;
    mutable QHash<QString, QString> prepared;

    QString statementFor(const QString &text) const
    {
        if (!postgres)
            return text;
        if (auto it = prepared.constFind(text); it != prepared.cend())
            return *it;
        if (runs.size() >= kTranslationCacheSize)
            runs.clear();
        if (++runs[text] < 2 || prepared.size() >= kPreparedLimit)
            return text;
        const QString name = QStringLiteral("robot_%1").arg(prepared.size() + 1);
        QSqlQuery prepare(db());
        if (!prepare.exec(QStringLiteral("PREPARE %1 AS %2").arg(name, text)))
            return text;
        return *prepared.insert(text, QStringLiteral("EXECUTE ") + name);
    }
};

Database::Database() : d(std::make_unique<Private>()) {}

Database::~Database()
{
    close();
}

std::unique_ptr<Database> Database::open(const QString &path, const QString &shortDateFormat)
{
    Options options;
    options.shortDateFormat = shortDateFormat;
    return open(path, options);
}

Database::Engine Database::engineOf(const QString &location)
{
    return PostgresUrl::isUrl(location) ? Engine::Postgres : Engine::Sqlite;
}

std::unique_ptr<Database> Database::open(const QString &path, const Options &options)
{
    if (engineOf(path) == Engine::Postgres) {
        QString why;
        const std::optional<PostgresUrl> url = PostgresUrl::parse(path, &why);
        if (!url)
            throw DataError(DataError::Kind::Open, core::texts::invalidUrl(why), path);
        std::unique_ptr<Database> self(new Database);
        self->d->path = path;
        self->d->engine = Engine::Postgres;
        PostgresConnection::Session session;
        session.lockTimeoutMs = options.busyTimeoutMs;
        self->d->postgres = std::make_unique<PostgresConnection>(*url, session);
        self->d->dialect = std::make_unique<PostgresDialect>(options.shortDateFormat);
        QSqlDatabase db = self->d->postgres->database();
        self->d->dialect->prepareConnection(db);
        return self;
    }

    const QString local = core::FileLayer::localPath(path);
    const QFileInfo info(local);
    if (local.isEmpty() || !info.exists())
        throw DataError(DataError::Kind::Open, core::texts::kNoDatabaseFile, path);
    if (!info.isFile())
        throw DataError(DataError::Kind::Open, core::texts::kNotADatabaseFile, path);

    std::unique_ptr<Database> self(new Database);
    self->d->path = path;
    self->d->localFile = info.absoluteFilePath();
    // Taken before opening: a change between the two shows as a change.
    self->d->identity = FileIdentity::of(self->d->localFile);
    self->d->dialect = std::make_unique<SqliteDialect>(options.shortDateFormat);
    const QString name = QStringLiteral("robot-db-%1").arg(++connectionCounter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        self->d->connection = name;
        if (!db.isValid())
            throw DataError(DataError::Kind::Open, core::texts::kNoSqliteDriver, path);
        // mode=rw opens only a file that exists: SQLite never creates one here,
        // even if the file vanished since the check above.
        db.setDatabaseName(readWriteUri(info.absoluteFilePath()));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1")
                                 .arg(qMax(0, options.busyTimeoutMs)));
        if (!db.open()) {
            DataError e = sqlError(db.lastError(), path);
            throw DataError(DataError::Kind::Open, e.message(), path);
        }
        self->d->dialect->prepareConnection(db);
        // SQLite reads the file only at the first statement: a file that is
        // not a database shows here, not at a job's first query.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            const DataError e = sqlError(probe.lastError(), path);
            throw DataError(e.kind() == DataError::Kind::Busy ? e.kind() : DataError::Kind::Open,
                            e.message(), path);
        }
    }
    return self;
}

const QString &Database::path() const
{
    return d->path;
}

Database::Engine Database::engine() const
{
    return d->engine;
}

bool Database::fileChanged() const
{
    return d->engine == Engine::Sqlite && FileIdentity::of(d->localFile) != d->identity;
}

bool Database::lost() const
{
    return d->postgres && d->postgres->lost();
}

QString Database::translate(const QString &sql) const
{
    auto it = d->translated.constFind(sql);
    if (it != d->translated.cend())
        return *it;
    const QString text = d->dialect->translate(sql);
    if (d->translated.size() >= kTranslationCacheSize)
        d->translated.clear();
    d->translated.insert(sql, text);
    return text;
}

void Database::listen(const QString &channel, std::function<void(const QString &payload)> notified)
{
    QSqlDriver *driver = d->db().driver();
    if (!driver->subscribeToNotification(channel))
        throw d->error(driver->lastError(), QStringLiteral("LISTEN ") + channel);
    QObject::connect(driver, &QSqlDriver::notification, driver,
                     [channel, notified = std::move(notified)](const QString &name,
                                                               QSqlDriver::NotificationSource,
                                                               const QVariant &payload) {
                         if (name == channel)
                             notified(payload.toString());
                     });
}

RecordSet Database::openRecordset(const QString &sql)
{
    const QString text = d->statementFor(translate(sql));
    QSqlQuery query(d->db());
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!query.exec(text))
        throw d->error(query.lastError(), sql);
    const QSqlRecord record = query.record();
    QStringList columns;
    columns.reserve(record.count());
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    QVector<QVector<QVariant>> rows;
    while (query.next()) {
        QVector<QVariant> row;
        row.reserve(columns.size());
        for (int i = 0; i < columns.size(); ++i) {
            row.append(plainValue(query.value(i)));
        }
        rows.append(std::move(row));
    }
    // A lock that outlasts the busy timeout in the middle of the rows ends next().
    if (query.lastError().isValid())
        throw d->error(query.lastError(), sql);
    query.finish();
    return RecordSet(std::move(columns), std::move(rows), sql);
}

void Database::execute(const QString &sql)
{
    const QString text = translate(sql);
    QSqlQuery query(d->db());
    if (!query.exec(text))
        throw d->error(query.lastError(), sql);
    query.finish();
}

void Database::close()
{
    d->prepared.clear();
    d->runs.clear();
    d->postgres.reset();
    if (d->connection.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(d->connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(d->connection);
    d->connection.clear();
}

} // namespace db
