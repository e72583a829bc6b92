#include "core/Texts.h"
#include "support/RobotHarness.h"

#include <gtest/gtest.h>

using testsupport::RobotHarness;
namespace texts = core::texts;

namespace {

// A pending invoice, or a pending credit note on a printed sale, of one item.
qint64 addDocument(RobotHarness &h, bool nota)
{
    const qint64 venta = h.db().addSale({.factura = nota ? QVariant("00000009") : QVariant()});
    if (!nota) {
        h.db().addItem(venta, {});
        return venta;
    }
    const qint64 code = h.db().addCreditNote({.venta = venta});
    h.db().addCreditNoteLine(code, {});
    return code;
}

void print(RobotHarness &h, bool nota)
{
    nota ? h.printCreditNote() : h.printInvoice();
}

QVariant row(RobotHarness &h, bool nota, qint64 code, const QString &column)
{
    return nota ? h.db().creditNote(code, column) : h.db().sale(code, column);
}

TEST(DocumentJob, PortThatDoesNotOpenStopsPollingAndEnablesCerrar)
{
    for (const bool nota : {false, true}) {
        SCOPED_TRACE(nota ? "nota" : "factura");
        RobotHarness h({.simIni = "[faults]\nOpen=fail\n"});
        const qint64 code = addDocument(h, nota);
        print(h, nota);
        ASSERT_EQ(h.window().messages.size(), 2);
        EXPECT_EQ(h.window().messages[0], texts::kErrorPuerto);
        EXPECT_TRUE(
            h.window().messages[1].startsWith(texts::kEtapaPrefijo + (nota ? " 2.01." : " 2.1.")));
        EXPECT_FALSE(h.timer().isEnabled());
        EXPECT_TRUE(h.window().controlEnabled(core::Control::Command10));
        EXPECT_EQ(row(h, nota, code, QStringLiteral("Impresa")).toInt(), 0);
    }
}

TEST(DocumentJob, FailedDocumentIsTakenUpAgainOnlyAfterTheListWasEmpty)
{
    for (const bool nota : {false, true}) {
        SCOPED_TRACE(nota ? "nota" : "factura");
        RobotHarness h({.simIni = "[faults]\nRefuse=i01\n"});
        const qint64 code = addDocument(h, nota);
        const QString table = nota ? "NotaCréditoVenta" : "Ventas";
        print(h, nota);
        print(h, nota);
        EXPECT_EQ(h.commands().size(), 1) << "the operator looks at it first";
        // Voided by someone: the list is empty once.
        h.db().exec("UPDATE \"" + table + "\" SET \"Anulada\" = -1");
        print(h, nota);
        h.db().exec("UPDATE \"" + table + "\" SET \"Anulada\" = 0");
        print(h, nota);
        EXPECT_EQ(h.commands().size(), 2);
        EXPECT_EQ(row(h, nota, code, QStringLiteral("Impresa")).toInt(), 0);
    }
}

TEST(DocumentJob, WriteBackRefusedAfterTheCloseSaysPrintedAndNotRecorded)
{
    for (const bool nota : {false, true}) {
        SCOPED_TRACE(nota ? "nota" : "factura");
        RobotHarness h;
        const qint64 code = addDocument(h, nota);
        h.db().exec(QStringLiteral("CREATE TRIGGER rechazo BEFORE UPDATE ON \"%1\" BEGIN "
                                   "SELECT RAISE(ABORT, 'rechazado'); END")
                        .arg(nota ? "NotaCréditoVenta" : "Ventas"));
        print(h, nota);
        ASSERT_EQ(h.window().messages.size(), 1);
        EXPECT_TRUE(h.window().messages[0].contains(texts::impresoNoRegistrado(nota)));
        EXPECT_TRUE(h.window().messages[0].contains("rechazado"));
        EXPECT_TRUE(h.inst.paper().contains("00000001"));
        EXPECT_EQ(row(h, nota, code, QStringLiteral("Impresa")).toInt(), 0);
    }
}

} // namespace
