#include "SimulatorFixture.h"

using namespace simtest;

namespace {

const QByteArray kItem = "!000000500000001000PAN";
const QByteArray kCreditLine = "d1000000500000001000PAN";

} // namespace

class RefusalTest : public SimulatorTest
{
};

TEST_F(RefusalTest, CommandsAndUploadsAreRefusedWhileThePortIsClosed)
{
    const Reply item = send(kItem);
    EXPECT_EQ(item.result, 0);
    EXPECT_EQ(item.error, PortClosed);
    EXPECT_EQ(uploadStatus().error, PortClosed);

    ASSERT_EQ(open().result, 1);
    EXPECT_EQ(send(kItem).result, 1);
    driver().CloseFpctrl();
    const Reply closed = send("101");
    EXPECT_EQ(closed.error, PortClosed);
    EXPECT_NE(closed.status & InvoiceOpen, 0) << "closing the port leaves the invoice open";
    EXPECT_EQ(closed.status & PortOpen, 0);
    EXPECT_FALSE(QFile::exists(m_dir.file(QStringLiteral("Status.txt"))));
}

TEST_F(RefusalTest, RefusesWhatAFiscalPrinterRefusesAndKeepsTheDocument)
{
    const struct
    {
        const char *name;
        QList<QByteArray> before;
        QByteArray command;
        int error;
    } cases[] = {
        {"price of nine digits", {}, "!00000500000001000PAN", Syntax},
        {"letter in the quantity", {}, "!00000050000000x000PAN", Syntax},
        {"description of 41 characters", {}, "!000000500000001000" + QByteArray(41, 'A'), Syntax},
        {"zero quantity", {}, "!000000500000000000PAN", BadValue},
        {"zero price", {}, "!000000000000001000PAN", BadValue},
        {"credit-note line of rate 4", {}, "d4000000500000001000PAN", Syntax},
        {"credit-note line inside an invoice", {kItem}, kCreditLine, NotNow},
        {"invoice item inside a credit note", {kCreditLine}, kItem, NotNow},
        {"header line inside an invoice", {kItem}, "i01Cliente", NotNow},
        {"reference line inside a credit note", {kCreditLine}, "iF*00000123", NotNow},
        {"header line number ten", {}, "i10Cliente", Syntax},
        {"X report with an invoice open", {kItem}, "I0X", NotNow},
        {"Z report with a credit note open", {kCreditLine}, "I0Z", NotNow},
        {"memory report with reversed dates", {}, "I2A311215010115", BadValue},
        {"memory report on the 30th of February", {}, "I2A300215010315", BadValue},
        {"memory report with eleven digits", {}, "I2A01011531121", Syntax},
        {"payment with nothing open", {}, "101", NotNow},
        {"whole payment inside a credit note", {kCreditLine}, "101", NotNow},
        {"partial payment of nothing", {kItem}, "201000000000000", BadValue},
        {"credit-note closing inside an invoice", {kItem}, "f09000000000000", NotNow},
        {"subtotal with nothing open", {}, "3", NotNow},
        {"discount with nothing open", {}, "p-1000", NotNow},
        {"discount of three digits", {kItem}, "p-100", Syntax},
        {"discount above 100 %", {kItem}, "p-10001", BadValue},
        {"second discount", {kItem, "3", "p-1000"}, "p-0500", NotNow},
        {"item after the discount", {kItem, "3", "p-1000"}, kItem, NotNow},
        {"item after a payment", {kItem, "201000000000100"}, kItem, NotNow},
        {"unknown command", {}, "XYZ", Syntax},
        {"empty command", {}, "", Syntax},
    };
    ASSERT_EQ(open().result, 1);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        sendAll(c.before);
        const Reply before = send("3");
        const Reply r = send(c.command);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.error, c.error);
        // A refused command changes nothing the printer holds.
        if (!c.before.isEmpty()) {
            EXPECT_EQ(r.status, before.status);
        }
        EXPECT_EQ(send("7").error, None);
    }
    EXPECT_EQ(lastInvoiceFromStatus(), QStringLiteral("00000000"));
}
