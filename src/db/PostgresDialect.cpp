#include "db/PostgresDialect.h"

#include "db/DataError.h"
#include "db/SqlQuote.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace db {

namespace {

// The last quoted name of an operand such as "v"."Precio", or the operand.
QString lastName(const QString &operand)
{
    const QString t = operand.trimmed();
    if (!t.endsWith(QLatin1Char('"')))
        return t;
    qsizetype i = t.size() - 2;
    while (i >= 0) {
        if (t[i] == QLatin1Char('"')) {
            if (i > 0 && t[i - 1] == QLatin1Char('"')) {
                i -= 2;
                continue;
            }
            return t.mid(i);
        }
        --i;
    }
    return t;
}

} // namespace

void PostgresDialect::prepareConnection(QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql =
        QStringLiteral("SELECT c.relname, a.attname, t.typcategory FROM pg_catalog.pg_class c "
                       "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                       "LEFT JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 "
                       "AND NOT a.attisdropped "
                       "LEFT JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
                       "WHERE c.relkind IN ('r', 'v', 'm', 'f', 'p') "
                       "AND n.nspname = ANY (pg_catalog.current_schemas(false))");
    if (!query.exec(sql))
        throw DataError(DataError::Kind::Open, query.lastError().text(), sql);
    m_relations.clear();
    m_columnsOf.clear();
    m_columns.clear();
    while (query.next()) {
        const QString relation = query.value(0).toString();
        const QString relationKey = relation.toLower();
        m_relations.insert(relationKey, relation);
        if (query.value(1).isNull())
            continue;
        const QByteArray category = query.value(2).toString().toLatin1();
        const Column column{query.value(1).toString(), category.isEmpty() ? '\0' : category[0]};
        const QString key = column.name.toLower();
        m_columnsOf[relationKey][key].append(column);
        m_columns[key].append(column);
    }
}

const PostgresDialect::Column *PostgresDialect::column(const QList<Column> &candidates,
                                                       const QString &name) const
{
    for (const Column &c : candidates) {
        if (c.name == name)
            return &c;
    }
    return candidates.isEmpty() ? nullptr : &candidates.first();
}

QString PostgresDialect::identifier(const QString &name, bool bracketed, Statement &statement) const
{
    Q_UNUSED(bracketed);
    const QString key = name.toLower();
    const Column *found = nullptr;
    for (const QString &relation : statement.relations) {
        const auto columns = m_columnsOf.constFind(relation.toLower());
        if (columns == m_columnsOf.cend())
            continue;
        const auto candidates = columns->constFind(key);
        if (candidates != columns->cend() && (found = column(*candidates, name)))
            break;
    }
    if (!found) {
        const auto relation = m_relations.constFind(key);
        if (relation != m_relations.cend())
            return SqlQuote::name(*relation);
        const auto candidates = m_columns.constFind(key);
        if (candidates != m_columns.cend())
            found = column(*candidates, name);
    }
    if (!found)
        return SqlQuote::name(name);
    const QString quoted = SqlQuote::name(found->name);
    statement.categories.insert(quoted, found->category);
    return quoted;
}

QString PostgresDialect::plainName(const QString &name, Statement &statement) const
{
    return identifier(name, false, statement);
}

QString PostgresDialect::booleanLiteral(bool value) const
{
    return value ? QStringLiteral("-1") : QStringLiteral("0");
}

QString PostgresDialect::dateLiteral(const QDate &date) const
{
    return QStringLiteral("DATE '") + date.toString(Qt::ISODate) + QLatin1Char('\'');
}

QString PostgresDialect::joinText(const QStringList &operands) const
{
    // The first operand as text makes every || of the chain a text one,
    // whatever the types of the others; || already gives null for a null.
    QStringList parts = operands;
    parts.first() = QStringLiteral("CAST(%1 AS text)").arg(parts.first());
    return parts.join(QStringLiteral(" || "));
}

QString PostgresDialect::plusOfUnknown(const QStringList &operands,
                                       const Statement &statement) const
{
    // A column's type is fixed here, not decided per row as in Jet: a text
    // column joins, numbers add.
    for (const QString &operand : operands) {
        if (statement.categories.value(lastName(operand)) == 'S')
            return joinText(operands);
    }
    return operands.join(QStringLiteral(" + "));
}

} // namespace db
