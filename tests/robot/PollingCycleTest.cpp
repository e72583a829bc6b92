#include "core/Texts.h"
#include "support/RobotHarness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

using testsupport::RobotHarness;
namespace texts = core::texts;

namespace {

using PollingCycle = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(PollingCycle);

TEST_P(PollingCycle, OneInvoicePerTickLowestCodeFirstAndTheNotesOnTheFifthIdleTick)
{
    RobotHarness h({.engine = GetParam()});
    for (qint64 code : {205, 204})
        h.db().addItem(h.db().addSale({}, code), {});
    h.db().addItem(h.db().addSale({.fiscalMachine = 2}, 100), {}); // another machine's
    const qint64 note =
        h.db().addCreditNote({.sale = h.db().addSale({.invoiceNumber = "00000001"})}, 501);
    h.db().addCreditNoteLine(note, {});
    // After each tick: the idle ticks counted, and the document printed in it.
    QStringList ticks;
    for (int t = 1; t <= 8; ++t) {
        SCOPED_TRACE(QStringLiteral("tick %1").arg(t).toStdString());
        h.window().transcript.clear();
        h.window().events.clear();
        h.tick();
        EXPECT_EQ(h.window().entries(QStringLiteral("status ")).value(0),
                  "status " + texts::kRefreshingSales);
        QString tick = QString::number(h.robot().state().TicksSinFactura);
        for (const core::DocumentEvent &e : h.window().events)
            if (e.kind == core::DocumentEvent::Kind::Printed)
                tick += QStringLiteral(" %1 %2")
                            .arg(e.document == core::DocumentKind::CreditNote ? "nota" : "factura")
                            .arg(e.code);
        ticks << tick;
    }
    EXPECT_EQ(ticks, (QStringList{"0 factura 204", "0 factura 205", "1", "2", "3", "4",
                                  "0 nota 501", "1"}));
    EXPECT_EQ(h.window().listRows(core::ListDisplay::DBList1).size(), 1);
    EXPECT_EQ(h.db().sale(100, QStringLiteral("Impresa")).toInt(), 0);
}

TEST_P(PollingCycle, TicketCompanyAlternatesTicketAndInvoiceLists)
{
    RobotHarness h(
        {.robotIni = "[installation]\nRifInstalacionTickets=J123456789\n", .engine = GetParam()});
    testsupport::MainRows(h.file(QStringLiteral("Vextora.dba")))
        .exec(QStringLiteral("INSERT INTO \"TiketNoFiscal\" (\"Código\", Fecha, Caja, Impresa, "
                             "Imprimir, Otro2) VALUES (1, '2026-12-06', 1, 0, -1, 'Mesa 4')"));
    // Printed on a sales tick, it stays in the invoice list the ticket tick
    // after it leaves as it was: not taken up again from there.
    const qint64 sale = h.db().addSale({});
    h.db().addItem(sale, {});
    QStringList first;
    for (int t = 0; t < 4; ++t) {
        h.window().transcript.clear();
        h.tick();
        first << h.window().entries(QStringLiteral("status ")).value(0).mid(7);
    }
    EXPECT_EQ(first, (QStringList{texts::kRefreshingTickets, texts::kRefreshingSales,
                                  texts::kRefreshingTickets, texts::kRefreshingSales}));
    EXPECT_EQ(h.window().listRows(core::ListDisplay::DBList3), QStringList{"Precuenta: Mesa 4"});
    EXPECT_EQ(h.db().sale(sale, QStringLiteral("Impresa")).toInt(), -1);
    EXPECT_EQ(h.window().messages, QStringList());
}

// A change of the main database runs the tick at once, however far the
// timer's next one: three sales flagged together (each in one transaction,
// as the administrative system commits a sale) print once each, in code
// order, the robot's own write-back waking it for the next.
TEST_P(PollingCycle, AChangeOfTheDatabaseRunsTheTickAtOnce)
{
    RobotHarness h({.engine = GetParam()});
    h.robot().activate();
    h.robot().Timer1().setInterval(std::chrono::hours(10));
    h.robot().Timer1().setEnabled(true);
    h.robot().watchForChanges();
    QList<qint64> sales;
    for (int i = 0; i < 3; ++i) {
        h.db().exec(QStringLiteral("BEGIN"));
        sales << h.db().addSale({});
        h.db().addItem(sales.last(), {});
        h.db().exec(QStringLiteral("COMMIT"));
    }
    QList<qint64> printed;
    for (QDeadlineTimer deadline(30000); printed.size() < 3 && !deadline.hasExpired();) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        printed.clear();
        for (const auto &e : h.window().events)
            if (e.kind == core::DocumentEvent::Kind::Printed)
                printed << e.code;
    }
    EXPECT_EQ(printed, sales);
    EXPECT_EQ(h.fiscalMemory().value("lastInvoice").toInt(), 3);
}

} // namespace
