// The administrative system's Jet SQL translated for SQLite and for
// PostgreSQL: translation only, no database. A text it cannot read is a
// DataError, never a crash.
#include "db/DataError.h"
#include "db/PostgresDialect.h"
#include "db/SqliteDialect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    static const db::SqliteDialect sqlite(QStringLiteral("dd/MM/yyyy"));
    static const db::PostgresDialect postgres(QStringLiteral("dd/MM/yy"));
    for (const db::SqlDialect *dialect : {static_cast<const db::SqlDialect *>(&sqlite),
                                          static_cast<const db::SqlDialect *>(&postgres)}) {
        try {
            (void)dialect->translate(sql);
        } catch (const db::DataError &) {
        }
    }
    return 0;
}
