#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace db {

// A PostgreSQL main database named by a URL, postgresql://USER@HOST:PORT/NAME
// with query options, read as libpq reads it (a Unix-socket directory as a
// percent-encoded host or a host= option, several hosts, sslmode=...). The
// password never stands in it: libpq finds it in PGPASSFILE, ~/.pgpass or a
// PGSERVICE entry, as for any other client.
class PostgresUrl
{
public:
    // True when the location names a server rather than a database file: the
    // one test that decides the main database's engine.
    static bool isUrl(const QString &location);

    // The URL, or nullopt with the reason (in Spanish) when libpq cannot read
    // it, it is not a postgresql:// URL, a port is not a number, or it holds
    // a password.
    static std::optional<PostgresUrl> parse(const QString &text, QString *why = nullptr);

    // The text with any password in it replaced by ***, for messages.
    static QString withoutPassword(const QString &text);

    const QString &text() const { return m_text; }
    // The libpq keyword and value pairs, for Qt's QPSQL driver (its connect
    // options), with `sessionSettings` (name and value pairs) set for the
    // session when it starts, before any the URL itself sets in options=.
    QString connectOptions(const QList<QPair<QString, QString>> &sessionSettings = {}) const;
    // The same as a libpq connection string.
    QByteArray conninfo() const;

private:
    QString m_text;
    QList<QPair<QString, QString>> m_params;
};

} // namespace db
