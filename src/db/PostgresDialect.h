#pragma once

#include "db/SqlDialect.h"

#include <QHash>
#include <QList>

namespace db {

// Jet SQL for PostgreSQL. Every name becomes a quoted identifier spelt as the
// database spells it: Jet finds names regardless of case (NombreCLiente finds
// NombreCliente) while PostgreSQL's quoted names are exact, so the connection
// reads the names of its tables, views and columns once and each name is
// looked up in the statement's own tables first. Booleans are -1 and 0 (the
// schema stores integers), dates DATE literals, text joined with || (null
// when an operand is null), and a `+` between columns adds numbers or joins
// texts by the columns' types.
class PostgresDialect : public SqlDialect
{
public:
    using SqlDialect::SqlDialect;

    // Reads the names of the tables, views and columns in the search path.
    void prepareConnection(QSqlDatabase &db) override;

    QString identifier(const QString &name, bool bracketed, Statement &statement) const override;
    QString plainName(const QString &name, Statement &statement) const override;
    QString booleanLiteral(bool value) const override;
    QString dateLiteral(const QDate &date) const override;
    QString joinText(const QStringList &operands) const override;
    QString plusOfUnknown(const QStringList &operands, const Statement &statement) const override;

private:
    struct Column
    {
        QString name;
        // PostgreSQL's type category: N numeric, S string, D date and time...
        char category = 0;
    };
    const Column *column(const QList<Column> &candidates, const QString &name) const;

    // By lower-case name.
    QHash<QString, QString> m_relations;
    QHash<QString, QHash<QString, QList<Column>>> m_columnsOf;
    QHash<QString, QList<Column>> m_columns;
};

} // namespace db
