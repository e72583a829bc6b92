#include "core/Texts.h"
#include "db/PrintJournal.h"
#include "documents/JobContext.h"
#include "robot/PrinterActions.h"
#include "support/RobotHarness.h"

#include <gtest/gtest.h>

using db::PrintJournal;
using testsupport::RobotHarness;
using Kind = core::DocumentEvent::Kind;
using enum core::DocumentKind;

namespace {

PrintJournal &journalOf(RobotHarness &h)
{
    return *h.robot().jobContext().journal;
}

using Recovery = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(Recovery);

TEST_P(Recovery, UnreadablePrinterHoldsEveryDocumentAndReportUntilItAnswers)
{
    RobotHarness h({.simIni = "[faults]\nUpload=fail\n", .engine = GetParam()});
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {});
    // Killed while closing it, with the printer's last number 00000000.
    const qint64 id = journalOf(h).takeUp(Invoice, code);
    journalOf(h).closing(id, QStringLiteral("00000000"));
    h.tick();
    h.tick();
    EXPECT_EQ(h.sentCommands(), QStringList());
    ASSERT_EQ(h.window().events.size(), 1) << "held once, not at every tick";
    EXPECT_EQ(h.window().events[0].kind, Kind::Held);
    // The printer may have closed it: a Z now would move the Z counter it is
    // recorded with. The reports and the drawer wait as during a document.
    robot::PrinterActions actions(h.robot());
    for (const robot::Outcome &o :
         {actions.printZReport(), actions.printXReport(), actions.openDrawer(),
          actions.printFiscalMemory(QStringLiteral("01/01/2015"), QStringLiteral("31/01/2015"))})
        EXPECT_EQ(o.text, core::texts::kDocumentPrinting);

    // The printer answers and never closed it: cancelled, then printed again.
    h.writeSimIni({});
    h.tick();
    const QStringList sent = h.sentCommands();
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.first(), QStringLiteral("7"));
    EXPECT_EQ(sent.count(QStringLiteral("101")), 1);
    EXPECT_TRUE(journalOf(h).settled());
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Factura")).toString(), QStringLiteral("00000001"));
    EXPECT_TRUE(actions.printZReport().done());
}

TEST_P(Recovery, JobNeverPrintsAgainWhatThePrinterAlreadyClosed)
{
    for (const auto kind : {Invoice, CreditNote}) {
        SCOPED_TRACE(kind == CreditNote ? "nota" : "factura");
        RobotHarness h({.engine = GetParam()});
        qint64 code = h.db().addSale(
            {.invoiceNumber = kind == CreditNote ? QVariant("00000009") : QVariant()});
        if (kind == CreditNote)
            code = h.db().addCreditNote({.sale = code, .amount = 10});
        const qint64 id = journalOf(h).takeUp(kind, code);
        journalOf(h).closed(id, QStringLiteral("00000077"), QString());
        journalOf(h).recorded(id);
        h.print(kind);
        EXPECT_EQ(h.sentCommands(), QStringList());
        EXPECT_EQ(h.window().messages,
                  QStringList{core::texts::alreadyPrinted(kind, code, QStringLiteral("00000077"))});
        // Asked to try it again, the robot says it stays held and why.
        const robot::Outcome again = robot::PrinterActions(h.robot()).retry(kind, code);
        EXPECT_EQ(again.result, robot::Outcome::Result::Refused);
        EXPECT_EQ(again.text, core::texts::staysHeldAlreadyPrinted(kind, code, "00000077"));
    }
}

} // namespace
