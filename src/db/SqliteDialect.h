#pragma once

#include "db/SqlDialect.h"

namespace db {

// Jet SQL for SQLite: names in double quotes, booleans -1 and 0, dates as
// ISO text (how the schema stores them), text joined with || (which already
// gives null when an operand is null), and the function jet_plus for a `+`
// between columns.
class SqliteDialect : public SqlDialect
{
public:
    using SqlDialect::SqlDialect;

    void prepareConnection(QSqlDatabase &db) override;
    // SQLite reads a double-quoted name that matches no column as a text, so
    // a column missing from a saved query would print its own name. Every
    // connection the robot opens has that off: a missing name is an error.
    static void strictNames(QSqlDatabase &db);

    QString identifier(const QString &name, bool bracketed, Statement &statement) const override;
    QString booleanLiteral(bool value) const override;
    QString dateLiteral(const QDate &date) const override;
    QString joinText(const QStringList &operands) const override;
    QString plusOfUnknown(const QStringList &operands, const Statement &statement) const override;
};

} // namespace db
