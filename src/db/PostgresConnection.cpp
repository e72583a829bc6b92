#include "db/PostgresConnection.h"

#include "core/Texts.h"
#include "db/Libpq.h"

#include <QAtomicInteger>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace db {

namespace {

QAtomicInteger<quint64> connectionCounter;

// The server's message without its severity and the SQLSTATE that Qt adds.
QString engineMessage(const QSqlError &error)
{
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    const qsizetype state = text.lastIndexOf(QLatin1String("\n("));
    if (state > 0 && text.endsWith(QLatin1Char(')')))
        text.truncate(state);
    for (const char *severity : {"ERROR:", "FATAL:"}) {
        if (text.startsWith(QLatin1String(severity)))
            text = text.mid(qstrlen(severity));
    }
    return text.trimmed().split(QLatin1Char('\n')).first().trimmed();
}

// SQLSTATEs of a connection that ended or cannot be made now: class 08, the
// server shutting down or crashing, or not accepting connections yet.
bool isOutage(const QString &state)
{
    return state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
           state == QLatin1String("57P02") || state == QLatin1String("57P03");
}

// A lock not granted within lock_timeout, a statement cancelled by
// statement_timeout, a deadlock or a serialization failure: worth trying again.
bool isBusy(const QString &state)
{
    return state == QLatin1String("55P03") || state == QLatin1String("57014") ||
           state == QLatin1String("40P01") || state == QLatin1String("40001");
}

} // namespace

QString PostgresConnection::outageMessage()
{
    return core::texts::kNoServerConnection;
}

PostgresConnection::PostgresConnection(const PostgresUrl &url, const Session &session)
    : m_url(url), m_name(QStringLiteral("robot-pg-%1").arg(++connectionCounter))
{
    QList<QPair<QString, QString>> settings{
        {QStringLiteral("lock_timeout"), QString::number(qMax(1, session.lockTimeoutMs))},
        {QStringLiteral("statement_timeout"), QString::number(qMax(0, session.statementTimeoutMs))},
        {QStringLiteral("standard_conforming_strings"), QStringLiteral("on")}};
    if (session.keepalives) {
        settings << QPair{QStringLiteral("tcp_keepalives_idle"), QStringLiteral("30")}
                 << QPair{QStringLiteral("tcp_keepalives_interval"), QStringLiteral("10")}
                 << QPair{QStringLiteral("tcp_keepalives_count"), QStringLiteral("3")};
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    if (!db.isValid()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        m_name.clear();
        throw DataError(DataError::Kind::Open, core::texts::kNoPostgresDriver, url.text());
    }
    db.setConnectOptions(url.connectOptions(settings));
    if (!db.open()) {
        // A server that does not answer, or refuses connections while it
        // starts or stops, is an outage. One that answers may have finished
        // starting a moment ago: a second try tells that from a login it
        // refuses or a missing database, which keep libpq's words.
        const bool answers = Libpq::ping(url.conninfo().constData()) == PQPING_OK;
        if (answers) {
            db.close();
            if (db.open())
                return;
        }
        const QString message = answers ? engineMessage(db.lastError()) : outageMessage();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        m_name.clear();
        throw DataError(DataError::Kind::Open, message, url.text());
    }
}

PostgresConnection::~PostgresConnection()
{
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase PostgresConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

void PostgresConnection::exec(const QString &sql)
{
    QSqlQuery query(database());
    if (!query.exec(sql))
        throw error(query.lastError(), sql);
}

DataError PostgresConnection::error(const QSqlError &error, const QString &sql)
{
    const QString state = error.nativeErrorCode();
    // Without a SQLSTATE the failure is libpq's own: the connection broke.
    if (state.isEmpty() || isOutage(state)) {
        m_lost = true;
        return DataError(DataError::Kind::Open, outageMessage(), m_url.text());
    }
    return DataError(isBusy(state) ? DataError::Kind::Busy : DataError::Kind::Query,
                     engineMessage(error), sql);
}

} // namespace db
