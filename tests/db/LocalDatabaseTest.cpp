// The robot's SQL on the local database, which is always a SQLite file.
#include "db/Database.h"
#include "db/ListSource.h"
#include "db/Schema.h"
#include "db/SqlTexts.h"
#include "support/MainRows.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

using db::SqlTexts;
using testsupport::TestDir;

TEST(LocalDatabase, PendingTicketsAndThePurgeOfOldOnes)
{
    for (const char *format : {"dd/MM/yyyy", "MM/dd/yyyy", "d/M/yy"}) {
        SCOPED_TRACE(format);
        TestDir dir;
        const QString path = dir.file(QStringLiteral("Vextora.dba"));
        // Today is 6 December 2026: printed, unflagged tickets dated before it go.
        db::Schema::createDatabase(path, {db::Schema::localSchema(), QStringLiteral(R"sql(
INSERT INTO TiketNoFiscal (Código, Fecha, Impresa, Imprimir, Caja, Otro2) VALUES
    (1, '2026-12-05', -1, 0, 1, ''), (2, '2026-12-05 23:59:59', -1, 0, 1, ''),     -- purged
    (3, '2026-12-06 00:00:00', -1, 0, 1, ''), (9, '2026-12-07', -1, 0, 1, ''),     -- kept
    (4, '2026-12-05', -1, -1, 1, ''), (5, '2026-12-05', 0, 0, 1, ''),   -- flagged, not printed
    (6, '2025-12-07', -1, 0, 1, ''), (7, '2026-01-30', -1, 0, 1, ''),   -- purged
    (8, NULL, -1, 0, 1, ''),                                            -- no date: kept
    (11, NULL, 0, -1, 1, 'Mesa 4'), (10, NULL, 0, -1, 1, NULL), (12, NULL, 0, -1, 12, 'Barra');
)sql")});
        db::ListSource tickets;
        tickets.setDatabaseName(path);
        for (const auto &[machine, shown] : {std::pair{1, QStringList{"", "Precuenta: Mesa 4"}},
                                             std::pair{12, QStringList{"Precuenta: Barra"}}}) {
            tickets.setRecordSource(SqlTexts::pendingTickets(machine));
            tickets.refresh();
            EXPECT_EQ(tickets.displayLines(), shown);
        }
        db::Database::open(path, QString::fromUtf8(format))
            ->execute(SqlTexts::purgeTickets(QDate(2026, 12, 6), QString::fromUtf8(format)));
        EXPECT_EQ(testsupport::MainRows(path).column(
                      QStringLiteral("SELECT Código FROM TiketNoFiscal ORDER BY 1")),
                  (QVariantList{3, 4, 5, 8, 9, 10, 11, 12}));
    }
}
