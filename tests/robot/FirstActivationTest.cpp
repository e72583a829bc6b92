#include "robot/FirstActivation.h"
#include "core/Texts.h"
#include "support/PostgresCluster.h"
#include "support/RobotHarness.h"

#include <QDate>
#include <QFile>
#include <gtest/gtest.h>

using testsupport::Engine;
using testsupport::PostgresCluster;
using testsupport::RobotHarness;

namespace {

using FirstActivation = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(FirstActivation);

TEST_P(FirstActivation, TaxRatesAndQuantityModeFromTheCompanySettings)
{
    const QString rates = QStringLiteral("UPDATE \"Configuración2\" SET \"TasaMaqFiscal1\" = %1, "
                                         "\"TasaMaqFiscal2\" = %2, \"TasaMaqFiscal3\" = %3");
    const QString mode = QStringLiteral(
        "UPDATE \"Configuración\" SET \"VerCantidad\" = %1, \"VerCantidadDecimal\" = %2");
    // The rates at positions 1 to 3 and the quantity mode.
    const struct
    {
        QString sql;
        QString read;
    } cases[] = {
        // clang-format off
        {rates.arg(12).arg(9).arg(22), "12|9|22|1"},
        {"DELETE FROM \"Configuración2\"", "16|8|31|1"},
        {rates.arg("NULL", "12", "NULL"), "16|12|31|1"},
        {rates.arg("'x'", "7", "'y'"), "16|7|31|1"},
        {"DROP TABLE \"Configuración2\"", "16|8|31|1"},
        {mode.arg(0).arg(-1), "16|8|31|2"},
        {mode.arg(-1).arg(-1), "16|8|31|3"},
        {mode.arg(0).arg(0), "16|8|31|0"},
        {mode.arg(-1).arg("NULL"), "16|8|31|0"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        if (GetParam() == Engine::Postgres && c.sql.contains(u'\''))
            continue; // a server's typed column refuses a word for a rate
        RobotHarness h({.engine = GetParam()});
        h.db().exec(c.sql);
        h.robot().activate();
        const core::RobotState &s = h.robot().state();
        EXPECT_EQ(QStringLiteral("%1|%2|%3|%4")
                      .arg(s.TasaMaqFiscal1)
                      .arg(s.TasaMaqFiscal2)
                      .arg(s.TasaMaqFiscal3)
                      .arg(s.ModoCantidad),
                  c.read);
    }
}

TEST_P(FirstActivation, RifInTheTitleAndIntoTheTrayOnce)
{
    const struct
    {
        QVariant rif;
        QString shown;
    } cases[] = {{"J123456789", "J-12345678-9"}, {"V1234567", "V-1234567-"}, {{}, "--"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        RobotHarness h({.engine = GetParam()});
        h.db().exec(QStringLiteral("UPDATE \"Configuración\" SET \"RIFCompañía\" = ?"), {c.rif});
        h.robot().activate();
        EXPECT_EQ(h.window().title(), core::texts::kInitialTitle + " ( RIF: " + c.shown + " )");
        EXPECT_TRUE(h.window().minimized());
        EXPECT_EQ(h.window().trayIcon().tip, "Robot de Facturación FISCAL");
        EXPECT_FALSE(h.window().controlEnabled(core::Control::Template));
        // Restored from the tray and activated again: nothing happens twice.
        h.robot().activate();
        EXPECT_EQ(h.window().entries(QStringLiteral("title ")).size(), 1);
    }
}

// Configuración2 puts 12 % at position 1, where the defaults have none: a sale
// at 12 % printed with the defaults would be held.
TEST_P(FirstActivation, NothingPrintsUntilTheCompanySettingsAndTheRatesAreRead)
{
    for (const bool databaseAway : {false, true}) {
        SCOPED_TRACE(databaseAway ? "main database out of reach" : "no company settings row");
        RobotHarness h({.engine = GetParam()});
        h.db().setRates(12, 8, 31);
        h.db().addItem(h.db().addSale({.taxRate = 0.12}), {});
        const QString aside = h.file(QStringLiteral("aparte.dba"));
        // The file back fails where the robot made a database in its place.
        const auto reach = [&](bool on) {
            if (GetParam() == Engine::Sqlite)
                ASSERT_TRUE(on ? QFile::rename(aside, h.mainDatabase())
                               : QFile::rename(h.mainDatabase(), aside));
            else
                PostgresCluster::shared().exec(
                    QStringLiteral("ALTER DATABASE \"%1\" ALLOW_CONNECTIONS %2")
                        .arg(h.mainDatabase().section(u'/', -1), on ? "true" : "false"));
        };
        databaseAway ? reach(false) : h.db().exec(QStringLiteral("DELETE FROM \"Configuración\""));
        h.tick();
        h.tick();
        // Told once, whoever met it; out of reach and a missing row told apart.
        EXPECT_EQ(h.window().entries(QStringLiteral("notice Error de base de datos")).size(), 1);
        EXPECT_EQ(h.window().log().contains(core::texts::kNoConfigurationRow), !databaseAway)
            << h.window().log().toStdString();
        EXPECT_EQ(h.sentCommands(), QStringList());
        databaseAway ? reach(true) : h.db().setCompany(QStringLiteral("J123456789"));
        h.tick();
        EXPECT_TRUE(h.sentCommands().contains("!000000100000001000HARINA")) << "at position 1";
    }
}

// The local database: a file, so on SQLite only.
TEST(FirstActivation, PurgesPrintedUnflaggedTicketsBeforeToday)
{
    RobotHarness h({.robotIni = "[regional]\nShortDateFormat=MM-dd-yyyy\n"});
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
    // Printed and unflagged, on the day and format the robot reads (which rows
    // the purge takes: LocalDatabaseTest): yesterday evening's goes, this morning's stays.
    testsupport::MainRows local(h.file(QStringLiteral("Vextora.dba")));
    for (const QString &t : {"1, '" + yesterday + " 18:30:00'", "2, '" + today + " 08:00:00'"})
        local.exec(
            "INSERT INTO TiketNoFiscal (\"Código\", Fecha, Impresa, Imprimir, Caja) VALUES (" + t +
            ", -1, 0, 1)");
    h.robot().activate();
    EXPECT_EQ(local.column(QStringLiteral("SELECT \"Código\" FROM TiketNoFiscal")),
              QVariantList{2});
}

} // namespace
