#include "db/DocumentClaims.h"

#include "core/Texts.h"
#include "db/DataError.h"
#include "db/PostgresConnection.h"
#include "db/Schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace db {

namespace {
// The words stored, as the print journal stores them.
QString kindName(core::DocumentKind kind)
{
    return kind == core::DocumentKind::Invoice ? QStringLiteral("factura") : QStringLiteral("nota");
}
} // namespace

DocumentClaims::DocumentClaims(const QString &url, qint32 machine, const QString &host,
                               const QString &programDir)
    : m_url(url), m_machine(machine), m_host(host), m_directory(programDir)
{
}

DocumentClaims::~DocumentClaims() = default;

PostgresConnection &DocumentClaims::connection()
{
    if (m_connection && m_connection->lost())
        m_connection.reset();
    if (m_connection)
        return *m_connection;
    QString why;
    const std::optional<PostgresUrl> url = PostgresUrl::parse(m_url, &why);
    if (!url)
        throw DataError(DataError::Kind::Open, core::texts::invalidUrl(why), m_url);
    auto pg = std::make_unique<PostgresConnection>(*url, PostgresConnection::Session{});
    const auto exists = [&] {
        QSqlQuery q(pg->database());
        const QString sql = QStringLiteral("SELECT to_regclass('%1') IS NOT NULL").arg(table());
        if (!q.exec(sql))
            throw pg->error(q.lastError(), sql);
        return q.next() && q.value(0).toBool();
    };
    if (!exists()) {
        const QString create = Schema::claimsPostgres();
        QSqlQuery q(pg->database());
        // Another robot may make it at the same moment.
        if (!q.exec(create) && !exists()) {
            const DataError e = pg->error(q.lastError(), create);
            if (e.kind() != DataError::Kind::Query)
                throw e;
            throw DataError(DataError::Kind::Query,
                            core::texts::claimsTableMissing(table(), e.message()), table());
        }
    }
    m_connection = std::move(pg);
    return *m_connection;
}

QSqlQuery DocumentClaims::run(const QString &sql, const QVariantList &values)
{
    // A kept connection whose server restarted fails its first statement:
    // made again once, as the server is back.
    for (bool again = false;; again = true) {
        PostgresConnection &pg = connection();
        QSqlQuery q(pg.database());
        q.prepare(sql);
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (q.exec())
            return q;
        const DataError error = pg.error(q.lastError(), sql);
        if (again || !pg.lost())
            throw error;
    }
}

std::optional<QString> DocumentClaims::claim(core::DocumentKind kind, qint64 code)
{
    own();
    const QPair<core::DocumentKind, qint64> document{kind, code};
    // Again when the claim was released between the insert and the look at its holder.
    for (;;) {
        QSqlQuery insert =
            run(QStringLiteral("INSERT INTO %1 (tipo, codigo, maquina, equipo, directorio) "
                               "VALUES (?, ?, ?, ?, ?) ON CONFLICT (tipo, codigo) DO NOTHING "
                               "RETURNING codigo")
                    .arg(table()),
                {kindName(kind), code, m_machine, m_host, m_directory});
        if (insert.next()) {
            m_own->append(document);
            return std::nullopt;
        }
        QSqlQuery holder =
            run(QStringLiteral("SELECT equipo, directorio FROM %1 WHERE tipo = ? AND codigo = ?")
                    .arg(table()),
                {kindName(kind), code});
        if (!holder.next())
            continue;
        const QString host = holder.value(0).toString();
        const QString directory = holder.value(1).toString();
        if (host != m_host || directory != m_directory)
            return host + QLatin1Char(':') + directory;
        if (!m_own->contains(document))
            m_own->append(document);
        return std::nullopt;
    }
}

void DocumentClaims::release(core::DocumentKind kind, qint64 code)
{
    run(QStringLiteral("DELETE FROM %1 WHERE tipo = ? AND codigo = ? AND equipo = ? AND "
                       "directorio = ?")
            .arg(table()),
        {kindName(kind), code, m_host, m_directory});
    if (m_own)
        m_own->removeAll(QPair<core::DocumentKind, qint64>{kind, code});
}

QList<QPair<core::DocumentKind, qint64>> DocumentClaims::own()
{
    if (!m_own) {
        QSqlQuery q =
            run(QStringLiteral("SELECT tipo, codigo FROM %1 WHERE equipo = ? AND directorio = ?")
                    .arg(table()),
                {m_host, m_directory});
        QList<QPair<core::DocumentKind, qint64>> own;
        while (q.next())
            own.append({q.value(0).toString() == QLatin1String("nota")
                            ? core::DocumentKind::CreditNote
                            : core::DocumentKind::Invoice,
                        q.value(1).toLongLong()});
        m_own = own;
    }
    return *m_own;
}

} // namespace db
