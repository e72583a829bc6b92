#include "SimulatorFixture.h"

#include <QFile>
#include <QRegularExpression>

using namespace simtest;

namespace {

// 2 × 1.234,50 at rate 1 (16 %) and 1,5 × 10,00 exempt, then 10 % off:
// bases 2.222,10 and 13,50, tax 355,536 rounded half up to 355,54.
const QList<QByteArray> kInvoiceBody = {
    "i01Cliente Uno",
    "i03J-12345678-9",
    "!000012345000002000HARINA PAN",
    " 000000100000001500AGUA",
    "3",
    "p-1000",
};
const char *const kInvoiceTotal = "2.591,14";

} // namespace

class InvoiceTest : public SimulatorTest
{
};

TEST_F(InvoiceTest, PrintsFromHeaderToClosingAndAdvancesTheCounters)
{
    writeIni(QStringLiteral("[counters]\nInvoice=122\nZ=11\n"));
    ASSERT_EQ(open().result, 1);
    sendAll(kInvoiceBody);
    const Reply paid = send("101");
    EXPECT_EQ(paid.result, 1);
    EXPECT_EQ(paid.error, None);
    EXPECT_EQ(paid.status & (InvoiceOpen | CreditNoteOpen), 0);

    // The robot reads the number at 22-29 and the Z counter at 48-51.
    EXPECT_EQ(lastInvoiceFromStatus(), QStringLiteral("00000123"));
    EXPECT_EQ(lastZFromStatus(), QStringLiteral("0011"));

    const QString roll = paper();
    for (const char *expected :
         {"Cliente Uno", "J-12345678-9", "FACTURA", "HARINA PAN", "2,000 x 1.234,50", "2.469,00",
          "AGUA", "1,500 x 10,00", "DESCUENTO 10,00%", "-248,40", "2.222,10", "355,54", "13,50",
          "PAGO 01", "00000123", "FECHA "}) {
        EXPECT_TRUE(roll.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << roll.toStdString();
    }
    EXPECT_TRUE(roll.contains(
        QRegularExpression(QStringLiteral("TOTAL +%1\n")
                               .arg(QRegularExpression::escape(QLatin1String(kInvoiceTotal))))))
        << roll.toStdString();
}

TEST_F(InvoiceTest, ClosesOnlyWhenThePaymentsCoverTheTotalWithTax)
{
    const struct
    {
        const char *name;
        QList<QByteArray> payments;
        int closesAfter; // 1-based payment that closes; 0: stays open
        const char *onPaper;
    } cases[] = {
        {"exact total at once", {"201000000259114"}, 1, "PAGO 01"},
        {"short by one cent", {"201000000259113"}, 0, nullptr},
        {"the missing cent later", {"201000000259113", "205000000000001"}, 2, "PAGO 05"},
        {"without the tax", {"201000000223560"}, 0, nullptr},
        {"more than due gives change", {"209000000300000"}, 1, "CAMBIO"},
        {"the rest paid whole", {"201000000100000", "101"}, 2, "PAGO 01"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(open().result, 1);
        sendAll(kInvoiceBody);
        for (qsizetype i = 0; i < c.payments.size(); ++i) {
            const Reply r = send(c.payments[i]);
            EXPECT_EQ(r.result, 1);
            const bool shouldBeClosed = c.closesAfter > 0 && i + 1 >= c.closesAfter;
            EXPECT_EQ((r.status & InvoiceOpen) == 0, shouldBeClosed) << "payment " << i + 1;
        }
        if (c.onPaper) {
            EXPECT_TRUE(paper().contains(QLatin1String(c.onPaper)));
        }
        send("7"); // leaves the printer clean for the next case
    }
}

TEST_F(InvoiceTest, CancelMarksThePaperAndKeepsTheNumber)
{
    writeIni(QStringLiteral("[counters]\nInvoice=40\n"));
    ASSERT_EQ(open().result, 1);
    // Nothing open: the operator's cancel is harmless.
    EXPECT_EQ(send("7").result, 1);
    sendAll({"i01Cliente Anulado", "!000000500000001000PAN"});
    const Reply cancelled = send("7");
    EXPECT_EQ(cancelled.result, 1);
    EXPECT_EQ(cancelled.status & InvoiceOpen, 0);
    EXPECT_TRUE(paper().contains(QLatin1String("DOCUMENTO ANULADO")));
    EXPECT_EQ(lastInvoiceFromStatus(), QStringLiteral("00000040"));

    // The cancelled document's header does not reach the next one.
    sendAll({"!000000500000001000PAN", "101"});
    const QString roll = paper();
    const QString last = roll.mid(roll.lastIndexOf(QLatin1String("DOCUMENTO ANULADO")));
    EXPECT_FALSE(last.contains(QLatin1String("Cliente Anulado")));
    EXPECT_TRUE(last.contains(QLatin1String("00000041")));
}

class CreditNoteTest : public SimulatorTest
{
};

TEST_F(CreditNoteTest, ClosesWithItsOwnCommandAndTheReportAnswerHoldsItsNumber)
{
    const struct
    {
        const char *type;
        QList<QByteArray> header;
        int position;
        const char *reference;
    } cases[] = {
        {"HKA",
         {"i01Cliente Dos", "i02J-87654321-0", "i03Calle 1",
          "i04Factura afectada: 123  01/02/2024"},
         169,
         "Factura afectada: 123"},
        {"SAMSUNG", {"i01Cliente Dos", "i04Factura afectada: 124  01/02/2024"}, 169, "124"},
        {"DASCOM",
         {"iS*Cliente Dos", "iR*J-87654321-0", "iF*00000125", "iI*Z1B1234567", "iD*01/02/2024"},
         41,
         "FACTURA AFECTADA: 00000125"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type);
        writeIni(QStringLiteral("[printer]\nType=%1\n[counters]\nCreditNote=7\n")
                     .arg(QLatin1String(c.type)));
        QFile::remove(m_dir.file(QStringLiteral("fiscalsim.state")));
        ASSERT_EQ(open().result, 1);
        sendAll(c.header);
        sendAll({"d1000001234500002000HARINA", "d0000000100000001000AGUA", "3", "p-0550",
                 "201000000005000"});
        EXPECT_NE(send("3").status & CreditNoteOpen, 0) << "payments never close a credit note";
        const Reply closed = send("f09000000000000");
        EXPECT_EQ(closed.result, 1);
        EXPECT_EQ(closed.status & CreditNoteOpen, 0);

        ASSERT_EQ(uploadReport().result, 1);
        const QString answer = answerText(QStringLiteral("Status2.txt"));
        EXPECT_EQ(answer.mid(c.position - 1, 8), QStringLiteral("00000008"))
            << answer.toStdString();
        const QString roll = paper();
        EXPECT_TRUE(roll.contains(QLatin1String("NOTA DE CREDITO")));
        EXPECT_TRUE(roll.contains(QLatin1String(c.reference)));
        EXPECT_TRUE(roll.contains(QLatin1String("DESCUENTO 5,50%")));
        // The invoice counter is not the credit note's.
        EXPECT_EQ(lastInvoiceFromStatus(), QStringLiteral("00000000"));
    }
}

TEST_F(CreditNoteTest, ClosingWithAnAmountRecordsThatPayment)
{
    ASSERT_EQ(open().result, 1);
    sendAll({"d0000000200000001000AGUA", "f05000000001500"});
    EXPECT_TRUE(paper().contains(QRegularExpression(QStringLiteral("PAGO 05 +15,00"))));
}
