#include "robot/FirstActivation.h"
#include "core/Texts.h"
#include "db/SqlTexts.h"
#include "support/CoreInstallation.h"
#include "support/MainDatabase.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QDate>
#include <QFile>
#include <gtest/gtest.h>

using testsupport::MainDatabase;
using testsupport::RecordingWindow;
using testsupport::TestDir;

namespace {

using Installation = testsupport::CoreInstallation;

TEST(LeerTasas, EachRateFromItsColumnOrItsDefault)
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
        {"a text that is not a number",
         "INSERT INTO \"Configuración2\" VALUES (1, 'x', 7, 'y')",
         {16, 7, 31}},
        {"table missing", "DROP TABLE \"Configuración2\"", {16, 8, 31}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Installation i;
        i.main->exec(QStringLiteral("DELETE FROM \"Configuración2\""));
        if (!c.setup.isEmpty())
            i.main->exec(c.setup);
        i.state.TasaMaqFiscal1 = i.state.TasaMaqFiscal2 = i.state.TasaMaqFiscal3 = -1;
        i.activation.LeerTasas();
        EXPECT_EQ(i.state.TasaMaqFiscal1, c.expected[0]);
        EXPECT_EQ(i.state.TasaMaqFiscal2, c.expected[1]);
        EXPECT_EQ(i.state.TasaMaqFiscal3, c.expected[2]);
    }
    // A database that is not there leaves the defaults.
    Installation i;
    i.state.RutaBaseDatos = i.dir.file(QStringLiteral("nowhere.dba"));
    i.activation.LeerTasas();
    EXPECT_EQ(i.state.TasaMaqFiscal2, 8.0);
}

TEST(FirstActivation, QuantityModeByTheCompanySettings)
{
    const struct
    {
        QVariant verCantidad, verDecimal;
        int expected;
    } cases[] = {
        {-1, 0, 1}, {0, -1, 2}, {-1, -1, 3}, {0, 0, 0}, {-1, QVariant(), 0}, {QVariant(), -1, 0},
    };
    for (const auto &c : cases) {
        Installation i;
        i.main->setCompany(QStringLiteral("J123456789"), c.verCantidad, c.verDecimal);
        i.activation.run();
        EXPECT_EQ(i.state.ModoCantidad, c.expected) << c.verCantidad.toString().toStdString() << "/"
                                                    << c.verDecimal.toString().toStdString();
    }
}

TEST(FirstActivation, TitleRifTrayAndPlantilla)
{
    Installation i;
    i.main->setCompany(QStringLiteral("J123456789"));
    i.activation.run();
    EXPECT_EQ(i.window.title(),
              core::texts::kInitialTitle + QStringLiteral(" ( RIF: J-12345678-9 )"));
    EXPECT_EQ(i.state.RifCompania, QStringLiteral("J123456789"));
    EXPECT_FALSE(i.state.PrimeraActivacion);
    EXPECT_TRUE(i.window.minimized());
    EXPECT_EQ(i.window.trayIcon().tip, QString::fromUtf8("Robot de Facturación FISCAL"));
    EXPECT_FALSE(i.window.controlEnabled(core::Control::Plantilla));
    EXPECT_TRUE(i.activation.companySettingsRead());
    // Activated again (restored from the tray): nothing happens twice.
    i.activation.run();
    EXPECT_EQ(i.window.entries(QStringLiteral("title ")).size(), 1);
}

TEST(FirstActivation, ShortRifAndNullRifAreShownWithoutChecks)
{
    for (const auto &[rif, shown] :
         {std::pair<QVariant, QString>{QStringLiteral("V1234567"), "V-1234567-"},
          std::pair<QVariant, QString>{QVariant(), "--"}}) {
        Installation i;
        i.main->setCompany(QString());
        i.main->exec(QStringLiteral("UPDATE \"Configuración\" SET \"RIFCompañía\" = ?"), {rif});
        i.activation.run();
        EXPECT_TRUE(
            i.window.title().endsWith(QStringLiteral(" ( RIF: ") + shown + QStringLiteral(" )")));
        EXPECT_TRUE(i.activation.companySettingsRead());
    }
}

TEST(FirstActivation, CompanySettingsAreRetriedUntilTheyCanBeRead)
{
    Installation i;
    i.main->exec(QStringLiteral("DELETE FROM \"Configuración\""));
    i.activation.run();
    EXPECT_FALSE(i.activation.companySettingsRead());
    EXPECT_TRUE(i.state.PrimeraActivacion);
    EXPECT_TRUE(i.window.log().contains(QStringLiteral("Configuración")));
    EXPECT_FALSE(i.activation.retryCompanySettings());
    i.main->setCompany(QStringLiteral("J123456789"));
    EXPECT_TRUE(i.activation.retryCompanySettings());
    EXPECT_EQ(i.state.ModoCantidad, 1);
    EXPECT_EQ(i.window.entries(QStringLiteral("title ")).size(), 1);
}

TEST(FirstActivation, PurgesPrintedUnflaggedTicketsBeforeToday)
{
    Installation i;
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
    const struct
    {
        int code;
        QString fecha;
        int impresa, imprimir;
        bool kept;
    } tickets[] = {
        {1, yesterday, -1, 0, false}, {2, yesterday + QStringLiteral(" 18:30:00"), -1, 0, false},
        {3, today, -1, 0, true},      {4, today + QStringLiteral(" 08:00:00"), -1, 0, true},
        {5, yesterday, -1, -1, true}, {6, yesterday, 0, 0, true},
    };
    for (const auto &t : tickets)
        i.local->exec(
            QStringLiteral("INSERT INTO \"TiketNoFiscal\" (\"Código\", Fecha, Caja, Impresa, "
                           "Imprimir) VALUES (?, ?, 1, ?, ?)"),
            {t.code, t.fecha, t.impresa, t.imprimir});
    i.settings.shortDateFormat = QStringLiteral("MM-dd-yyyy");
    i.activation.run();
    for (const auto &t : tickets)
        EXPECT_EQ(i.local
                      ->value(QStringLiteral("SELECT COUNT(*) FROM \"TiketNoFiscal\" WHERE "
                                             "\"Código\" = ?"),
                              {t.code})
                      .toInt(),
                  t.kept ? 1 : 0)
            << "ticket " << t.code;
}

TEST(FirstActivation, UnreachableLocalDatabaseDoesNotStopIt)
{
    Installation i;
    i.state.RutaBaseLocal = i.dir.file(QStringLiteral("missing.dba"));
    i.activation.run();
    EXPECT_TRUE(i.activation.companySettingsRead());
    EXPECT_FALSE(QFile::exists(i.dir.file(QStringLiteral("missing.dba"))));
}

} // namespace
