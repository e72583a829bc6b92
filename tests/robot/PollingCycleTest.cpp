#include "robot/PollingCycle.h"
#include "core/Texts.h"
#include "db/SqlTexts.h"
#include "robot/FirstActivation.h"
#include "support/CoreInstallation.h"
#include "support/MainDatabase.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

using testsupport::MainDatabase;
using testsupport::RecordingWindow;
using testsupport::TestDir;
namespace texts = core::texts;

namespace {

// The polling cycle on real databases; the jobs are counted, not run.
struct Cycle : testsupport::CoreInstallation
{
    std::unique_ptr<robot::PollingCycle> cycle;
    QStringList jobs;

    Cycle()
    {
        main->setCompany(QStringLiteral("J123456789"));
        lists.Data5.setDatabaseName(state.RutaBaseDatos);
        lists.Data5.setRecordSource(db::SqlTexts::facturasPendientes(1));
        lists.Data6.setDatabaseName(state.RutaBaseDatos);
        lists.Data6.setRecordSource(db::SqlTexts::notasCreditoPendientes(1));
        lists.Data7.setDatabaseName(state.RutaBaseLocal);
        lists.Data7.setRecordSource(db::SqlTexts::ticketsPendientes(1));
        cycle = std::make_unique<robot::PollingCycle>(state, settings, window, lists, clock,
                                                      activation, nullptr);
        cycle->ImprimirFactura = [this] {
            jobs << QStringLiteral("factura %1")
                        .arg(lists.Data5.recordset().field(QStringLiteral("Código")).toLongLong());
        };
        cycle->ImprimirNotaCredito = [this] {
            jobs << QStringLiteral("nota %1").arg(
                lists.Data6.recordset().field(QStringLiteral("Código")).toLongLong());
        };
    }

    void activate() { activation.run(); }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            cycle->tick();
    }
};

TEST(PollingCycle, IdleTicksCountAndTheFifthGivesCreditNotesTheirTurn)
{
    Cycle c;
    c.activate();
    MainDatabase::Sale printed;
    printed.factura = QStringLiteral("00000001");
    MainDatabase::Note note;
    note.venta = c.main->addSale(printed);
    const qint64 nota = c.main->addCreditNote(note);
    int expectedCount[] = {1, 2, 3, 4, 0, 1};
    for (int t = 0; t < 6; ++t) {
        c.window.transcript.clear();
        c.cycle->tick();
        EXPECT_EQ(c.state.TicksSinFactura, expectedCount[t]) << "tick " << t + 1;
        EXPECT_EQ(c.window.entries(QStringLiteral("status ")).first(),
                  QStringLiteral("status ") + texts::kRefrescandoTicketVentas);
        EXPECT_EQ(c.window.status(), texts::kEsperando);
    }
    EXPECT_EQ(c.jobs, QStringList{QStringLiteral("nota %1").arg(nota)});
    EXPECT_EQ(c.window.listRows(core::ListDisplay::DBList1).size(), 1);
}

TEST(PollingCycle, InvoicesFirstLowestCodeFirstWithoutCountingTicks)
{
    Cycle c;
    c.activate();
    const qint64 high = c.main->addSale({}, 205);
    const qint64 low = c.main->addSale({}, 204);
    MainDatabase::Sale other;
    other.maquinaFiscal = 2;
    c.main->addSale(other, 100);
    c.state.TicksSinFactura = 4;
    c.cycle->tick();
    EXPECT_EQ(c.jobs, QStringList{QStringLiteral("factura %1").arg(low)});
    EXPECT_EQ(c.state.TicksSinFactura, 4);
    EXPECT_EQ(c.window.listRows(core::ListDisplay::DBList2).size(), 2);
    // Printed by someone: the next one heads the list.
    c.main->exec(
        QStringLiteral("UPDATE Ventas SET Impresa = -1, Control = 'x' WHERE \"Código\" = ?"),
        {low});
    c.cycle->tick();
    EXPECT_EQ(c.jobs.last(), QStringLiteral("factura %1").arg(high));
}

TEST(PollingCycle, TicketCompanyAlternatesBetweenTicketAndInvoiceLists)
{
    Cycle c;
    c.settings.RifInstalacionTickets = QStringLiteral("J123456789");
    c.activate();
    c.local->exec(QStringLiteral("INSERT INTO \"TiketNoFiscal\" (\"Código\", Fecha, Caja, Impresa, "
                                 "Imprimir, Otro2) VALUES (1, '2026-12-06', 1, 0, -1, 'Mesa 4')"));
    QStringList first;
    for (int t = 0; t < 4; ++t) {
        c.window.transcript.clear();
        c.cycle->tick();
        first << c.window.entries(QStringLiteral("status ")).first().mid(7);
    }
    EXPECT_EQ(first,
              (QStringList{texts::kRefrescandoTicketNoFiscal, texts::kRefrescandoTicketVentas,
                           texts::kRefrescandoTicketNoFiscal, texts::kRefrescandoTicketVentas}));
    EXPECT_EQ(c.window.listRows(core::ListDisplay::DBList3),
              QStringList{QStringLiteral("Precuenta: Mesa 4")});
}

TEST(PollingCycle, NoJobBeforeTheCompanySettingsAreRead)
{
    Cycle c;
    c.main->exec(QStringLiteral("DELETE FROM \"Configuración\""));
    c.activate();
    c.main->addSale({});
    c.ticks(3);
    EXPECT_TRUE(c.jobs.isEmpty());
    c.main->setCompany(QStringLiteral("J123456789"));
    c.cycle->tick();
    EXPECT_EQ(c.jobs.size(), 1);
}

TEST(PollingCycle, DatabaseOutageIsReportedAndPrintingResumes)
{
    Cycle c;
    c.activate();
    const qint64 code = c.main->addSale({});
    const QString path = c.dir.file(QStringLiteral("Base de Datos.dba"));
    const QString aside = c.dir.file(QStringLiteral("aparte.dba"));
    ASSERT_TRUE(QFile::rename(path, aside));
    c.ticks(2);
    EXPECT_TRUE(c.jobs.isEmpty());
    EXPECT_TRUE(c.window.status().startsWith(QStringLiteral("Error de base de datos")))
        << qPrintable(c.window.status());
    EXPECT_FALSE(QFile::exists(path)) << "the robot never creates a database";
    ASSERT_TRUE(QFile::rename(aside, path));
    c.cycle->tick();
    EXPECT_EQ(c.jobs, QStringList{QStringLiteral("factura %1").arg(code)});
}

} // namespace
