#include "core/Texts.h"
#include "support/RobotHarness.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using testsupport::MainRows;
using testsupport::RobotHarness;
using C = MainRows::Customer;
using Item = MainRows::Item;
namespace texts = core::texts;

namespace {

QString repeated(const QString &pattern, int length)
{
    QString out;
    while (out.size() < length)
        out += pattern;
    return out.left(length);
}

// A credit note on invoice 00000077 of 30/11/2026.
struct Note
{
    C customer{"Ana", "V1", "Calle 1", "0414"};
    QString fecha = QStringLiteral("2026-11-30");
    MainRows::Note note = {};
    QList<Item> lines{{"LIMON", 10.0, 1, 1, {}, 0}};
    QList<QPair<QVariant, QVariant>> salePayments = {};
};

struct Case
{
    const char *name;
    Note note;
    QStringList expected;
    QString type = QStringLiteral("HKA");
    QByteArray ini = {};
    int mode = 1; // the quantity columns shown: 1 whole, 2 decimal, 3 both, 0 none
};

// A harness of the case's printer type, settings and quantity mode, with its note.
qint64 addNote(RobotHarness &h, const Case &c)
{
    h.db().setCompany(QStringLiteral("J123456789"), c.mode & 1 ? -1 : 0, c.mode & 2 ? -1 : 0);
    const Note &n = c.note;
    const qint64 venta =
        h.db().addSale({.customer = n.customer, .fecha = n.fecha, .factura = "00000077"});
    for (const auto &p : n.salePayments)
        h.db().addPayment(venta, p.first, p.second);
    MainRows::Note note = n.note;
    note.venta = venta;
    const qint64 nota = h.db().addCreditNote(note);
    for (const Item &l : n.lines)
        h.db().addCreditNoteLine(nota, l);
    return nota;
}

const QString kAddress80 = repeated(QStringLiteral("Urbanización La Floresta "), 80);
const QString kName40 = repeated(QStringLiteral("Inversiones "), 40);
const QString kName50 = repeated(QStringLiteral(" Producto importado "), 50);
const QString kAfectada = QStringLiteral("i04Factura afectada: 00000077  30/11/2026");
const QStringList kHeader{"i01Ana", "i02V1", "i03Calle 1", kAfectada};
const QString kLimon = QStringLiteral("d1000000100000001000LIMON");
const QString kCierre = QStringLiteral("f09000000000000");
const QString kDescuento = QStringLiteral("Descuento a factura");

TEST(CreditNoteStream, CommandsByPrinterTypeHeaderAndLines)
{
    const QByteArray dateForm = "[regional]\nShortDateFormat=yyyy-MM-dd\n";
    const Case cases[] = {
        // clang-format off
        {"HKA", {}, kHeader + QStringList{kLimon, kCierre}},
        {"SAMSUNG long address", {.customer = C{"Ana", "V1", kAddress80, "0414"}},
         {"i01Ana", "i02V1", "i03" + kAddress80.left(37), "i04" + kAddress80.mid(37, 37),
          "i05Factura afectada: 00000077  30/11/2026", kLimon, kCierre}, "SAMSUNG"},
        {"null address", {.customer = C{"Ana", "V1", {}, "0414"}}, {"i01Ana", "i02V1", kAfectada, kLimon, kCierre}},
        {"name cut to 37, RIF trimmed", {.customer = C{kName40, " J123456789 ", {}, {}}},
         {"i01" + kName40.left(37), "i02J123456789", kAfectada, kLimon, kCierre}},
        {"time of day after the date", {.customer = C{"Ana", "V1", {}, {}}, .fecha = "2026-11-30 14:05:09"},
         {"i01Ana", "i02V1", kAfectada + " 14:05:09", kLimon, kCierre}},
        {"the system's short date form", {.customer = C{"Ana", "V1", {}, {}}},
         {"i01Ana", "i02V1", "i04Factura afectada: 00000077  2026-11-30", kLimon, kCierre}, "HKA", dateForm},
        {"DASCOM header", {.customer = C{"Ana", "J123456789", "Calle 1", "0414"}},
         {"iS*Ana", "iR*J123456789", "iF*00000077", "iI*Z1B1234567", "iD*30/11/2026", kLimon, kCierre}, "DASCOM"},
        {"DASCOM discount and the sale's payments",
         {.note = {.desc01 = 10.5}, .salePayments = {{2, 5.0}, {9, 4.0}}},
         {"iS*Ana", "iR*V1", "iF*00000077", "iI*Z1B1234567", "iD*30/11/2026", kLimon, "3", "p-1050",
          "209000000000500", "201000000000400", kCierre}, "DASCOM"},
        {"discount and payments only on DASCOM", {.note = {.desc01 = 10.5}, .salePayments = {{2, 5.0}}},
         kHeader + QStringList{kLimon, kCierre}, "SAMSUNG"},
        {"exempt line", {.lines = {{"LIMON", 123.45, 2, 5, {}, -1}}},
         kHeader + QStringList{"d0000001234500002000LIMON", kCierre}},
        {"decimal quantity", {.lines = {{"LIMON", 1, 2, 0.5, {}, 0}}},
         kHeader + QStringList{"d1000000010000000500LIMON", kCierre}, "HKA", {}, 3},
        {"accents removed", {.lines = {{"Limón Ñame", 1, 1, 1, {}, 0}}},
         kHeader + QStringList{"d1000000010000001000Limon Name", kCierre}},
        {"cut to 40 before trimming", {.lines = {{kName50, 1, 1, 1, {}, 0}}},
         kHeader + QStringList{"d1000000010000001000" + kName50.left(40).trimmed(), kCierre}},
        {"rate 2", {.note = {.porcentImpuesto = 0.08}}, kHeader + QStringList{"d2000000100000001000LIMON", kCierre}},
        {"no rate matches", {.note = {.porcentImpuesto = 0.12}},
         kHeader + QStringList{"d0000000100000001000LIMON", kCierre}},
        {"no detail: taxed and exempt", {.note = {.monto = 100, .montoExcento = 20}, .lines = {}},
         kHeader + QStringList{"d1000001000000001000" + kDescuento, "d0000000200000001000" + kDescuento, kCierre}},
        {"no detail: only taxed", {.note = {.monto = 100}, .lines = {}},
         kHeader + QStringList{"d1000001000000001000" + kDescuento, kCierre}},
        {"no detail: only exempt", {.note = {.monto = 0, .montoExcento = 20}, .lines = {}},
         kHeader + QStringList{"d0000000200000001000" + kDescuento, kCierre}},
        {"no detail, no rate: one line", {.note = {.porcentImpuesto = 0, .monto = 100, .montoExcento = 20}, .lines = {}},
         kHeader + QStringList{"d0000001200000001000" + kDescuento, kCierre}},
        // clang-format on
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RobotHarness h({.type = c.type, .robotIni = c.ini});
        const qint64 nota = addNote(h, c);
        h.printCreditNote();
        EXPECT_EQ(h.commands(), c.expected);
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), -1);
        if (!c.note.lines.isEmpty()) {
            // Each line the printer took is logged.
            const QStringList lines = c.expected.filter(QRegularExpression("^d"));
            EXPECT_TRUE(h.window().log().contains(" ! " + lines.join(" ! ")));
        }
    }
}

TEST(CreditNoteWriteBack, NumberFromTheReportAnswerAtThePositionOfTheType)
{
    for (const QString type : {"HKA", "SAMSUNG", "DASCOM", "HKA upload fails"}) {
        SCOPED_TRACE(type.toStdString());
        const bool fails = type.contains(' ');
        RobotHarness h(
            {.type = type.section(' ', 0, 0),
             .simIni = fails ? "[faults]\nUpload=fail\n" : "[counters]\nCreditNote=122\n"});
        const qint64 nota = addNote(h, {});
        h.printCreditNote();
        const QString numero = fails ? "0" : "00000123";
        for (const char *column : {"Número", "Control"})
            EXPECT_EQ(h.db().creditNote(nota, column).toString(), numero);
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), -1);
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Imprimir")).toInt(), 0);
        EXPECT_TRUE(h.inst.paper().contains("00000077"));
        EXPECT_EQ(h.window().messages, QStringList());
        EXPECT_EQ(h.window().log().endsWith(texts::impresoSinNumeros(true, nota)), fails);
    }
}

TEST(CreditNoteFrame, StagesShownForADascomNote)
{
    RobotHarness h({.type = "DASCOM"});
    addNote(h, {});
    h.printCreditNote();
    QStringList stages;
    for (const QString &e : h.window().entries(QStringLiteral("stage ")))
        stages << e.mid(6);
    EXPECT_EQ(stages, (QStringList{"",
                                   "Etapa  0",
                                   "Etapa  1",
                                   "Etapa  2",
                                   "Etapa  2.01",
                                   "Etapa  2.02",
                                   "Etapa  2.03",
                                   "Etapa  2.04",
                                   "Etapa  2.05",
                                   "Etapa  3",
                                   "Etapa  4",
                                   "Etapa  4.01",
                                   "Etapa  4.02",
                                   "Etapa  4.03",
                                   "Etapa  4.04",
                                   "Etapa  4.05",
                                   "Etapa  4.06",
                                   "Etapa  4.07",
                                   "Etapa  4.08",
                                   "Etapa  6",
                                   "Etapa  7",
                                   "Etapa  8"}));
    // This job shows no status texts and no progress.
    EXPECT_EQ(h.window().entries(QStringLiteral("status ")), QStringList());
    EXPECT_EQ(h.window().entries(QStringLiteral("progress ")), QStringList());
}

TEST(CreditNoteFailure, RefusedLinesReportTheirStageInTheLongForm)
{
    const MainRows::Note amounts{.monto = 100, .montoExcento = 20};
    const MainRows::Note discounted{.desc01 = 10, .monto = 100, .montoExcento = 20};
    const struct
    {
        Case c;
        QByteArray refuse;
        QString stage;
    } cases[] = {
        // clang-format off
        {{"HKA name line", {}, {}}, "i01", "2.01"},
        {{"HKA address line", {}, {}}, "i03", "2.03"},
        {{"HKA affected invoice", {}, {}}, "i04", "2.04"},
        {{"DASCOM date line", {}, {}, "DASCOM"}, "iD*", "2.05"},
        {{"detail line", {}, {}}, "d", "4.06"},
        {{"taxed line without detail", {.note = amounts, .lines = {}}, {}}, "d1", "4.16"},
        {{"exempt line without detail", {.note = amounts, .lines = {}}, {}}, "d0", "4.22"},
        {{"whole line without detail", {.note = {.porcentImpuesto = 0, .monto = 100}, .lines = {}}, {}}, "d0", "4.29"},
        {{"DASCOM discount after detail", {.note = discounted}, {}, "DASCOM"}, "3", "4.08"},
        {{"DASCOM discount without detail", {.note = discounted, .lines = {}}, {}, "DASCOM"}, "p-", "4.22"},
        // clang-format on
    };
    for (const auto &[c, refuse, stage] : cases) {
        SCOPED_TRACE(c.name);
        RobotHarness h({.type = c.type, .simIni = "[faults]\nRefuse=" + refuse + "\n"});
        const qint64 nota = addNote(h, c);
        h.printCreditNote();
        ASSERT_EQ(h.window().messages.size(), 1);
        const QString message = h.window().messages[0];
        EXPECT_TRUE(message.startsWith(texts::kEtapaPrefijo + ' ' + stage + ".\rError: "))
            << message.toStdString();
        EXPECT_EQ(message.count(u'\r'), 2);
        EXPECT_EQ(h.window().log(), message);
        EXPECT_TRUE(h.commands().value(h.commands().size() - 1).endsWith("[refused]"));
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), 0);
        EXPECT_TRUE(h.timer().isEnabled());
    }
}

TEST(CreditNoteFailure, NoteWithNothingToPrintIsNotRecordedAsPrinted)
{
    // Both amounts 0 and no detail: the closing command finds nothing to close.
    RobotHarness h({.simIni = "[counters]\nCreditNote=41\n"});
    const qint64 nota = addNote(h, {"", {.lines = {}}, {}});
    h.printCreditNote();
    EXPECT_EQ(h.commands(), kHeader + QStringList{kCierre + " [refused]"});
    EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), 0);
    EXPECT_TRUE(h.db().creditNote(nota, QStringLiteral("Número")).isNull());
    ASSERT_EQ(h.window().messages.size(), 1);
    EXPECT_TRUE(h.window().messages[0].startsWith(texts::kEtapaPrefijo + " 7."));
    EXPECT_TRUE(h.window().log().endsWith(texts::noCerrado(true)));
}

TEST(CreditNoteHeld, UnprintableValuesSendNothingAndNameTheColumn)
{
    const struct
    {
        Case c;
        QString column; // empty: no quantity column chosen
    } cases[] = {
        // clang-format off
        {{"null price", {.lines = {{"PAN", {}, 1, 1, {}, 0}}}, {}}, "Precio"},
        {{"negative price", {.lines = {{"PAN", -1.0, 1, 1, {}, 0}}}, {}}, "Precio"},
        {{"null decimal quantity", {.lines = {{"PAN", 1.0, 1, {}, {}, 0}}}, {}, "HKA", {}, 2}, "CantDec"},
        {{"null name", {.lines = {{{}, 1.0, 1, 1, {}, 0}}}, {}}, "Nombre"},
        {{"null amount without detail", {.note = {.monto = {}}, .lines = {}}, {}}, "Monto"},
        {{"negative amount without detail", {.note = {.monto = -10.0}, .lines = {}}, {}}, "Monto"},
        {{"null DASCOM payment", {.salePayments = {{0, {}}}}, {}, "DASCOM"}, "Monto"},
        {{"no quantity column chosen", {}, {}, "HKA", {}, 0}, ""},
        // clang-format on
    };
    for (const auto &[c, column] : cases) {
        SCOPED_TRACE(c.name);
        RobotHarness h({.type = c.type});
        const qint64 nota = addNote(h, c);
        h.printCreditNote();
        EXPECT_EQ(h.commands(), QStringList());
        EXPECT_EQ(h.window().messages,
                  QStringList{column.isEmpty() ? texts::documentoRetenidoModoCantidad(true, nota)
                                               : texts::documentoRetenido(true, nota, column)});
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), 0);
    }
}

} // namespace
