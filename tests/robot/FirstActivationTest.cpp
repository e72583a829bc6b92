#include "robot/FirstActivation.h"
#include "core/Texts.h"
#include "support/RobotHarness.h"
#include "support/SqliteFile.h"

#include <QDate>
#include <QFile>
#include <gtest/gtest.h>

using testsupport::RobotHarness;

namespace {

TEST(FirstActivation, EachTaxRateFromItsColumnOrItsDefault)
{
    const struct
    {
        const char *name;
        QString setup;
        double expected[3];
    } cases[] = {
        {"programmed rates", "INSERT INTO \"Configuración2\" VALUES (1, 12, 9, 22)", {12, 9, 22}},
        {"empty table", "", {16, 8, 31}},
        {"all null", "INSERT INTO \"Configuración2\" VALUES (1, NULL, NULL, NULL)", {16, 8, 31}},
        {"only the second",
         "INSERT INTO \"Configuración2\" VALUES (1, NULL, 12, NULL)",
         {16, 12, 31}},
        {"texts that are not numbers",
         "INSERT INTO \"Configuración2\" VALUES (1, 'x', 7, 'y')",
         {16, 7, 31}},
        {"table missing", "DROP TABLE \"Configuración2\"", {16, 8, 31}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RobotHarness h;
        h.db().exec(QStringLiteral("DELETE FROM \"Configuración2\""));
        if (!c.setup.isEmpty())
            h.db().exec(c.setup);
        h.robot().activate();
        EXPECT_EQ(h.state().TasaMaqFiscal1, c.expected[0]);
        EXPECT_EQ(h.state().TasaMaqFiscal2, c.expected[1]);
        EXPECT_EQ(h.state().TasaMaqFiscal3, c.expected[2]);
    }
    RobotHarness h;
    h.state().RutaBaseDatos = h.inst.file(QStringLiteral("nowhere.dba"));
    h.robot().firstActivation().LeerTasas();
    EXPECT_EQ(h.state().TasaMaqFiscal2, 8.0) << "a database out of reach leaves the defaults";
}

TEST(FirstActivation, QuantityModeByTheCompanySettings)
{
    const struct
    {
        QVariant verCantidad, verDecimal;
        int expected;
    } cases[] = {
        {-1, 0, 1}, {0, -1, 2}, {-1, -1, 3}, {0, 0, 0}, {-1, {}, 0}, {{}, -1, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.verCantidad.toString().toStdString() + "/" +
                     c.verDecimal.toString().toStdString());
        RobotHarness h;
        h.db().setCompany(QStringLiteral("J123456789"), c.verCantidad, c.verDecimal);
        h.robot().activate();
        EXPECT_EQ(h.state().ModoCantidad, c.expected);
    }
}

TEST(FirstActivation, RifInTheTitleAndIntoTheTrayOnce)
{
    const struct
    {
        QVariant rif;
        QString shown;
    } cases[] = {{"J123456789", "J-12345678-9"}, {"V1234567", "V-1234567-"}, {{}, "--"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        RobotHarness h;
        h.db().exec(QStringLiteral("UPDATE \"Configuración\" SET \"RIFCompañía\" = ?"), {c.rif});
        h.robot().activate();
        EXPECT_EQ(h.window().title(), core::texts::kInitialTitle + " ( RIF: " + c.shown + " )");
        EXPECT_EQ(h.state().RifCompania, c.rif.toString());
        EXPECT_TRUE(h.window().minimized());
        EXPECT_EQ(h.window().trayIcon().tip, "Robot de Facturación FISCAL");
        EXPECT_FALSE(h.window().controlEnabled(core::Control::Plantilla));
        // Restored from the tray and activated again: nothing happens twice.
        h.robot().activate();
        EXPECT_EQ(h.window().entries(QStringLiteral("title ")).size(), 1);
    }
}

TEST(FirstActivation, NoDocumentPrintsBeforeTheCompanySettingsAreRead)
{
    RobotHarness h;
    h.db().exec(QStringLiteral("DELETE FROM \"Configuración\""));
    h.db().addItem(h.db().addSale({}), {});
    h.tick();
    h.tick();
    EXPECT_TRUE(h.window().log().contains("Configuración")) << h.window().log().toStdString();
    EXPECT_EQ(h.commands(), QStringList());
    h.db().setCompany(QStringLiteral("J123456789"));
    h.tick();
    EXPECT_EQ(h.state().ModoCantidad, 1);
    EXPECT_EQ(h.window().events.size(), 2) << "printed at the next tick";
    EXPECT_EQ(h.window().entries(QStringLiteral("title ")).size(), 1);
}

TEST(FirstActivation, PurgesPrintedUnflaggedTicketsBeforeToday)
{
    RobotHarness h({.robotIni = "[regional]\nShortDateFormat=MM-dd-yyyy\n"});
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
    const struct
    {
        int code;
        QString fecha;
        int impresa, imprimir;
        bool kept;
    } tickets[] = {
        {1, yesterday, -1, 0, false}, {2, yesterday + " 18:30:00", -1, 0, false},
        {3, today, -1, 0, true},      {4, today + " 08:00:00", -1, 0, true},
        {5, yesterday, -1, -1, true}, {6, yesterday, 0, 0, true},
    };
    testsupport::SqliteFile local(h.inst.file(QStringLiteral("Vextora.dba")));
    QVariantList kept;
    for (const auto &t : tickets) {
        local.exec(QStringLiteral("INSERT INTO \"TiketNoFiscal\" (\"Código\", Fecha, Caja, "
                                  "Impresa, Imprimir) VALUES (%1, '%2', 1, %3, %4)")
                       .arg(t.code)
                       .arg(t.fecha)
                       .arg(t.impresa)
                       .arg(t.imprimir));
        if (t.kept)
            kept << t.code;
    }
    h.robot().activate();
    EXPECT_EQ(local.column(QStringLiteral("SELECT \"Código\" FROM \"TiketNoFiscal\" ORDER BY 1")),
              kept);
}

TEST(FirstActivation, LocalDatabaseOutOfReachDoesNotStopIt)
{
    RobotHarness h;
    ASSERT_TRUE(QFile::remove(h.inst.file(QStringLiteral("Vextora.dba"))));
    h.robot().activate();
    EXPECT_TRUE(h.robot().firstActivation().companySettingsRead());
    EXPECT_FALSE(QFile::exists(h.inst.file(QStringLiteral("Vextora.dba"))))
        << "the robot never creates a database";
}

} // namespace
