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

    QString identifier(const QString &name, bool bracketed) const override;
    QString booleanLiteral(bool value) const override;
    QString dateLiteral(const QDate &date) const override;
    QString joinText(const QStringList &operands) const override;
    QString plusOfUnknown(const QStringList &operands) const override;
};

} // namespace db
