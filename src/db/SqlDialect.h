#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

class QSqlDatabase;

namespace db {

// Gives the administrative system's SQL its meaning on one database engine.
// The robot writes Jet SQL: bracketed names with blanks and accents, true and
// false as -1 and 0, `=null`, `+` joining text, `Delete * from`,
// datevalue('<short date>'). The walk over the text is shared; each engine
// says how its names, literals and operators are written.
class SqlDialect
{
public:
    explicit SqlDialect(QString shortDateFormat);
    virtual ~SqlDialect();

    // The text for this engine. Throws DataError(Query) for a text that cannot
    // be read (an unclosed quote or bracket, a datevalue date it cannot read).
    // Each call keeps its own state (a Statement): calls may run side by side.
    QString translate(const QString &jetSql) const;

    const QString &shortDateFormat() const { return m_shortDateFormat; }

    // Makes a freshly opened connection ready for translated SQL, e.g. the
    // functions that the translation calls or the names the database holds.
    virtual void prepareConnection(QSqlDatabase &db) = 0;

    // What one translate() call knows of its statement, made afresh for
    // each call: the tables and queries named after from, update, join and
    // into (as written), and what the engine noted of the names written so
    // far (PostgreSQL: each quoted column's type category).
    struct Statement
    {
        QStringList relations;
        QHash<QString, char> categories;
    };

    // How the engine writes each piece; public so that a reader can see every
    // engine's choices side by side.
    // A table, query or column name; `bracketed` when Jet wrote it in [].
    virtual QString identifier(const QString &name, bool bracketed, Statement &statement) const = 0;
    // A name Jet wrote without brackets. By default one of plain letters
    // stays as written (the engine finds it regardless of case, as Jet does)
    // and any other is an identifier.
    virtual QString plainName(const QString &name, Statement &statement) const;
    virtual QString booleanLiteral(bool value) const = 0;
    virtual QString dateLiteral(const QDate &date) const = 0;
    virtual QString textLiteral(const QString &text) const;
    // A `+` chain with a text operand: joined text, null when any operand is.
    virtual QString joinText(const QStringList &operands) const = 0;
    // A `+` chain whose operand types the text does not show (columns):
    // numbers add, texts join, a null operand gives null, decided per row.
    virtual QString plusOfUnknown(const QStringList &operands,
                                  const Statement &statement) const = 0;

private:
    QString m_shortDateFormat;
};

} // namespace db
