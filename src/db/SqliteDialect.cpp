#include "db/SqliteDialect.h"

#include "core/Texts.h"
#include "db/DataError.h"
#include "db/SqlQuote.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

namespace db {

namespace {

bool isNumber(int type)
{
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

// Jet's `+` on values known only when the row is read: null if either is
// null, the sum of two numbers (or of a number and a text that reads as one),
// otherwise the two texts joined.
void jetPlus(sqlite3_context *context, int, sqlite3_value **argv)
{
    sqlite3_value *a = argv[0];
    sqlite3_value *b = argv[1];
    const int ta = sqlite3_value_type(a);
    const int tb = sqlite3_value_type(b);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const bool numeric = (isNumber(ta) && isNumber(tb)) ||
                         (isNumber(ta) && isNumber(sqlite3_value_numeric_type(b))) ||
                         (isNumber(tb) && isNumber(sqlite3_value_numeric_type(a)));
    if (numeric) {
        if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(b) == SQLITE_INTEGER) {
            sqlite3_int64 sum;
            if (!__builtin_add_overflow(sqlite3_value_int64(a), sqlite3_value_int64(b), &sum)) {
                sqlite3_result_int64(context, sum);
                return;
            }
        }
        sqlite3_result_double(context, sqlite3_value_double(a) + sqlite3_value_double(b));
        return;
    }
    const auto *ua = reinterpret_cast<const char *>(sqlite3_value_text(a));
    const int la = sqlite3_value_bytes(a);
    const auto *ub = reinterpret_cast<const char *>(sqlite3_value_text(b));
    const int lb = sqlite3_value_bytes(b);
    std::string joined;
    joined.reserve(size_t(la) + size_t(lb));
    joined.append(ua ? ua : "", size_t(la)).append(ub ? ub : "", size_t(lb));
    sqlite3_result_text64(context, joined.data(), joined.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

} // namespace

namespace {
sqlite3 *handleOf(QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(handle.constData());
    return nullptr;
}

bool noDoubleQuotedStrings(sqlite3 *h)
{
    return sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DML, 0, static_cast<int *>(nullptr)) ==
               SQLITE_OK &&
           sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DDL, 0, static_cast<int *>(nullptr)) ==
               SQLITE_OK;
}
} // namespace

void SqliteDialect::strictNames(QSqlDatabase &db)
{
    sqlite3 *h = handleOf(db);
    if (!h || !noDoubleQuotedStrings(h))
        throw DataError(DataError::Kind::Open, core::texts::kSqliteNotPrepared, db.databaseName());
}

void SqliteDialect::prepareConnection(QSqlDatabase &db)
{
    strictNames(db);
    if (sqlite3_create_function_v2(handleOf(db), "jet_plus", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   nullptr, jetPlus, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DataError(DataError::Kind::Open, core::texts::kSqliteNotPrepared, db.databaseName());
}

QString SqliteDialect::identifier(const QString &name, bool, Statement &) const
{
    return SqlQuote::name(name);
}

QString SqliteDialect::booleanLiteral(bool value) const
{
    // Jet's true is -1; SQLite's own TRUE would be 1 and match no stored flag.
    return value ? QStringLiteral("-1") : QStringLiteral("0");
}

QString SqliteDialect::dateLiteral(const QDate &date) const
{
    return QLatin1Char('\'') + date.toString(Qt::ISODate) + QLatin1Char('\'');
}

QString SqliteDialect::joinText(const QStringList &operands) const
{
    return operands.join(QStringLiteral(" || "));
}

QString SqliteDialect::plusOfUnknown(const QStringList &operands, const Statement &) const
{
    QString out = operands.first();
    for (qsizetype i = 1; i < operands.size(); ++i)
        out = QStringLiteral("jet_plus(%1, %2)").arg(out, operands[i]);
    return out;
}

} // namespace db
