#include "db/PrintJournal.h"

#include "core/FileLayer.h"
#include "db/DataError.h"
#include "db/PostgresUrl.h"
#include "db/SqliteDialect.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <iterator>

namespace db {

namespace {
// The words stored for each State, in its order.
const char *const kStates[] = {"tomado",  "cerrando", "cerrado",          "registrado",
                               "fallido", "anulado",  "cabecera retenida"};

QString stateName(PrintJournal::State s)
{
    return QString::fromLatin1(kStates[static_cast<int>(s)]);
}

PrintJournal::State stateOf(const QString &name)
{
    for (int i = 0; i < int(std::size(kStates)); ++i) {
        if (name == QLatin1String(kStates[i]))
            return static_cast<PrintJournal::State>(i);
    }
    // An unknown word is treated as the most careful state: closing, outcome unknown.
    return PrintJournal::State::Closing;
}

// The words stored in an existing journal.
QString kindName(core::DocumentKind k)
{
    return k == core::DocumentKind::Invoice ? QStringLiteral("factura") : QStringLiteral("nota");
}

// The main database as the entries name it: a file by its absolute path,
// however the configuration writes it; a server by its URL without a
// password or the query options, which may change without it becoming
// another database.
QString databaseName(const QString &location)
{
    if (location.isEmpty())
        return location;
    if (PostgresUrl::isUrl(location))
        return PostgresUrl::withoutPassword(location).section(QLatin1Char('?'), 0, 0);
    return QDir::cleanPath(QFileInfo(core::FileLayer::localPath(location)).absoluteFilePath());
}

void exec(QSqlQuery &q, const QString &sql, const QString &path)
{
    if (!q.exec(sql))
        throw DataError(DataError::Kind::Query, q.lastError().text(), path);
}
} // namespace

PrintJournal::PrintJournal(const QString &programDir, const core::Clock &clock, const Owner &owner)
    : m_clock(clock), m_database(databaseName(owner.database)), m_machine(owner.machine),
      m_connection(QStringLiteral("journal-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_path(QDir(programDir).filePath(fileName()))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw DataError(DataError::Kind::Open, db.lastError().text(), m_path);
    SqliteDialect::strictNames(db);
    QSqlQuery q(db);
    // A write-ahead log: a synchronous write costs one sync of the log.
    for (const char *sql : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL",
                            "CREATE TABLE IF NOT EXISTS documento ("
                            " id INTEGER PRIMARY KEY,"
                            " tipo TEXT NOT NULL,"
                            " codigo INTEGER NOT NULL,"
                            " estado TEXT NOT NULL,"
                            " numero_antes TEXT,"
                            " numero TEXT,"
                            " numero_z TEXT,"
                            " tomado TEXT NOT NULL,"
                            " actualizado TEXT NOT NULL)",
                            "CREATE INDEX IF NOT EXISTS documento_estado ON documento(estado)",
                            "CREATE TABLE IF NOT EXISTS cierre_z ("
                            " id INTEGER PRIMARY KEY,"
                            " contador_antes TEXT NOT NULL,"
                            " estado TEXT NOT NULL,"
                            " enviado TEXT NOT NULL,"
                            " actualizado TEXT NOT NULL)",
                            "CREATE TABLE IF NOT EXISTS numero_aceptado ("
                            " id INTEGER PRIMARY KEY,"
                            " tipo TEXT NOT NULL,"
                            " numero TEXT NOT NULL,"
                            " base TEXT,"
                            " maquina INTEGER,"
                            " aceptado TEXT NOT NULL)"}) {
        exec(q, QString::fromLatin1(sql), QString::fromLatin1(sql));
    }
    // A journal made before its entries named their installation.
    exec(q, QStringLiteral("SELECT name FROM pragma_table_info('documento')"), m_path);
    QStringList columns;
    while (q.next())
        columns << q.value(0).toString();
    if (!columns.contains(QLatin1String("base"))) {
        exec(q, QStringLiteral("ALTER TABLE documento ADD COLUMN base TEXT"), m_path);
        exec(q, QStringLiteral("ALTER TABLE documento ADD COLUMN maquina INTEGER"), m_path);
    }
    recount();
}

PrintJournal::~PrintJournal()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

qint64 PrintJournal::takeUp(core::DocumentKind kind, qint64 code)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    q.prepare(QStringLiteral("INSERT INTO documento (tipo, codigo, estado, tomado, actualizado, "
                             "base, maquina) VALUES (?, ?, 'tomado', ?, ?, ?, ?)"));
    q.addBindValue(kindName(kind));
    q.addBindValue(code);
    q.addBindValue(m_clock.now().toString(Qt::ISODate));
    q.addBindValue(m_clock.now().toString(Qt::ISODate));
    q.addBindValue(m_database);
    q.addBindValue(m_machine);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    recount();
    return q.lastInsertId().toLongLong();
}

void PrintJournal::setState(qint64 id, State state, const QString &extraSql,
                            const QStringList &extraValues)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // Taking up, closing and closed are on the disk before the printer is told
    // the next thing; the other states are safe to lose to a power cut, since
    // recovery reaches the same end from the state before them.
    const bool decisive = state == State::Closing || state == State::Closed;
    q.exec(decisive ? QStringLiteral("PRAGMA synchronous=FULL")
                    : QStringLiteral("PRAGMA synchronous=NORMAL"));
    q.prepare(QStringLiteral("UPDATE documento SET estado = ?, actualizado = ?") + extraSql +
              QStringLiteral(" WHERE id = ?"));
    q.addBindValue(stateName(state));
    q.addBindValue(m_clock.now().toString(Qt::ISODate));
    for (const QString &v : extraValues)
        q.addBindValue(v);
    q.addBindValue(id);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    recount();
}

void PrintJournal::closing(qint64 id, const QString &numberBefore)
{
    setState(id, State::Closing, QStringLiteral(", numero_antes = ?"), {numberBefore});
}

void PrintJournal::closed(qint64 id, const QString &number, const QString &zNumber)
{
    setState(id, State::Closed, QStringLiteral(", numero = ?, numero_z = ?"), {number, zNumber});
}

void PrintJournal::recorded(qint64 id)
{
    setState(id, State::Recorded);
}

void PrintJournal::failed(qint64 id)
{
    setState(id, State::Failed);
}

void PrintJournal::cancelled(qint64 id)
{
    setState(id, State::Cancelled);
}

void PrintJournal::headerHeld(qint64 id)
{
    setState(id, State::HeaderHeld);
}

QList<core::DocumentKind> PrintJournal::headersHeld() const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT DISTINCT tipo FROM documento WHERE estado = ?") + ownRows());
    q.addBindValue(stateName(State::HeaderHeld));
    bindOwner(q);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    QList<core::DocumentKind> kinds;
    while (q.next())
        kinds << (q.value(0).toString() == QLatin1String("nota") ? core::DocumentKind::CreditNote
                                                                 : core::DocumentKind::Invoice);
    return kinds;
}

void PrintJournal::headersOverwritten()
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    q.prepare(QStringLiteral("UPDATE documento SET estado = ?, actualizado = ? WHERE estado = ?") +
              ownRows());
    q.addBindValue(stateName(State::Cancelled));
    q.addBindValue(m_clock.now().toString(Qt::ISODate));
    q.addBindValue(stateName(State::HeaderHeld));
    bindOwner(q);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    recount();
}

QList<PrintJournal::Entry> PrintJournal::unfinished() const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    QList<Entry> out;
    q.prepare(QStringLiteral("SELECT id, tipo, codigo, estado, numero_antes, numero, numero_z "
                             "FROM documento WHERE estado IN ('tomado', 'cerrando', 'cerrado', "
                             "'fallido')") +
              ownRows() + QStringLiteral(" ORDER BY id"));
    bindOwner(q);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    while (q.next()) {
        Entry e;
        e.id = q.value(0).toLongLong();
        e.kind = q.value(1).toString() == QLatin1String("nota") ? core::DocumentKind::CreditNote
                                                                : core::DocumentKind::Invoice;
        e.code = q.value(2).toLongLong();
        e.state = stateOf(q.value(3).toString());
        e.numberBefore = q.value(4).toString();
        e.number = q.value(5).toString();
        e.zNumber = q.value(6).toString();
        out << e;
    }
    return out;
}

QString PrintJournal::closedBefore(core::DocumentKind kind, qint64 code) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT numero FROM documento WHERE tipo = ? AND codigo = ? AND "
                             "estado IN ('cerrado', 'registrado')") +
              ownRows() + QStringLiteral(" ORDER BY id DESC LIMIT 1"));
    q.addBindValue(kindName(kind));
    q.addBindValue(code);
    bindOwner(q);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    if (!q.next())
        return QString();
    const QString number = q.value(0).toString();
    return number.isEmpty() ? QStringLiteral("?") : number;
}

void PrintJournal::acceptNumber(core::DocumentKind kind, const QString &number)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    q.prepare(QStringLiteral("INSERT INTO numero_aceptado (tipo, numero, base, maquina, aceptado) "
                             "VALUES (?, ?, ?, ?, ?)"));
    q.addBindValue(kindName(kind));
    q.addBindValue(number);
    q.addBindValue(m_database);
    q.addBindValue(m_machine);
    q.addBindValue(m_clock.now().toString(Qt::ISODate));
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
}

std::optional<qint64> PrintJournal::highestNumber(core::DocumentKind kind) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    // Numbers are eight digits; one the printer never gave (empty) counts for none.
    q.prepare(QStringLiteral("SELECT MAX(CAST(numero AS INTEGER)) FROM ("
                             "SELECT numero, base, maquina FROM documento WHERE tipo = ? AND "
                             "estado IN ('cerrado', 'registrado') UNION ALL "
                             "SELECT numero, base, maquina FROM numero_aceptado WHERE tipo = ?) "
                             "WHERE numero <> ''") +
              ownRows());
    q.addBindValue(kindName(kind));
    q.addBindValue(kindName(kind));
    bindOwner(q);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    if (!q.next() || q.value(0).isNull())
        return std::nullopt;
    return q.value(0).toLongLong();
}

QString PrintJournal::ownRows() const
{
    return QStringLiteral(" AND (base IS NULL OR base = ?) AND (maquina IS NULL OR maquina = ?)");
}

void PrintJournal::bindOwner(QSqlQuery &q) const
{
    q.addBindValue(m_database);
    q.addBindValue(m_machine);
}

void PrintJournal::recount()
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT SUM(estado <> 'cabecera retenida'), SUM(estado = 'cerrando'), "
                             "SUM(estado = 'cabecera retenida') FROM documento WHERE estado IN "
                             "('tomado', 'cerrando', 'cerrado', 'fallido', 'cabecera retenida')") +
              ownRows());
    bindOwner(q);
    if (q.exec() && q.next()) {
        m_unfinished = q.value(0).toInt();
        m_closing = q.value(1).toInt();
        m_headerHeld = q.value(2).toInt();
    }
}

qint64 PrintJournal::zSending(const QString &counterBefore)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    q.prepare(QStringLiteral("INSERT INTO cierre_z (contador_antes, estado, enviado, actualizado) "
                             "VALUES (?, 'enviado', ?, ?)"));
    const QString now = m_clock.now().toString(Qt::ISODate);
    q.addBindValue(counterBefore);
    q.addBindValue(now);
    q.addBindValue(now);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    return q.lastInsertId().toLongLong();
}

void PrintJournal::zSettled(qint64 id, bool printed)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    q.prepare(QStringLiteral("UPDATE cierre_z SET estado = ?, actualizado = ? WHERE id = ?"));
    q.addBindValue(printed ? QStringLiteral("impreso") : QStringLiteral("no impreso"));
    q.addBindValue(m_clock.now().toString(Qt::ISODate));
    q.addBindValue(id);
    if (!q.exec())
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
}

std::optional<PrintJournal::ZReport> PrintJournal::zUnknown() const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT id, contador_antes, enviado FROM cierre_z "
                               "WHERE estado = 'enviado' ORDER BY id DESC LIMIT 1")))
        throw DataError(DataError::Kind::Query, q.lastError().text(), m_path);
    if (!q.next())
        return std::nullopt;
    return ZReport{q.value(0).toLongLong(), q.value(1).toString(),
                   QDateTime::fromString(q.value(2).toString(), Qt::ISODate)};
}

} // namespace db
