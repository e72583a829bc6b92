#include "documents/Recovery.h"
#include "core/Texts.h"
#include "support/JobHarness.h"

#include <gtest/gtest.h>

using db::PrintJournal;
using testsupport::JobHarness;
namespace texts = core::texts;

namespace {

TEST(Recovery, UnreadablePrinterHoldsNewDocumentsUntilItAnswers)
{
    JobHarness h(QStringLiteral("HKA"), "[faults]\nUpload=fail\n");
    PrintJournal &journal = h.enableJournal();
    const qint64 code = h.db().addSale({});
    const qint64 id = journal.tomado(PrintJournal::Kind::Factura, code);
    journal.cerrando(id, QStringLiteral("00000000"));
    documents::Recovery recovery(h.context());
    EXPECT_FALSE(recovery.run());
    EXPECT_FALSE(recovery.run());
    ASSERT_EQ(h.window().events.size(), 1) << "held once, not at every tick";
    EXPECT_EQ(h.window().events[0].kind, core::DocumentEvent::Kind::Retenida);
    EXPECT_TRUE(h.commands().isEmpty());

    // The printer answers again and never closed it: cancelled, to print again.
    h.sim().dir().write(QStringLiteral("fiscalsim.ini"), "[printer]\nType=HKA\n");
    EXPECT_TRUE(recovery.run());
    EXPECT_EQ(h.commands(), QStringList{QStringLiteral("7")});
    EXPECT_TRUE(journal.settled());
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
}

TEST(Recovery, ClosedDocumentIsRecordedOnceTheDatabaseTakesIt)
{
    JobHarness h;
    PrintJournal &journal = h.enableJournal();
    const qint64 code = h.db().addSale({});
    const qint64 id = journal.tomado(PrintJournal::Kind::Factura, code);
    journal.cerrado(id, QStringLiteral("00000033"), QStringLiteral("0011"));
    h.db().exec(QStringLiteral("CREATE TRIGGER rechazo BEFORE UPDATE ON Ventas BEGIN "
                               "SELECT RAISE(ABORT, 'rechazado'); END"));
    documents::Recovery recovery(h.context());
    EXPECT_FALSE(recovery.run());
    h.db().exec(QStringLiteral("DROP TRIGGER rechazo"));
    EXPECT_TRUE(recovery.run());
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Factura")).toString(), QStringLiteral("00000033"));
    EXPECT_EQ(h.db().sale(code, QStringLiteral("NúmeroZ")).toInt(), 12);
    EXPECT_TRUE(h.commands().isEmpty()) << "recorded without a word to the printer";
    ASSERT_FALSE(h.window().events.isEmpty());
    EXPECT_EQ(h.window().events.last().kind, core::DocumentEvent::Kind::Recuperada);
}

TEST(Recovery, JobNeverPrintsAgainWhatThePrinterAlreadyClosed)
{
    for (const bool nota : {false, true}) {
        JobHarness h;
        PrintJournal &journal = h.enableJournal();
        testsupport::MainDatabase::Sale printed;
        printed.factura = QStringLiteral("00000009");
        qint64 code = 0;
        if (nota) {
            testsupport::MainDatabase::Note note;
            note.venta = h.db().addSale(printed);
            code = h.db().addCreditNote(note);
            h.db().addCreditNoteLine(code, {});
        } else {
            code = h.db().addSale({});
            h.db().addItem(code, {});
        }
        const auto kind = nota ? PrintJournal::Kind::Nota : PrintJournal::Kind::Factura;
        const qint64 id = journal.tomado(kind, code);
        journal.cerrado(id, QStringLiteral("00000077"), QString());
        journal.registrado(id);
        nota ? h.printCreditNote() : h.printInvoice();
        EXPECT_TRUE(h.commands().isEmpty());
        EXPECT_EQ(h.window().messages,
                  QStringList{texts::yaImpreso(nota, code, QStringLiteral("00000077"))});
    }
}

} // namespace
