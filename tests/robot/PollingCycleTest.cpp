#include "core/Texts.h"
#include "support/RobotHarness.h"
#include "support/SqliteFile.h"

#include <gtest/gtest.h>

using testsupport::RobotHarness;
namespace texts = core::texts;

namespace {

// The events of the window as "impresa factura 204".
QStringList events(RobotHarness &h)
{
    static const char *const kinds[] = {"inicio", "impresa", "fallo", "recuperada", "retenida"};
    QStringList out;
    for (const core::DocumentEvent &e : h.window().events)
        out << QStringLiteral("%1 %2 %3")
                   .arg(QLatin1String(kinds[int(e.kind)]), e.notaCredito ? "nota" : "factura")
                   .arg(e.codigo);
    return out;
}

qint64 addNote(RobotHarness &h)
{
    const qint64 nota = h.db().addCreditNote({.venta = h.db().addSale({.factura = "00000001"})});
    h.db().addCreditNoteLine(nota, {});
    return nota;
}

TEST(PollingCycle, FifthIdleTickGivesTheCreditNotesTheirTurn)
{
    RobotHarness h;
    const qint64 nota = addNote(h);
    const int count[] = {1, 2, 3, 4, 0, 1};
    for (int t = 0; t < 6; ++t) {
        SCOPED_TRACE(t + 1);
        h.window().transcript.clear();
        h.tick();
        EXPECT_EQ(h.state().TicksSinFactura, count[t]);
        EXPECT_EQ(h.window().entries(QStringLiteral("status ")).value(0),
                  "status " + texts::kRefrescandoTicketVentas);
        EXPECT_EQ(h.window().status(), texts::kEsperando);
        EXPECT_EQ(events(h).size(), t < 4 ? 0 : 2);
    }
    EXPECT_EQ(events(h), (QStringList{QStringLiteral("inicio nota %1").arg(nota),
                                      QStringLiteral("impresa nota %1").arg(nota)}));
    EXPECT_EQ(h.window().listRows(core::ListDisplay::DBList1).size(), 1);
}

TEST(PollingCycle, OneInvoicePerTickLowestCodeFirstThenTheCreditNotes)
{
    RobotHarness h;
    for (qint64 code : {205, 204})
        h.db().addItem(h.db().addSale({}, code), {});
    h.db().addItem(h.db().addSale({.maquinaFiscal = 2}, 100), {});
    const qint64 nota = addNote(h);
    h.robot().activate();
    h.state().TicksSinFactura = 4;
    h.tick();
    EXPECT_EQ(events(h), (QStringList{"inicio factura 204", "impresa factura 204"}));
    EXPECT_EQ(h.window().listRows(core::ListDisplay::DBList2).size(), 2);
    EXPECT_EQ(h.state().TicksSinFactura, 4) << "a tick that prints is not idle";
    h.tick();
    h.tick();
    EXPECT_EQ(events(h).mid(2), (QStringList{"inicio factura 205", "impresa factura 205",
                                             QStringLiteral("inicio nota %1").arg(nota),
                                             QStringLiteral("impresa nota %1").arg(nota)}));
    EXPECT_EQ(h.db().sale(100, QStringLiteral("Impresa")).toInt(), 0) << "another machine's";
}

TEST(PollingCycle, TicketCompanyAlternatesTicketAndInvoiceLists)
{
    RobotHarness h({.robotIni = "[installation]\nRifInstalacionTickets=J123456789\n"});
    testsupport::SqliteFile(h.inst.file(QStringLiteral("Vextora.dba")))
        .exec(QStringLiteral("INSERT INTO \"TiketNoFiscal\" (\"Código\", Fecha, Caja, Impresa, "
                             "Imprimir, Otro2) VALUES (1, '2026-12-06', 1, 0, -1, 'Mesa 4')"));
    QStringList first;
    for (int t = 0; t < 4; ++t) {
        h.window().transcript.clear();
        h.tick();
        first << h.window().entries(QStringLiteral("status ")).value(0).mid(7);
    }
    EXPECT_EQ(first,
              (QStringList{texts::kRefrescandoTicketNoFiscal, texts::kRefrescandoTicketVentas,
                           texts::kRefrescandoTicketNoFiscal, texts::kRefrescandoTicketVentas}));
    EXPECT_EQ(h.window().listRows(core::ListDisplay::DBList3), QStringList{"Precuenta: Mesa 4"});
}

} // namespace
