// What a fiscal printer enforces, the faults it is told to show, its journal
// and its fiscal memory, through the simulator's five entries.
#include "printer/DriverLibrary.h"
#include "support/QtPrinters.h"
#include "support/TestDir.h"

#include <QDate>
#include <QDir>
#include <QRegularExpression>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Reply
{
    int result = -1, status = -1, error = -1;
};

// The error words the simulator documents, and the driver contract's status bits.
enum Error { None, PortClosed, Syntax, NotNow, BadValue, Fault, NoAnswer };
using namespace printer::status;

// The built simulator loaded by path as the robot loads its driver (once for
// the process), in a fresh program directory made current.
class Simulator : public ::testing::Test
{
protected:
    Simulator() : m_previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~Simulator() override
    {
        driver().CloseFpctrl();
        QDir::setCurrent(m_previous);
    }
    static printer::Driver &driver()
    {
        static const auto library =
            printer::DriverLibrary::load(QStringLiteral(FISCALSIM_LIBRARY), QString(), nullptr);
        return *library;
    }

    void ini(const QByteArray &text) const { dir.write(QStringLiteral("fiscalsim.ini"), text); }
    static int open() { return driver().OpenFpctrl("COM1"); }
    static Reply send(const QByteArray &command)
    {
        Reply r;
        r.result = driver().SendCmd(&r.status, &r.error, command.constData());
        return r;
    }
    // Sends each command and expects the printer to take it; the last reply.
    static Reply sendAll(const QList<QByteArray> &commands)
    {
        Reply r;
        for (const QByteArray &c : commands)
            EXPECT_EQ((r = send(c)).error, None) << c.constData();
        return r;
    }
    // Through UploadStatusCmd into Status.txt, or UploadReportCmd into Status2.txt.
    Reply upload(bool report, const QByteArray &command) const
    {
        Reply r;
        const QByteArray file = dir.file(report ? "Status2.txt" : "Status.txt").toLocal8Bit();
        auto call = report ? &printer::Driver::UploadReportCmd : &printer::Driver::UploadStatusCmd;
        r.result = (driver().*call)(&r.status, &r.error, command.constData(), file.constData());
        return r;
    }
    QString read(const char *name) const
    {
        QFile f(dir.file(QString::fromUtf8(name)));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QString paper() const { return read("fiscalsim-paper.txt"); }
    // Characters of the S1 answer, counting from 1.
    QString status(int from, int count) const
    {
        EXPECT_EQ(upload(false, "S1").result, 1);
        return read("Status.txt").mid(from - 1, count);
    }

    testsupport::TestDir dir;

private:
    QString m_previous;
};

// 2 × 1.234,50 at rate 1 (16 %) and 1,5 × 10,00 exempt, then 10 % off:
// bases 2.222,10 and 13,50, tax 355,536 rounded half up to 355,54.
const QList<QByteArray> kInvoice = {"i01Pe\xf1\x61 \xd1\x61nd\xfa", // windows-1252
                                    "!000012345000002000HARINA PAN", " 000000100000001500AGUA", "3",
                                    "p-1000"};
const QByteArray kItem = "!000000500000001000PAN";
const QByteArray kLine = "d1000000500000001000PAN";

TEST_F(Simulator, AnInvoiceClosesWhenItsPaymentsCoverTheTotalWithTaxAndAdvancesItsCounter)
{
    ini("[counters]\nInvoice=122\nZ=11\n");
    // The payments, and what the paper shows once they close it (nullptr: it stays open).
    const std::tuple<const char *, QList<QByteArray>, const char *> cases[] = {
        {"paid whole", {"101"}, "PAGO 01"},
        {"one cent short", {"201000000259113"}, nullptr},
        {"the missing cent later", {"201000000259113", "205000000000001"}, "PAGO 05"},
        {"more than due gives change", {"209000000300000"}, "CAMBIO"},
        {"the rest paid whole", {"201000000100000", "101"}, "PAGO 01"}};
    ASSERT_EQ(open(), 1);
    for (const auto &[name, payments, onPaper] : cases) {
        SCOPED_TRACE(name);
        const qsizetype before = paper().size();
        sendAll(kInvoice);
        EXPECT_EQ((sendAll(payments).status & kInvoiceOpen) == 0, onPaper != nullptr);
        EXPECT_TRUE(!onPaper || paper().mid(before).contains(QLatin1String(onPaper)));
        send("7");
    }
    EXPECT_EQ(status(22, 8) + status(48, 4), QStringLiteral("000001260011"));
    const QString roll = paper();
    for (const char *expected : {"Peña Ñandú", "2,000 x 1.234,50", "1,500 x 10,00",
                                 "DESCUENTO 10,00%", "2.222,10", "355,54", "FECHA "})
        EXPECT_TRUE(roll.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_TRUE(roll.contains(QRegularExpression("TOTAL +2\\.591,14\n[^=]*FACTURA N\\. +00000123")))
        << qPrintable(roll);
}

TEST_F(Simulator, CreditNoteClosesOnlyWithItsOwnCommand)
{
    // Type, header lines, closing, paper.
    const std::tuple<const char *, QList<QByteArray>, QByteArray, const char *> cases[] = {
        {"HKA", {"i04Factura afectada: 123"}, "f09000000000000", "Factura afectada: 123"},
        {"SAMSUNG", {"i04Factura: 124"}, "f09000000000000", "PAGO 09"},
        {"DASCOM", {"iF*00000125"}, "f05000000001500", "FACTURA AFECTADA: 00000125"}};
    for (const auto &[type, header, closing, onPaper] : cases) {
        SCOPED_TRACE(type);
        ini(QByteArray("[printer]\nType=") + type + "\n");
        QFile::remove(dir.file(QStringLiteral("fiscalsim.state")));
        ASSERT_EQ(open(), 1);
        sendAll(header);
        const Reply paid = sendAll({"d1000001234500002000HARINA", "d0000000100000001000AGUA", "3",
                                    "p-0550", "201000000005000"});
        EXPECT_NE(paid.status & kCreditNoteOpen, 0) << "payments never close a credit note";
        EXPECT_EQ(sendAll({closing}).status & kCreditNoteOpen, 0);
        for (const char *expected : {"NOTA DE CREDITO", "DESCUENTO 5,50%", onPaper})
            EXPECT_TRUE(paper().contains(QLatin1String(expected))) << expected;
    }
    EXPECT_TRUE(paper().contains(QRegularExpression(QStringLiteral("PAGO 05 +15,00"))));
}

TEST_F(Simulator, TheDrawerOpensAtAnyTimeAndTheMemoryReportListsTheZOfItsDates)
{
    ini("[counters]\nZ=11\n");
    ASSERT_EQ(open(), 1);
    sendAll({"0", "w", kItem, "0", "w", "101", "I0Z"});
    const QByteArray today = QDate::currentDate().toString(QStringLiteral("ddMMyy")).toLatin1();
    for (const QByteArray &range : {"I2A" + today + today, QByteArray("I2A010115310115")}) {
        sendAll({range});
        const QString report = paper().section(QStringLiteral("REPORTE DE MEMORIA"), -1);
        EXPECT_EQ(report.contains(QLatin1String("Z 0012")), range.endsWith(today)) << range.data();
        EXPECT_EQ(report.contains(QLatin1String("SIN CIERRES")), !range.endsWith(today));
    }
}

TEST_F(Simulator, RefusesWhatAFiscalPrinterRefusesAndKeepsTheDocument)
{
    // What the printer holds before, the command and the error word.
    const std::tuple<const char *, QList<QByteArray>, QByteArray, int> cases[] = {
        {"price of nine digits", {}, "!00000500000001000PAN", Syntax},
        {"description of 41 characters", {}, "!000000500000001000" + QByteArray(41, 'A'), Syntax},
        {"zero quantity", {}, "!000000500000000000PAN", BadValue},
        {"credit-note line of rate 4", {}, "d4000000500000001000PAN", Syntax},
        {"credit-note line inside an invoice", {kItem}, kLine, NotNow},
        {"invoice item inside a credit note", {kLine}, kItem, NotNow},
        {"header line inside an invoice", {kItem}, "i01Cliente", NotNow},
        {"reference line inside a credit note", {kLine}, "iF*00000123", NotNow},
        {"header line number ten", {}, "i10Cliente", Syntax},
        {"X report with an invoice open", {kItem}, "I0X", NotNow},
        {"Z report with a credit note open", {kLine}, "I0Z", NotNow},
        {"memory report with reversed dates", {}, "I2A311215010115", BadValue},
        {"memory report on the 30th of February", {}, "I2A300215010315", BadValue},
        {"payment with nothing open", {}, "101", NotNow},
        {"whole payment inside a credit note", {kLine}, "101", NotNow},
        {"partial payment of nothing", {kItem}, "201000000000000", BadValue},
        {"credit-note closing inside an invoice", {kItem}, "f09000000000000", NotNow},
        {"discount above 100 %", {kItem}, "p-10001", BadValue},
        {"second discount", {kItem, "3", "p-1000"}, "p-0500", NotNow},
        {"item after the discount", {kItem, "3", "p-1000"}, kItem, NotNow},
        {"item after a payment", {kItem, "201000000000100"}, kItem, NotNow},
        {"unknown command", {"i01Cliente Anulado", kItem}, "XYZ", Syntax}};
    ASSERT_EQ(open(), 1);
    for (const auto &[name, before, command, error] : cases) {
        SCOPED_TRACE(name);
        const Reply held = sendAll(before);
        const Reply r = send(command);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.error, error);
        EXPECT_TRUE(before.isEmpty() || r.status == held.status) << "nothing held changes";
        EXPECT_EQ(send("7").error, None);
    }
    // All cancelled: the next invoice is the first, with no header of theirs.
    sendAll({kItem, "101"});
    const QString next = paper().section(QStringLiteral("DOCUMENTO ANULADO"), -1);
    EXPECT_FALSE(next.contains(QLatin1String("Cliente Anulado")));
    EXPECT_TRUE(next.contains(QRegularExpression("FACTURA N\\. +00000001"))) << qPrintable(next);
}

TEST_F(Simulator, AClosedPortRefusesEverythingAndKeepsTheDocument)
{
    ini("[faults]\nOpen=fail\n");
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(send("0").error, PortClosed);
    EXPECT_EQ(upload(false, "S1").error, PortClosed);
    ini("");
    ASSERT_EQ(open(), 1);
    ASSERT_EQ(open(), 1) << "an open port opens again";
    sendAll({kItem});
    driver().CloseFpctrl();
    const Reply closed = send("101");
    EXPECT_EQ(closed.error, PortClosed);
    EXPECT_NE(closed.status & kInvoiceOpen, 0) << "closing the port leaves the invoice open";
}

TEST_F(Simulator, UploadsTakeOnlyTheirOwnCommandAndRefusedPrefixesAreRefused)
{
    ASSERT_EQ(open(), 1);
    for (const auto &[report, command] : {std::pair{false, "U0X"}, {true, "S1"}, {false, "S9"}})
        EXPECT_EQ(upload(report, command).error, Syntax) << command;
    ini("[faults]\nRefuse=I0Z,101\n");
    ASSERT_EQ(open(), 1);
    const std::pair<QByteArray, int> cases[] = {
        {"I0Z", Fault}, {"I0X", None}, {kItem, None}, {"101", Fault}, {"201000000000580", None}};
    for (const auto &[command, error] : cases)
        EXPECT_EQ(send(command).error, error) << command.constData();
}

// A changed fiscalsim.ini is read at the next call, as a running robot meets
// it: the shop days put their faults at moments of their choosing so.
TEST_F(Simulator, AChangedIniCountsFromItsReadingAndRefuses7OnlyWithNothingOpen)
{
    ini("");
    ASSERT_EQ(open(), 1);
    sendAll({"I0X", "I0X", "7"});
    ini("[faults]\nRefuseNth=2\nRefuse7WhenIdle=yes\n");
    const std::pair<QByteArray, int> cases[] = {{"I0X", None}, {"I0X", Fault}, {"7", NotNow},
                                                {kItem, None}, {"7", None},    {"7", NotNow}};
    for (const auto &[command, error] : cases)
        EXPECT_EQ(send(command).error, error) << command.constData();
    ini("");
    EXPECT_EQ(send("7").error, None) << "taken again once the file says nothing";
}

TEST_F(Simulator, NthFaultsCountCallsSinceLoadAndTheMemoryKeepsTheOpenInvoice)
{
    // A process of its own, whose library counts from its loading on.
    ini("[faults]\nRefuseNth=3\nLoseReplyNth=4\nUploadFailNth=2\nKillAfter=5\n"
        "[counters]\nInvoice=5\n");
    const QByteArray answer = dir.file(QStringLiteral("Status.txt")).toLocal8Bit();
    QFile::copy(QStringLiteral(FISCALSIM_LIBRARY), dir.file(QStringLiteral("fresh.so")));
    const pid_t pid = fork();
    if (pid == 0) {
        auto d = printer::DriverLibrary::load(dir.file(QStringLiteral("fresh.so")), {}, nullptr);
        int s = 0, e = 0;
        d->SendCmd(&s, &e, "0"); // port closed: still counted
        d->OpenFpctrl("COM1");
        // Refused, then carried out with its answer lost.
        for (const char *c :
             {"i01Cliente Cortado", "!000000500000001000PAN", "!000000500000001000PAN"})
            d->SendCmd(&s, &e, c);
        d->UploadStatusCmd(&s, &e, "S1", answer.constData());
        d->UploadStatusCmd(&s, &e, "S1", answer.constData());
        for (const char *c : {"!000000250000002000LECHE", "101"})
            d->SendCmd(&s, &e, c);
        _exit(0); // not reached: killed after the fifth
    }
    int ended = 0;
    waitpid(pid, &ended, 0);
    ASSERT_TRUE(WIFSIGNALED(ended) && WTERMSIG(ended) == SIGKILL) << ended;
    const QString s1 = "UploadStatusCmd\tS1\t" + QString::fromLocal8Bit(answer) + '\t';
    EXPECT_EQ(
        read("fiscalsim.log").split('\n', Qt::SkipEmptyParts),
        (QStringList{"SendCmd\t0\t0", "OpenFpctrl\tCOM1\t1", "SendCmd\ti01Cliente Cortado\t1",
                     "SendCmd\t!000000500000001000PAN\t0", "SendCmd\t!000000500000001000PAN\t0",
                     s1 + '1', s1 + '0', "SendCmd\t!000000250000002000LECHE\t1"}));
    // Power back, in this process: the invoice is still open and closes with both items.
    ini("");
    ASSERT_EQ(open(), 1);
    EXPECT_NE(upload(false, "S1").status & kInvoiceOpen, 0) << "uploads answer at any time";
    sendAll({"101"});
    EXPECT_EQ(status(22, 8), QStringLiteral("00000006"));
    EXPECT_TRUE(paper().contains(
        QRegularExpression("Cliente Cortado\n[^=]*PAN[^=]*LECHE[^=]*FACTURA N\\. +00000006")))
        << qPrintable(paper());
    EXPECT_EQ(paper().count("PAN"), 1) << "the refused item is not on it, the lost answer's is";
}

} // namespace
