#include "db/SqliteDialect.h"
#include "db/DataError.h"
#include "support/ErrorOf.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using db::DataError;
using testsupport::errorOf;

TEST(SqliteDialect, ReadsTwoDigitYearsAndRefusesWhatItCannotRead)
{
    // A date of the short date form (two-digit years: ShortDateTest) or an
    // ISO one, and texts that cannot be read.
    const db::SqliteDialect dialect(QStringLiteral("d/M/yy"));
    for (const char *date : {"6/12/26", "2026-12-06"})
        EXPECT_EQ(
            dialect.translate(
                QStringLiteral("Select * from T Where F<datevalue('%1')").arg(QLatin1String(date))),
            QStringLiteral("Select * from T Where F<'2026-12-06'"));
    for (const char *tail : {"datevalue('31/31/26')", "'abc", "[F", "(1"}) {
        const QString sql = QStringLiteral("Select * from T Where F<") + QString::fromUtf8(tail);
        const DataError e = errorOf([&] { dialect.translate(sql); });
        EXPECT_EQ(e.kind(), DataError::Kind::Query) << tail;
        EXPECT_EQ(e.subject(), sql);
    }
}
