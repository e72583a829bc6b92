#include "support/SalesHistory.h"
#include "support/SqliteConnection.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Rows that name a customer or product the file does not hold: the list
// query joins them away, so the benchmark would count fewer rows than it built.
constexpr const char *kOrphans =
    "SELECT (SELECT COUNT(*) FROM \"VentasDetalles\" WHERE \"COD_PROD\" NOT IN "
    "(SELECT \"COD_PROD\" FROM \"Productos\")) + (SELECT COUNT(*) FROM \"Ventas\" WHERE "
    "\"Cliente\" NOT IN (SELECT \"Código\" FROM \"Clientes\"))";

QString databasePath(const QTemporaryDir &dir)
{
    return QDir(dir.path()).filePath(QStringLiteral("Base de Datos.dba"));
}

TEST(SalesHistoryBuild, WaitingSalesAreMachineOnesAndSpreadOverTheHistory)
{
    // Sales, asked to wait, waiting, the last waiting code at least.
    const std::tuple<const char *, int, int, qint64, qint64> cases[] = {
        {"not a multiple of the waiting count", 1005, 20, 20, 900},
        {"fewer sales than asked to wait", 10, 20, 10, 10},
        {"none waits, as in the invoice benchmark", 100, 0, 0, 0}};
    for (const auto &[name, sales, pending, waiting, lastWaitingAtLeast] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        bench::SalesHistory history(sales);
        history.setPending(pending);
        history.build(databasePath(dir));

        const bench::SqliteConnection db(databasePath(dir));
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Ventas\""), sales);
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"VentasDetalles\""),
                  qint64(sales) * bench::SalesHistory::kDetailsPerSale);
        EXPECT_EQ(db.scalar(kOrphans), 0);
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Ventas\" WHERE \"Imprimir\" = -1 AND "
                            "\"Impresa\" = 0 AND \"Control\" IS NULL AND \"Factura\" IS NULL AND "
                            "\"MáquinaFiscal\" = 1"),
                  waiting);
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Ventas\" WHERE \"Imprimir\" = -1"), waiting);
        EXPECT_GE(db.scalar("SELECT IFNULL(MAX(\"Código\"), 0) FROM \"Ventas\" WHERE "
                            "\"Imprimir\" = -1"),
                  lastWaitingAtLeast);
        // A printed sale carries its numbers and is spread over three machines.
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Ventas\" WHERE \"Imprimir\" = 0 AND "
                            "(\"Factura\" IS NOT printf('%08d', \"Código\") OR \"Control\" IS NOT "
                            "\"Factura\")"),
                  0);
        EXPECT_EQ(db.scalar("SELECT COUNT(DISTINCT \"MáquinaFiscal\") FROM \"Ventas\" WHERE "
                            "\"Imprimir\" = 0"),
                  std::min(sales - waiting, qint64(3)));
    }
}

TEST(SalesHistoryAppend, growsAnExistingFileToTheTotalOverItsOwnRows)
{
    QTemporaryDir dir;
    bench::SalesHistory(100).build(databasePath(dir));
    {
        const bench::SqliteConnection db(databasePath(dir));
        // A gap in the codes: appending goes on after the last one, not the count.
        db.exec("DELETE FROM \"VentasDetalles\" WHERE \"Venta\" = 50;"
                "DELETE FROM \"Ventas\" WHERE \"Código\" = 50;");
        db.exec("BEGIN");
        bench::SalesHistory(250).append(db);
        db.exec("COMMIT");
    }
    const bench::SqliteConnection db(databasePath(dir));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Ventas\""), 250);
    EXPECT_EQ(db.scalar("SELECT MAX(\"Código\") FROM \"Ventas\""), 251);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"VentasDetalles\""),
              250 * bench::SalesHistory::kDetailsPerSale);
    EXPECT_EQ(db.scalar(kOrphans), 0);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Ventas\" WHERE \"Imprimir\" = -1"), 0);
}

} // namespace
