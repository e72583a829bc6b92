#include "core/Texts.h"
#include "robot/StatusReport.h"
#include "support/RobotHarness.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

using testsupport::Engine;
using testsupport::MainRows;
using testsupport::RobotHarness;
using enum core::DocumentKind;
using C = MainRows::Customer;
using Item = MainRows::Item;
namespace texts = core::texts;

namespace {

// A pending invoice, or a pending credit note on the sale once it was printed
// as invoice 00000077, and the installation it is printed on.
struct Doc
{
    core::DocumentKind kind = Invoice;
    QString type = QStringLiteral("HKA");
    QByteArray sim = {}; // added to fiscalsim.ini
    QByteArray ini = {}; // added to robot-fiscal.ini
    MainRows::Sale sale = {};
    QList<Item> items = {Item{}}; // the sale's items, or the note's lines
    MainRows::Note note = {};
    QList<QPair<QVariant, QVariant>> payments = {}; // the sale's
    int mode = 1; // the quantity columns shown: 1 whole, 2 decimal, 3 both, 0 none
    QList<double> rates = {16, 8, 31};
};

// The robot on a fresh installation, given the document to print.
struct Job
{
    Job(const Doc &d, Engine engine)
        : h({.type = d.type, .simIni = d.sim, .robotIni = d.ini, .engine = engine}), kind(d.kind)
    {
        h.db().setCompany(QStringLiteral("J123456789"), d.mode & 1 ? -1 : 0, d.mode & 2 ? -1 : 0);
        h.db().setRates(d.rates.value(0), d.rates.value(1), d.rates.value(2));
        MainRows::Sale sale = d.sale;
        sale.invoiceNumber = d.kind == Invoice                ? QVariant()
                             : d.sale.invoiceNumber.isValid() ? d.sale.invoiceNumber
                                                              : "00000077";
        code = h.db().addSale(sale);
        for (const auto &p : d.payments)
            h.db().addPayment(code, p.first, p.second);
        if (d.kind == CreditNote) {
            MainRows::Note note = d.note;
            note.sale = code;
            code = h.db().addCreditNote(note);
        }
        for (const Item &item : d.items)
            note() ? h.db().addCreditNoteLine(code, item) : h.db().addItem(code, item);
    }
    bool note() const { return kind == CreditNote; }
    void print() { h.print(kind); }
    QVariant row(const char *column) { return h.db().document(kind, code, column); }

    RobotHarness h;
    core::DocumentKind kind;
    qint64 code = 0;
};

const QString kName37 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567890").left(37);
const QString kName60 = QStringLiteral("Distribuidora ").repeated(5).left(60);
const QString kAddress80 = QStringLiteral("Calle Real de Sabana Grande ").repeated(3).left(80);
const QString kName50 = QStringLiteral("Producto largo ").repeated(4).left(50);
const QString kPaymentLine = QStringLiteral("i06Forma de Pago: Contado");
const QStringList kInvoiceHeader{"i01Cliente de Prueba", "i03J123456789", "i04Av. Principal",
                                 "i05Telefono: 0212-5551234", kPaymentLine};
const QString kItemLine = QStringLiteral("!000000100000001000HARINA");
const QString kAffectedInvoice = QStringLiteral("i04Factura afectada: 00000077  01/12/2026");
const QStringList kNoteHeader{"i01Cliente de Prueba", "i02J123456789", "i03Av. Principal",
                              kAffectedInvoice};
const QString kNoteLine = QStringLiteral("d1000000100000001000HARINA");
const QString kNoteClosing = QStringLiteral("f09000000000000");
const QString kAmountText = QStringLiteral("Descuento a factura");
const QByteArray kOperatorSerials = "[installation]\nSerialesOperador=X0X0000000, Z1B1234567\n";
const QByteArray kOrderSerial = "[installation]\nSerialOrdenCompra=Z1B1234567\n";
const QStringList kDascomHeader{"iS*Cliente de Prueba", "iR*J123456789", "iF*00000077",
                                "iI*Z1B1234567", "iD*01/12/2026"};

using DocumentJob = testsupport::OnEngine;
RUN_ON_BOTH_ENGINES(DocumentJob);

TEST_P(DocumentJob, EveryCommandOfAnInvoiceOrACreditNote)
{
    const Item rice{"ARROZ", 150.25, 1, 0, {}, -1}; // exempt, covered by the payments below
    const QString riceLine = QStringLiteral(" 000001502500001000ARROZ");
    const Item hidden{"OCULTO", 1, 1, 0, {}, 0, 1};
    const struct
    {
        const char *name;
        Doc doc;
        QStringList expected;
    } cases[] = {
        // clang-format off
        // The invoice's customer block and the lines the settings add.
        {"name of 37", {.sale = {C{kName37, "J1", "Av. Bolívar", "0212-1"}}},
         {"i01" + kName37, "i03J1", "i04Av. Bolívar", "i05Telefono: 0212-1", kPaymentLine, kItemLine, "101"}},
        {"name of 38", {.sale = {C{kName37 + "X", "J1", {}, {}}}}, {"i01" + kName37, "i02X", "i03J1", kPaymentLine, kItemLine, "101"}},
        {"name of 60", {.sale = {C{kName60, "J1", {}, {}}}},
         {"i01" + kName60.left(37), "i02" + kName60.mid(37), "i03J1", kPaymentLine, kItemLine, "101"}},
        {"35 characters and 5 blanks", {.sale = {C{kName37.left(35) + "     ", "J1", {}, {}}}},
         {"i01" + kName37.left(35), "i02", "i03J1", kPaymentLine, kItemLine, "101"}},
        {"template cuts the name", {.sale = {.customer = C{kName60, "J1", {}, {}}, .auxiliaryTemplate = -1}},
         {"i01" + kName60.left(37), "i03J1", kPaymentLine, kItemLine, "101"}},
        {"null template cuts it too", {.sale = {.customer = C{kName60, "J1", {}, {}}, .auxiliaryTemplate = {}}},
         {"i01" + kName60.left(37), "i03J1", kPaymentLine, kItemLine, "101"}},
        {"address of 80, no phone", {.sale = {C{"Ana", "V1", kAddress80, "0414"}}},
         {"i01Ana", "i03V1", "i04" + kAddress80.left(37), "i05" + kAddress80.mid(37, 37), kPaymentLine, kItemLine, "101"}},
        {"null address", {.sale = {C{"Ana", "V1", {}, "0414-7"}}},
         {"i01Ana", "i03V1", "i05Telefono: 0414-7", kPaymentLine, kItemLine, "101"}},
        {"blanks trimmed", {.sale = {C{"  Ana  ", "  J123456789 ", "  Calle 1  ", " 0414 "}}},
         {"i01Ana", "i03J123456789", "i04Calle 1", "i05Telefono: 0414", kPaymentLine, kItemLine, "101"}},
        {"null name and RIF", {.sale = {C{{}, {}, {}, {}}}}, {"i01", "i03", kPaymentLine, kItemLine, "101"}},
        {"accents kept", {.sale = {C{"José Peña", "V9", {}, {}}}}, {"i01José Peña", "i03V9", kPaymentLine, kItemLine, "101"}},
        {"control characters made blanks", {.sale = {.customer = C{"Ana\r\nPérez", "J1\x07", "Calle 1\x1b", {}}, .paymentForm = "Contado\t"},
         .items = {{QString("PAN") + QChar(0) + "DULCE", 1, 1, 0, {}, 0}}},
         {"i01Ana  Pérez", "i03J1 ", "i04Calle 1 ", "i06Forma de Pago: Contado ", "!000000010000001000PAN DULCE", "101"}},
        {"null form of payment", {.sale = {.customer = C{"Ana", "V1", {}, {}}, .paymentForm = {}}},
         {"i01Ana", "i03V1", "i06Forma de Pago: ", kItemLine, "101"}},
        {"operator serial", {.ini = kOperatorSerials, .sale = {C{"Ana", "V1", {}, {}}}},
         {"i01Ana", "i03V1", "i06Operador: Operador 1", kItemLine, "101"}},
        {"purchase-order serial", {.ini = kOrderSerial, .sale = {.customer = C{"Ana", "V1", {}, {}}, .purchaseOrder = "OC-77"}},
         {"i01Ana", "i03V1", kPaymentLine, "i07Orden de Compra: OC-77", kItemLine, "101"}},
        {"purchase-order serial, no order", {.ini = kOrderSerial, .sale = {C{"Ana", "V1", {}, {}}}},
         {"i01Ana", "i03V1", kPaymentLine, kItemLine, "101"}},
        {"another printer's serial", {.ini = QByteArray(kOperatorSerials + kOrderSerial).replace("Z1B", "Z9Z"),
         .sale = {.customer = C{"Ana", "V1", {}, {}}, .purchaseOrder = "OC-77"}}, {"i01Ana", "i03V1", kPaymentLine, kItemLine, "101"}},
        // Invoice items by rate, quantity mode and text.
        {"rate 1", {.items = {{"HARINA", 1234.5, 2, 0, {}, 0}}}, kInvoiceHeader + QStringList{"!000012345000002000HARINA", "101"}},
        {"exempt", {.items = {{"ARROZ", 10, 1, 0, {}, -1}}}, kInvoiceHeader + QStringList{" 000000100000001000ARROZ", "101"}},
        {"0.07 finds 7", {.sale = {.taxRate = 0.07}, .rates = {16, 7, 29}}, kInvoiceHeader + QStringList{"\"000000100000001000HARINA", "101"}},
        {"0.29 finds 29", {.sale = {.taxRate = 0.29}, .rates = {16, 7, 29}}, kInvoiceHeader + QStringList{"#000000100000001000HARINA", "101"}},
        {"equal rates: the later", {.rates = {16, 16, 31}}, kInvoiceHeader + QStringList{"\"000000100000001000HARINA", "101"}},
        {"decimal quantity", {.items = {{"QUESO", 5, 9, 1.25, {}, 0}}, .mode = 3}, kInvoiceHeader + QStringList{"!000000050000001250QUESO", "101"}},
        {"whole quantity", {.items = {{"QUESO", 5, 9, 1.25, {}, 0}}}, kInvoiceHeader + QStringList{"!000000050000009000QUESO", "101"}},
        {"name and description", {.items = {{"TORNILLO", 1, 1, 0, "de acero", 0}}},
         kInvoiceHeader + QStringList{"!000000010000001000TORNILLO de acero", "101"}},
        {"free-text item", {.items = {{"?", 100, 1, 0, "Mantenimiento técnico", 0}}},
         kInvoiceHeader + QStringList{"!000001000000001000Mantenimiento tecnico", "101"}},
        {"free text a dash", {.items = {{"?", 100, 1, 0, "-", 0}}}, kInvoiceHeader + QStringList{"!000001000000001000?", "101"}},
        {"free text missing", {.items = {{"?", 100, 1, 0, {}, 0}}}, kInvoiceHeader + QStringList{"!000001000000001000?", "101"}},
        {"cut to 40, no description", {.items = {{kName50, 1, 1, 0, "oculta", 0}}},
         kInvoiceHeader + QStringList{"!000000010000001000" + kName50.left(40).trimmed(), "101"}},
        {"leading blanks dropped", {.items = {{"   ACEITE", 1, 1, 0, {}, 0}}}, kInvoiceHeader + QStringList{"!000000010000001000ACEITE", "101"}},
        {"accents removed", {.items = {{"AZÚCAR Ñame", 1, 1, 0, {}, 0}}}, kInvoiceHeader + QStringList{"!000000010000001000AZUCAR Name", "101"}},
        {"hidden rows left out, order kept", {.items = {{"UNO", 1, 1, 0, {}, 0}, hidden, {"DOS", 2, 1, 0, {}, 0}}},
         kInvoiceHeader + QStringList{"!000000010000001000UNO", "!000000020000001000DOS", "101"}},
        // The invoice's discount and payments by printer type.
        {"null discount", {.sale = {.discount = {}}}, kInvoiceHeader + QStringList{kItemLine, "101"}},
        {"12.5 per cent", {.sale = {.discount = 12.5}}, kInvoiceHeader + QStringList{kItemLine, "3", "p-1250", "101"}},
        {"whole discount", {.type = "SAMSUNG", .sale = {.discount = 100}}, kInvoiceHeader + QStringList{kItemLine, "3", "p-10000", "101"}},
        {"payments only on DASCOM", {.items = {rice}, .payments = {{0, 150.25}}}, kInvoiceHeader + QStringList{riceLine, "101"}},
        {"DASCOM payment rows", {.type = "DASCOM", .items = {rice}, .payments = {{0, 100.0}, {4, 50.25}}},
         kInvoiceHeader + QStringList{riceLine, "201000000010000", "213000000005025"}},
        {"DASCOM without rows", {.type = "DASCOM"}, kInvoiceHeader + QStringList{kItemLine, "101"}},
        {"DASCOM unknown means", {.type = "DASCOM", .items = {rice}, .payments = {{{}, 100.0}, {9, 50.25}}},
         kInvoiceHeader + QStringList{riceLine, "201000000010000", "201000000005025"}},
        // Credit notes by printer type.
        {"credit note", {.kind = CreditNote}, kNoteHeader + QStringList{kNoteLine, kNoteClosing}},
        {"SAMSUNG long address", {.kind = CreditNote, .type = "SAMSUNG", .sale = {C{"Ana", "V1", kAddress80, "0414"}}},
         {"i01Ana", "i02V1", "i03" + kAddress80.left(37), "i04" + kAddress80.mid(37, 37),
          "i05Factura afectada: 00000077  01/12/2026", kNoteLine, kNoteClosing}},
        {"null address, no phone", {.kind = CreditNote, .sale = {C{"Ana", "V1", {}, {}}}}, {"i01Ana", "i02V1", kAffectedInvoice, kNoteLine, kNoteClosing}},
        {"name cut to 37, RIF trimmed", {.kind = CreditNote, .sale = {C{kName60, " J123456789 ", {}, {}}}},
         {"i01" + kName60.left(37), "i02J123456789", kAffectedInvoice, kNoteLine, kNoteClosing}},
        {"time of day after the date", {.kind = CreditNote, .sale = {.customer = C{"Ana", "V1", {}, {}}, .date = "2026-12-01 14:05:09"}},
         {"i01Ana", "i02V1", kAffectedInvoice + " 14:05:09", kNoteLine, kNoteClosing}},
        {"the system's short date form", {.kind = CreditNote, .ini = "[regional]\nShortDateFormat=yyyy-MM-dd\n", .sale = {C{"Ana", "V1", {}, {}}}},
         {"i01Ana", "i02V1", "i04Factura afectada: 00000077  2026-12-01", kNoteLine, kNoteClosing}},
        {"DASCOM credit note", {.kind = CreditNote, .type = "DASCOM"}, kDascomHeader + QStringList{kNoteLine, kNoteClosing}},
        {"DASCOM discount and the sale's payments", {.kind = CreditNote, .type = "DASCOM", .note = {.discount = 10.5}, .payments = {{2, 5.0}, {9, 4.0}}},
         kDascomHeader + QStringList{kNoteLine, "3", "p-1050", "209000000000500", "201000000000400", kNoteClosing}},
        {"discount and payments only on DASCOM", {.kind = CreditNote, .type = "SAMSUNG", .note = {.discount = 10.5}, .payments = {{2, 5.0}}},
         kNoteHeader + QStringList{kNoteLine, kNoteClosing}},
        // Credit-note lines, from the detail rows or from the amounts.
        {"exempt line", {.kind = CreditNote, .items = {{"LIMON", 123.45, 2, 5, {}, -1}}}, kNoteHeader + QStringList{"d0000001234500002000LIMON", kNoteClosing}},
        {"decimal quantity line", {.kind = CreditNote, .items = {{"LIMON", 1, 2, 0.5, {}, 0}}, .mode = 3},
         kNoteHeader + QStringList{"d1000000010000000500LIMON", kNoteClosing}},
        {"line without accents", {.kind = CreditNote, .items = {{"Limón Ñame", 1, 1, 1, {}, 0}}}, kNoteHeader + QStringList{"d1000000010000001000Limon Name", kNoteClosing}},
        {"control characters in a note", {.kind = CreditNote, .sale = {C{"Ana\r\nB", "V1\x1b", {}, {}}}, .items = {{"LIMON\x07", 1, 1, 1, {}, 0}}},
         {"i01Ana  B", "i02V1 ", kAffectedInvoice, "d1000000010000001000LIMON ", kNoteClosing}},
        {"line cut to 40", {.kind = CreditNote, .items = {{" " + kName50, 1, 1, 1, {}, 0}}},
         kNoteHeader + QStringList{"d1000000010000001000" + (" " + kName50).left(40).trimmed(), kNoteClosing}},
        {"line at rate 2", {.kind = CreditNote, .note = {.taxRate = 0.08}}, kNoteHeader + QStringList{"d2000000100000001000HARINA", kNoteClosing}},
        {"amounts taxed and exempt", {.kind = CreditNote, .items = {}, .note = {.amount = 100, .exemptAmount = 20}},
         kNoteHeader + QStringList{"d1000001000000001000" + kAmountText, "d0000000200000001000" + kAmountText, kNoteClosing}},
        {"amount taxed", {.kind = CreditNote, .items = {}, .note = {.amount = 100}}, kNoteHeader + QStringList{"d1000001000000001000" + kAmountText, kNoteClosing}},
        {"amount exempt", {.kind = CreditNote, .items = {}, .note = {.exemptAmount = 20}}, kNoteHeader + QStringList{"d0000000200000001000" + kAmountText, kNoteClosing}},
        {"amounts at no rate: one line", {.kind = CreditNote, .items = {}, .note = {.taxRate = 0, .amount = 100, .exemptAmount = 20}},
         kNoteHeader + QStringList{"d0000001200000001000" + kAmountText, kNoteClosing}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Doc doc = c.doc;
        // A server's text holds no NUL: another control character stands for it.
        for (Item &item : doc.items)
            if (GetParam() == Engine::Postgres && item.name.toString().contains(QChar(0)))
                item.name = item.name.toString().replace(QChar(0), QChar(1));
        Job j(doc, GetParam());
        j.print();
        EXPECT_EQ(j.h.sentCommands(), c.expected);
        EXPECT_EQ(j.row("Impresa").toInt(), -1);
        // A credit note's detail lines are logged as the printer takes them.
        const QStringList lines = c.expected.filter(QRegularExpression("^d"));
        if (c.doc.kind == CreditNote && !c.doc.items.isEmpty()) {
            EXPECT_TRUE(j.h.window().log().contains(" ! " + lines.join(" ! ")));
        }
        // DASCOM logs the header lines too.
        if (c.doc.kind == CreditNote && c.doc.type == "DASCOM") {
            EXPECT_TRUE(j.h.window().log().startsWith(" ! " + kDascomHeader.join(" ! ")));
        }
    }
}

TEST_P(DocumentJob, RefusedCommandReportsItsStageAndLeavesTheDocumentPending)
{
    const MainRows::Note amounts{.amount = 100, .exemptAmount = 20};
    const MainRows::Sale sale{.customer = {kName37 + QString(30, u'B'), "V1", "Calle 1", "0414"},
                              .discount = 10};
    // The printer refuses "7" with nothing open: what the next tick sends to
    // cancel what the document left open (nothing after a first command
    // refused); a refused "7" settles it all the same.
    const QString none, refused = "7 [refused]", taken = "7";
    const struct
    {
        QByteArray refuse;
        Doc doc;
        QString stage;
        QString cancel;
    } cases[] = {
        // clang-format off
        {"i01", {.sale = sale}, "2.1", none},
        {"i02", {.sale = sale}, "2.2", refused},
        {"i03", {.sale = sale}, "2.4", refused},
        {"i04", {.sale = sale}, "2.51", refused},
        {"i05", {.sale = sale}, "2.53", refused},
        {"!", {.sale = sale}, "4.07", refused},
        {"p-", {.sale = sale}, "4.09", taken},
        {"101", {.sale = sale}, "6", taken},
        {"i01", {.kind = CreditNote}, "2.01", none},
        {"i03", {.kind = CreditNote}, "2.03", refused},
        {"i04", {.kind = CreditNote}, "2.04", refused},
        {"iD*", {.kind = CreditNote, .type = "DASCOM"}, "2.05", refused},
        {"d", {.kind = CreditNote}, "4.06", refused},
        {"d1", {.kind = CreditNote, .items = {}, .note = amounts}, "4.16", refused},
        {"d0", {.kind = CreditNote, .items = {}, .note = amounts}, "4.22", taken},
        {"d0", {.kind = CreditNote, .items = {}, .note = {.taxRate = 0, .amount = 100}}, "4.29", refused},
        {"3", {.kind = CreditNote, .type = "DASCOM", .note = {.discount = 10}}, "4.08", taken},
        {"p-", {.kind = CreditNote, .type = "DASCOM", .items = {}, .note = {.discount = 10, .amount = 100, .exemptAmount = 20}}, "4.22", taken},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.doc.type + " refused " + c.refuse).toStdString());
        Doc doc = c.doc;
        doc.sim = "[faults]\nRefuse=" + c.refuse + "\nRefuse7WhenIdle=yes\n";
        Job j(doc, GetParam());
        j.print();
        EXPECT_TRUE(j.h.sentCommands().value(j.h.sentCommands().size() - 1).endsWith(" [refused]"));
        ASSERT_EQ(j.h.window().messages.size(), 1);
        const QString message = j.h.window().messages[0];
        EXPECT_TRUE(message.startsWith(texts::kStagePrefix + ' ' + c.stage + ".\rError: "))
            << message.toStdString();
        // An invoice's box holds the short form, the Log the long one; a credit note shows the long
        // one in both.
        EXPECT_EQ(message.count(u'\r'), j.note() ? 2 : 1);
        EXPECT_TRUE(j.h.window().log().startsWith(message));
        EXPECT_EQ(j.h.window().log().count(u'\r'), 2);
        EXPECT_EQ(j.row("Impresa").toInt(), 0);
        EXPECT_TRUE(j.row("Control").isNull());
        EXPECT_TRUE(j.h.robot().Timer1().isEnabled()) << "the port opened, so polling runs on";

        const QString report = j.h.window().log();
        const qsizetype sent = j.h.sentCommands().size();
        j.h.tick();
        EXPECT_EQ(j.h.sentCommands().mid(sent).join(' '), c.cancel);
        // Header lines wait on the printer (status 33): no document is open.
        if (c.cancel != taken) {
            EXPECT_EQ(j.h.window().log(),
                      c.cancel == none ? report : texts::nothingLeftOpen(j.kind, j.code, 3, 33));
        }
    }
}

TEST_P(DocumentJob, HeaderLinesLeftByACutDocumentPrintOnNoOther)
{
    // A printer that refuses "7" with nothing open keeps the header lines of a
    // document refused before its first item: the next one overwrites them.
    const C longName{kName60, "V1", "Calle 1", "0414"};
    const struct
    {
        Doc cut;
        QByteArray refuse;
        QString held;  // a text only the cut document's lines carry
        QString blank; // one of the lines the next invoice sends empty
    } cases[] = {
        {{.sale = {.customer = longName}}, "i03", kName60.mid(37), "i02"},
        {{.kind = CreditNote}, "i04", "J123456789", "i02"},
        {{.kind = CreditNote, .type = "DASCOM"}, "iD*", "J123456789", "iR*"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.cut.type + " refused " + c.refuse).toStdString());
        Doc doc = c.cut;
        doc.sim = "[faults]\nRefuse=" + c.refuse + "\nRefuse7WhenIdle=yes\n";
        Job j(doc, GetParam());
        j.print();
        j.h.tick();
        ASSERT_EQ(j.h.sentCommands().last(), "7 [refused]");
        // Unflagged, lest a slow machine let its pause run out before the next sales.
        j.h.db().exec(QString(R"(UPDATE "%1" SET "Imprimir" = 0 WHERE "Código" = ?)")
                          .arg(j.note() ? "NotaCréditoVenta" : "Ventas"),
                      {j.code});
        j.h.writeSimIni("[faults]\nRefuse7WhenIdle=yes\n");
        for (const QVariant rif : {"V7", "V8"}) {
            const qint64 sale = j.h.db().addSale({.customer = {"Otro Cliente", rif, {}, "0414"}});
            j.h.db().addItem(sale, Item{});
            j.h.print(Invoice);
            EXPECT_EQ(j.h.db().sale(sale, "Impresa").toInt(), -1);
        }
        const QString paper = j.h.paper();
        EXPECT_EQ(paper.count("FACTURA N."), 2);
        EXPECT_FALSE(paper.contains(c.held)) << paper.toStdString();
        EXPECT_EQ(j.h.sentCommands().count(c.blank), 1) << "only the first after the cut one";
    }
}

TEST_P(DocumentJob, DocumentThePrinterDidNotCloseIsNotRecorded)
{
    // The printer stops answering after the two readings before the first command.
    const QByteArray unreadable = "[faults]\nUploadFailFrom=3\n";
    enum Closing { Taken, Refused, NotSent };
    const struct
    {
        Doc doc;
        QString stage;
        Closing closing;
    } cases[] = {
        // clang-format off
        // DASCOM payments short of the total.
        {{.type = "DASCOM", .items = {{"ARROZ", 150.25, 1, 0, {}, -1}}, .payments = {{0, 100.0}}}, "6", Taken},
        // A refused closing command leaves the credit note open.
        {{.kind = CreditNote, .sim = "[faults]\nRefuse=f\n"}, "7", Refused},
        // No number to compare the outcome with: the closing is never sent.
        {{.sim = unreadable}, "6", NotSent},
        {{.kind = CreditNote, .sim = unreadable}, "6", NotSent},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stage.toStdString());
        Job j(c.doc, GetParam());
        j.print();
        EXPECT_EQ(j.row("Impresa").toInt(), 0);
        EXPECT_TRUE(j.row(j.note() ? "Número" : "Factura").isNull());
        ASSERT_EQ(j.h.window().messages.size(), 1);
        EXPECT_TRUE(j.h.window().messages[0].startsWith(texts::kStagePrefix + ' ' + c.stage + '.'));
        const QString log = j.h.window().log();
        EXPECT_EQ(log.endsWith(texts::notClosed(j.kind)), c.closing == Taken);
        EXPECT_EQ(log.endsWith(texts::closingNotSent(j.kind)), c.closing == NotSent);
        const QString last = j.h.sentCommands().value(j.h.sentCommands().size() - 1);
        EXPECT_EQ(last.startsWith(kNoteClosing) || last.startsWith("101") || last.startsWith("2"),
                  c.closing != NotSent);
    }
}

TEST_P(DocumentJob, UnprintableValuesHoldTheDocumentSendNothingAndNameTheColumn)
{
    const struct
    {
        Doc doc;
        QString column; // empty: no quantity column chosen
    } cases[] = {
        // clang-format off
        {{.items = {{"PAN", {}, 1, 1, {}, 0}}}, "Precio"},
        {{.items = {{"PAN", -5.0, 1, 1, {}, 0}}}, "Precio"},
        {{.items = {{"PAN", 5.0, {}, 1, {}, 0}}}, "Cantidad"},
        {{.items = {{"PAN", 5.0, 1, -1, {}, 0}}, .mode = 2}, "CantDec"},
        {{.sale = {.taxRate = {}}}, "PorcentImpuesto"},
        {{.items = {{{}, 5.0, 1, 1, {}, 0}}}, "Nombre"},
        {{.type = "DASCOM", .payments = {{0, {}}}}, "Monto"},
        {{.type = "DASCOM", .payments = {{0, -3.0}}}, "Monto"},
        {{.mode = 0}, ""},
        {{.kind = CreditNote, .items = {{"PAN", {}, 1, 1, {}, 0}}}, "Precio"},
        {{.kind = CreditNote, .items = {{{}, 1.0, 1, 1, {}, 0}}}, "Nombre"},
        {{.kind = CreditNote, .items = {}, .note = {.amount = {}}}, "Monto"},
        {{.kind = CreditNote, .items = {}, .note = {.amount = -10.0}}, "Monto"},
        {{.kind = CreditNote, .type = "DASCOM", .payments = {{0, {}}}}, "Monto"},
        // What would not fit the printer's fields once rounded, or is of no value.
        {{.items = {{"CAFE", 12345678901.0, 2, 2, {}, 0}}}, "Precio"},
        {{.items = {{"CAFE", 0.004, 2, 2, {}, 0}}}, "Precio"},
        {{.items = {{"CAFE", 1.0, 123456.5, 2, {}, 0}}}, "Cantidad"},
        {{.items = {{"CAFE", 1.0, 2, 99999.9999, {}, 0}}, .mode = 2}, "CantDec"},
        {{.type = "DASCOM", .payments = {{0, 1e10}}}, "Monto"},
        {{.kind = CreditNote, .items = {}, .note = {.amount = 123456789.995}}, "Monto"},
        {{.kind = CreditNote, .items = {}, .note = {.taxRate = 0, .amount = 99999999.0, .exemptAmount = 1.0}}, "Monto"},
        {{.kind = CreditNote, .items = {}}, "Monto"}, // nothing to credit
        // A discount the printer cannot give, a tax rate it does not have.
        {{.sale = {.discount = -5}}, "Desc01"},
        {{.sale = {.discount = 100.01}}, "Desc01"},
        {{.kind = CreditNote, .type = "DASCOM", .note = {.discount = -1}}, "Desc01"},
        {{.sale = {.taxRate = 0.12}}, "PorcentImpuesto"},
        {{.kind = CreditNote, .note = {.taxRate = 0.12}}, "PorcentImpuesto"},
        {{.kind = CreditNote, .note = {.taxRate = {}}}, "PorcentImpuesto"},
        {{.kind = CreditNote, .items = {}, .note = {.taxRate = 0.12, .amount = 10}}, "PorcentImpuesto"},
        // A credit note that does not name the invoice it corrects.
        {{.kind = CreditNote, .sale = {.invoiceNumber = "  "}}, "Factura"},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.column + ' ' + c.doc.type).toStdString());
        Job j(c.doc, GetParam());
        j.print();
        j.print();
        EXPECT_EQ(j.h.sentCommands(), QStringList());
        EXPECT_EQ(j.h.window().messages,
                  QStringList{c.column.isEmpty()
                                  ? texts::documentHeldForQuantityMode(j.kind, j.code)
                                  : texts::documentHeld(j.kind, j.code, c.column)})
            << "held once, not at every tick";
        EXPECT_EQ(j.row("Impresa").toInt(), 0);
        EXPECT_TRUE(j.h.robot().Timer1().isEnabled());
    }
}

TEST(DocumentJob, ColumnMissingFromASavedQueryIsADatabaseErrorAndSendsNothing)
{
    // SQLite would read a quoted name that matches no column as a text: the
    // address would print "Dirección". Each saved query the jobs read, short of one column.
    const struct
    {
        Doc doc;
        const char *query, *column;
    } cases[] = {
        {{}, "Consulta VentasAct", "Dirección"},
        {{}, "Consulta VentasDetallesAct", "Especificación"},
        {{.type = "DASCOM", .payments = {{0, 11.6}}}, "AbonosVenta", "TipoMecanismo"},
        {{.kind = CreditNote}, "Consulta NotaCréditoVenta", "Dirección"},
        {{.kind = CreditNote}, "Consulta NotaCréditoVenta Detalles", "Nombre"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.query);
        Job j(c.doc, Engine::Sqlite);
        const QString query = QString::fromUtf8(c.query), column = QString::fromUtf8(c.column);
        const QString view =
            j.h.db()
                .value("SELECT sql FROM sqlite_master WHERE type = 'view' AND name = ?", {query})
                .toString();
        if (view.isEmpty()) {
            j.h.db().exec(
                QStringLiteral("ALTER TABLE \"%1\" DROP COLUMN \"%2\"").arg(query, column));
        } else {
            QStringList lines = view.split('\n');
            lines.removeIf(
                [&](const QString &l) { return l.trimmed().endsWith('"' + column + "\","); });
            j.h.db().exec("DROP VIEW \"" + query + '"');
            j.h.db().exec(lines.join('\n'));
        }
        j.print();
        EXPECT_EQ(j.h.sentCommands(), QStringList());
        ASSERT_EQ(j.h.window().messages.size(), 1);
        EXPECT_TRUE(j.h.window().messages[0].contains(texts::databaseError({})));
        EXPECT_TRUE(j.h.window().messages[0].contains(column))
            << j.h.window().messages[0].toStdString();
        EXPECT_EQ(j.row("Impresa").toInt(), 0);
    }
}

// A port that does not open, or a printer whose last number cannot be read
// before the first command, holds the queue, not the document: polling stops
// (headless, it comes back after a pause) and the document is printed at once
// when the printer is back.
TEST_P(DocumentJob, PortThatDoesNotOpenOrNumberUnreadableHoldsTheQueueNotTheDocument)
{
    for (const QByteArray fault : {"Open=fail", "Upload=fail"}) {
        for (const auto kind : {Invoice, CreditNote}) {
            SCOPED_TRACE(fault.toStdString() + (kind == CreditNote ? " nota" : " factura"));
            Job j({.kind = kind, .sim = "[faults]\n" + fault + "\n"}, GetParam());
            j.print();
            j.print();
            if (fault == "Open=fail") {
                EXPECT_EQ(j.h.window().messages.value(0), texts::kPortError);
                EXPECT_TRUE(j.h.window().messages.value(1).startsWith(
                    texts::kStagePrefix + (kind == CreditNote ? " 2.01." : " 2.1.")));
            } else {
                EXPECT_EQ(j.h.sentCommands(), QStringList());
                EXPECT_EQ(j.h.window().messages,
                          QStringList{texts::numberUnreadableBeforeStart(kind, j.code)})
                    << "told once";
            }
            EXPECT_FALSE(j.h.robot().Timer1().isEnabled());
            EXPECT_TRUE(j.h.window().controlEnabled(core::Control::Command10));
            EXPECT_EQ(j.row("Impresa").toInt(), 0);
            j.h.writeSimIni({});
            j.h.tick();
            // What the refused first command may have left open is cancelled first.
            EXPECT_EQ(j.h.sentCommands().contains("7"), fault == "Open=fail");
            j.print();
            EXPECT_EQ(j.row("Impresa").toInt(), -1);
        }
    }
}

// The queue goes on around a document that failed or was held: the failed
// one is cancelled, each waits until its rows change or its pause (doubling
// at each failure) has passed, and the others are printed meanwhile in their
// order, a later one with a lower code and the credit notes too.
TEST_P(DocumentJob, DocumentsThatWaitDoNotStopTheOthersInTheQueue)
{
    // 99.99 is refused: the failing sale, with a code beyond 32 bits. Its
    // pause scaled to 3 s, well past the ticks that print the others.
    RobotHarness h({.simIni = "[faults]\nRefuse=!0000009999\n",
                    .robotIni = "[timing]\nScale=0.05\n",
                    .engine = GetParam()});
    const qint64 failing = h.db().addSale({}, 3000000000LL);
    h.db().addItem(failing, {.price = 99.99});
    const qint64 next = h.db().addSale({});
    h.db().addItem(next, {});
    const auto printed = [&](qint64 code) { return h.db().sale(code, "Impresa").toInt() == -1; };
    const auto tries = [&] {
        return h.sentCommands().count("!000000999900001000HARINA [refused]");
    };
    const auto fix = [&](qint64 sale) {
        h.db().exec(QStringLiteral("UPDATE \"VentasDetalles\" SET \"Precio\" = 10 WHERE "
                                   "\"Venta\" = %1")
                        .arg(sale));
    };

    h.tick();
    ASSERT_EQ(h.window().messages.size(), 1);
    h.tick();
    EXPECT_TRUE(printed(next));
    // Flagged later with a lower code, and held for its price until corrected.
    const qint64 late = h.db().addSale({}, 5);
    h.db().addItem(late, {.price = {}});
    h.tick();
    EXPECT_EQ(h.window().messages.value(1), texts::documentHeld(Invoice, late, "Precio"));
    fix(late);
    h.tick();
    EXPECT_TRUE(printed(late));
    EXPECT_EQ(tries(), 1) << "the failed sale waits";
    // A waiting invoice does not keep the credit notes from their turn.
    const qint64 note = h.db().addCreditNote({.sale = next});
    h.db().addCreditNoteLine(note, {});
    const auto noteImpresa = [&] { return h.db().document(CreditNote, note, "Impresa").toInt(); };
    for (int i = 0; i < 10 && noteImpresa() != -1; ++i)
        h.tick();
    EXPECT_EQ(noteImpresa(), -1);

    // Its pause passes: tried again, and not told again; the next pause is twice as long (6 s).
    const QDeadlineTimer deadline(10000);
    while (tries() < 2 && !deadline.hasExpired())
        h.tick();
    EXPECT_EQ(tries(), 2);
    EXPECT_EQ(h.window().messages.size(), 2);
    const QJsonObject held = robot::StatusReport::json(h.robot()).value("retenidos")[0].toObject();
    EXPECT_EQ(held["intentos"].toInt(), 2);
    EXPECT_GT(h.window().events.last().time.msecsTo(
                  QDateTime::fromString(held["proximo_intento"].toString(), Qt::ISODate)),
              4000);
    EXPECT_TRUE(robot::StatusReport::text(h.robot()).contains(", intentos: 2, próximo intento: "));
    // Corrected, it is printed at once.
    fix(failing);
    h.tick();
    h.tick();
    EXPECT_TRUE(printed(failing));
    EXPECT_EQ(h.fiscalMemory().value("lastInvoice").toInt(), 3);
    EXPECT_EQ(h.window().entries("notice ").filter("quedó a medias").size(), 1) << "told once";
}

// A click on the second credit note moves the list's current row while the
// job skips the held first one: the next note still takes its own sale.
TEST_P(DocumentJob, ClickInTheNoteListLeavesEachNoteItsOwnSale)
{
    Job j({.kind = CreditNote, .type = "DASCOM", .sale = {.invoiceNumber = "  "}}, GetParam());
    for (const double paid : {5.0, 4.0}) {
        const qint64 sale = j.h.db().addSale({.invoiceNumber = "00000077"});
        j.h.db().addPayment(sale, 2, paid);
        j.h.db().addCreditNoteLine(j.h.db().addCreditNote({.sale = sale}), {});
    }
    j.h.robot().activate();
    QTimer::singleShot(0, [&] { j.h.robot().lists().Data6.recordset().moveNext(); });
    j.h.print(CreditNote);
    EXPECT_EQ(j.h.sentCommands().filter(QRegularExpression("^2")), QStringList{"209000000000500"});
}

// The database refuses the write-back: printed and not recorded, said so; the
// journal records it, without a word to the printer, once the database takes it.
TEST_P(DocumentJob, WriteBackRefusedAfterTheCloseSaysPrintedAndIsRecordedLater)
{
    for (const auto kind : {Invoice, CreditNote}) {
        SCOPED_TRACE(kind == CreditNote ? "nota" : "factura");
        Job j({.kind = kind}, GetParam());
        const QString table = kind == CreditNote ? "NotaCréditoVenta" : "Ventas";
        j.h.db().refuseUpdates(table);
        j.print();
        ASSERT_EQ(j.h.window().messages.size(), 1);
        EXPECT_TRUE(j.h.window().messages[0].contains(texts::printedNotRecorded(kind)));
        EXPECT_TRUE(j.h.window().messages[0].contains("rechazado"));
        EXPECT_EQ(j.row("Impresa").toInt(), 0);
        const qsizetype sent = j.h.sentCommands().size();
        j.h.db().refuseUpdates(table, false);
        j.h.tick();
        EXPECT_EQ(j.row(kind == CreditNote ? "Número" : "Factura").toString(), "00000001");
        EXPECT_EQ(j.h.sentCommands().size(), sent);
        EXPECT_EQ(j.h.window().events.last().kind, core::DocumentEvent::Kind::Recovered);
    }
}

} // namespace
