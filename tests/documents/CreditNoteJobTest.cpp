#include "documents/CreditNoteJob.h"
#include "core/Texts.h"
#include "support/JobHarness.h"

#include <gtest/gtest.h>

using testsupport::headerLines;
using testsupport::JobHarness;
using testsupport::MainDatabase;
using testsupport::repeated;
namespace texts = core::texts;

namespace {

// A printed sale (invoice 00000077 of 30/11/2026) with a pending credit note.
struct NoteSetup
{
    MainDatabase::Customer customer{QStringLiteral("Ana Pérez"), QStringLiteral("V123456789"),
                                    QStringLiteral("Calle 1"), QStringLiteral("0414")};
    QString fecha = QStringLiteral("2026-11-30");
    MainDatabase::Note note;
    QList<MainDatabase::Item> lines{{"LIMON", 10.0, 1, 1, QVariant(), 0}};
    QList<QPair<QVariant, QVariant>> salePayments;
};

qint64 addNote(JobHarness &h, NoteSetup s)
{
    MainDatabase::Sale sale;
    sale.customer = s.customer;
    sale.fecha = s.fecha;
    sale.factura = QStringLiteral("00000077");
    const qint64 venta = h.db().addSale(sale);
    for (const auto &p : s.salePayments)
        h.db().addPayment(venta, p.first, p.second);
    s.note.venta = venta;
    const qint64 nota = h.db().addCreditNote(s.note);
    for (const auto &l : s.lines)
        h.db().addCreditNoteLine(nota, l);
    return nota;
}

TEST(CreditNoteHeader, FormsByPrinterType)
{
    const QString address80 = repeated(QStringLiteral("Urbanización La Floresta "), 80);
    const QString name40 = repeated(QStringLiteral("Inversiones "), 40);
    const struct
    {
        const char *name;
        QString type;
        MainDatabase::Customer customer;
        QString fecha;
        QString dateFormat;
        QStringList expected;
    } cases[] = {
        {"HKA short address",
         "HKA",
         {"Ana", "V1", "Calle 1", "0414"},
         "2026-11-30",
         "dd/MM/yyyy",
         {"i01Ana", "i02V1", "i03Calle 1", "i04Factura afectada: 00000077  30/11/2026"}},
        {"SAMSUNG long address",
         "SAMSUNG",
         {"Ana", "V1", address80, "0414"},
         "2026-11-30",
         "dd/MM/yyyy",
         {"i01Ana", "i02V1", "i03" + address80.left(37), "i04" + address80.mid(37, 37),
          "i05Factura afectada: 00000077  30/11/2026"}},
        {"HKA null address",
         "HKA",
         {"Ana", "V1", QVariant(), "0414"},
         "2026-11-30",
         "dd/MM/yyyy",
         {"i01Ana", "i02V1", "i04Factura afectada: 00000077  30/11/2026"}},
        {"HKA without phone still names the invoice",
         "HKA",
         {"Ana", "V1", "Calle 1", QVariant()},
         "2026-11-30",
         "dd/MM/yyyy",
         {"i01Ana", "i02V1", "i03Calle 1", "i04Factura afectada: 00000077  30/11/2026"}},
        {"name cut to 37 and RIF as stored",
         "HKA",
         {name40, " J123456789 ", QVariant(), QVariant()},
         "2026-11-30",
         "dd/MM/yyyy",
         {"i01" + name40.left(37), "i02J123456789", "i04Factura afectada: 00000077  30/11/2026"}},
        {"time of day follows the date",
         "HKA",
         {"Ana", "V1", QVariant(), QVariant()},
         "2026-11-30 14:05:09",
         "dd/MM/yyyy",
         {"i01Ana", "i02V1", "i04Factura afectada: 00000077  30/11/2026 14:05:09"}},
        {"another short date form",
         "HKA",
         {"Ana", "V1", QVariant(), QVariant()},
         "2026-11-30",
         "yyyy-MM-dd",
         {"i01Ana", "i02V1", "i04Factura afectada: 00000077  2026-11-30"}},
        {"DASCOM",
         "DASCOM",
         {"Ana", "J123456789", "Calle 1", "0414"},
         "2026-11-30",
         "dd/MM/yyyy",
         {"iS*Ana", "iR*J123456789", "iF*00000077", "iI*Z1B1234567", "iD*30/11/2026"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h(c.type);
        h.settings.shortDateFormat = c.dateFormat;
        NoteSetup s;
        s.customer = c.customer;
        s.fecha = c.fecha;
        const qint64 nota = addNote(h, s);
        h.printCreditNote();
        EXPECT_EQ(headerLines(h.commands()), c.expected);
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), -1);
        if (c.type != QLatin1String("HKA") && c.type != QLatin1String("SAMSUNG")) {
            // Each header line is logged once the printer took it.
            QString logged;
            for (const QString &line : c.expected)
                logged += QStringLiteral(" ! ") + line;
            EXPECT_TRUE(h.window().log().startsWith(logged)) << qPrintable(h.window().log());
        }
    }
}

TEST(CreditNoteLines, DetailRowsBecomeDLines)
{
    const QString name50 = repeated(QStringLiteral(" Producto importado "), 50);
    const struct
    {
        const char *name;
        int modoCantidad;
        double porcentImpuesto;
        MainDatabase::Item item;
        QString expected;
    } cases[] = {
        {"taxed", 1, 0.16, {"LIMON", 123.45, 2, 5, QVariant(), 0}, "d1000001234500002000LIMON"},
        {"exempt", 1, 0.16, {"LIMON", 123.45, 2, 5, QVariant(), -1}, "d0000001234500002000LIMON"},
        {"decimal quantity",
         3,
         0.16,
         {"LIMON", 1, 2, 0.5, QVariant(), 0},
         "d1000000010000000500LIMON"},
        {"accents removed",
         1,
         0.16,
         {QString::fromUtf8("Limón Ñame"), 1, 1, 1, QVariant(), 0},
         "d1000000010000001000Limon Name"},
        {"cut to 40 before trimming",
         1,
         0.16,
         {name50, 1, 1, 1, QVariant(), 0},
         "d100000001000000100"
         "0" +
             name50.left(40).trimmed()},
        {"rate 2", 1, 0.08, {"PAN", 1, 1, 1, QVariant(), 0}, "d2000000010000001000PAN"},
        {"no rate matches", 1, 0.12, {"PAN", 1, 1, 1, QVariant(), 0}, "d0000000010000001000PAN"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h;
        h.state.ModoCantidad = static_cast<qint16>(c.modoCantidad);
        NoteSetup s;
        s.note.porcentImpuesto = c.porcentImpuesto;
        s.lines = {c.item};
        addNote(h, s);
        h.printCreditNote();
        const QStringList commands = h.commands();
        const qsizetype at = headerLines(commands).size();
        ASSERT_GT(commands.size(), at + 1);
        EXPECT_EQ(commands[at], c.expected);
        EXPECT_EQ(commands[at + 1], documents::CreditNoteJob::kCierre);
        EXPECT_TRUE(h.window().log().contains(QStringLiteral(" ! ") + c.expected));
    }
}

TEST(CreditNoteLines, NoteWithoutDetailRows)
{
    const struct
    {
        const char *name;
        double porcent, monto, excento;
        QStringList lines;
    } cases[] = {
        {"taxed and exempt",
         0.16,
         100,
         20,
         {"d1000001000000001000Descuento a factura", "d0000000200000001000Descuento a factura"}},
        {"only taxed", 0.16, 100, 0, {"d1000001000000001000Descuento a factura"}},
        {"only exempt", 0.16, 0, 20, {"d0000000200000001000Descuento a factura"}},
        {"no tax rate: one line for the whole",
         0,
         100,
         20,
         {"d0000001200000001000Descuento a factura"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h;
        NoteSetup s;
        s.note.porcentImpuesto = c.porcent;
        s.note.monto = c.monto;
        s.note.montoExcento = c.excento;
        s.lines.clear();
        const qint64 nota = addNote(h, s);
        h.printCreditNote();
        const QStringList commands = h.commands();
        const qsizetype at = headerLines(commands).size();
        EXPECT_EQ(commands.mid(at), c.lines + QStringList{documents::CreditNoteJob::kCierre});
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), -1);
    }
}

TEST(CreditNoteLines, NothingToPrintIsNotRecordedAsPrinted)
{
    // Both amounts 0: no line, so the closing command finds nothing to close.
    JobHarness h(QStringLiteral("HKA"), "[counters]\nCreditNote=41\n");
    NoteSetup s;
    s.lines.clear();
    const qint64 nota = addNote(h, s);
    h.printCreditNote();
    EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), 0);
    EXPECT_TRUE(h.db().creditNote(nota, QStringLiteral("Número")).isNull());
    ASSERT_EQ(h.window().messages.size(), 1);
    EXPECT_TRUE(h.window().messages[0].startsWith(texts::kEtapaPrefijo + QStringLiteral(" 7.")));
    EXPECT_TRUE(h.window().log().endsWith(texts::noCerrado(true)));
}

TEST(CreditNoteDascom, DiscountAndTheSalePaymentsOnlyOnDascom)
{
    const struct
    {
        const char *name;
        QString type;
        double desc01;
        QList<QPair<QVariant, QVariant>> payments;
        QStringList afterLines;
    } cases[] = {
        {"DASCOM discount and payments",
         "DASCOM",
         10.5,
         {{2, 5.0}, {9, 4.0}},
         {"3", "p-1050", "209000000000500", "201000000000400", "f09000000000000"}},
        {"DASCOM without discount or payments", "DASCOM", 0, {}, {"f09000000000000"}},
        {"HKA ignores both", "HKA", 10.5, {{2, 5.0}}, {"f09000000000000"}},
        {"SAMSUNG ignores both", "SAMSUNG", 10.5, {{2, 5.0}}, {"f09000000000000"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h(c.type);
        NoteSetup s;
        s.note.desc01 = c.desc01;
        s.salePayments = c.payments;
        const qint64 nota = addNote(h, s);
        h.printCreditNote();
        const QStringList commands = h.commands();
        const qsizetype at = headerLines(commands).size() + 1;
        EXPECT_EQ(commands.mid(at), c.afterLines);
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), -1);
    }
}

TEST(CreditNoteNumber, ReadFromTheReportAnswerAtThePositionOfTheType)
{
    for (const QString &type :
         {QStringLiteral("HKA"), QStringLiteral("SAMSUNG"), QStringLiteral("DASCOM")}) {
        SCOPED_TRACE(type.toStdString());
        JobHarness h(type, "[counters]\nCreditNote=122\n");
        const qint64 nota = addNote(h, {});
        h.printCreditNote();
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Número")).toString(),
                  QStringLiteral("00000123"));
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Control")).toString(),
                  QStringLiteral("00000123"));
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Imprimir")).toInt(), 0);
        EXPECT_TRUE(h.sim().paper().contains(QStringLiteral("00000077")));
        EXPECT_TRUE(h.window().messages.isEmpty()) << qPrintable(h.window().messages.join('|'));
        EXPECT_TRUE(h.sim().timer().isEnabled());
    }
}

TEST(CreditNoteNumber, FailedUploadRecordsNumberZeroAndSaysSo)
{
    JobHarness h(QStringLiteral("HKA"), "[faults]\nUpload=fail\n");
    const qint64 nota = addNote(h, {});
    h.printCreditNote();
    EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Número")).toString(), QStringLiteral("0"));
    EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), -1);
    EXPECT_TRUE(h.window().log().endsWith(texts::impresoSinNumeros(true, nota)));
}

TEST(CreditNoteFrame, StagesShownForADascomNote)
{
    JobHarness h(QStringLiteral("DASCOM"));
    addNote(h, {});
    h.printCreditNote();
    QStringList stages;
    for (const QString &e : h.window().entries(QStringLiteral("stage ")))
        stages << e.mid(6);
    const QStringList expected{"",
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
                               "Etapa  8"};
    EXPECT_EQ(stages, expected);
    // No status texts and no progress bar in this job.
    EXPECT_TRUE(h.window().entries(QStringLiteral("status ")).isEmpty());
    EXPECT_TRUE(h.window().entries(QStringLiteral("progress ")).isEmpty());
}

TEST(CreditNoteFrame, EmptyListAndTheLastNoteRule)
{
    JobHarness h(QStringLiteral("HKA"), "[faults]\nRefuse=i01\n");
    h.state.UltimaNotaCredito = 9;
    h.printCreditNote();
    EXPECT_EQ(h.state.UltimaNotaCredito, 0);
    EXPECT_TRUE(h.sim().timer().isEnabled());
    EXPECT_TRUE(h.commands().isEmpty());

    const qint64 nota = addNote(h, {});
    h.printCreditNote();
    EXPECT_EQ(h.commands().size(), 1);
    h.printCreditNote();
    EXPECT_EQ(h.commands().size(), 1) << "a failed note heading the list is not taken up again";
    EXPECT_EQ(h.state.UltimaNotaCredito, nota);
}

TEST(CreditNoteFailure, RefusedLinesReportTheirStageInTheLongForm)
{
    const struct
    {
        const char *name;
        QString type;
        QByteArray faults;
        bool detail;
        double porcent;
        double desc01;
        QString stage;
    } cases[] = {
        {"HKA name line", "HKA", "Refuse=i01\n", true, 0.16, 0, "2.01"},
        {"HKA address line", "HKA", "Refuse=i03\n", true, 0.16, 0, "2.03"},
        {"HKA affected invoice", "HKA", "Refuse=i04\n", true, 0.16, 0, "2.04"},
        {"DASCOM date line", "DASCOM", "Refuse=iD*\n", true, 0.16, 0, "2.05"},
        {"detail line", "HKA", "Refuse=d\n", true, 0.16, 0, "4.06"},
        {"taxed line without detail", "HKA", "Refuse=d1\n", false, 0.16, 0, "4.16"},
        {"exempt line without detail", "HKA", "Refuse=d0\n", false, 0.16, 0, "4.22"},
        {"whole line without detail", "HKA", "Refuse=d0\n", false, 0, 0, "4.29"},
        {"DASCOM discount after detail", "DASCOM", "Refuse=3\n", true, 0.16, 10, "4.08"},
        {"DASCOM discount without detail", "DASCOM", "Refuse=p-\n", false, 0.16, 10, "4.22"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h(c.type, "[faults]\n" + c.faults);
        NoteSetup s;
        s.note.porcentImpuesto = c.porcent;
        s.note.desc01 = c.desc01;
        s.note.monto = 100;
        s.note.montoExcento = 20;
        if (!c.detail)
            s.lines.clear();
        const qint64 nota = addNote(h, s);
        h.printCreditNote();
        ASSERT_EQ(h.window().messages.size(), 1);
        const QString message = h.window().messages[0];
        EXPECT_TRUE(message.startsWith(texts::kEtapaPrefijo + QLatin1Char(' ') + c.stage +
                                       QStringLiteral(".\rError: ")))
            << qPrintable(message);
        EXPECT_EQ(message.count(QLatin1Char('\r')), 2);
        EXPECT_EQ(h.window().log(), message);
        EXPECT_TRUE(h.commands().last().endsWith(QStringLiteral("[refused]")));
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), 0);
        EXPECT_TRUE(h.sim().timer().isEnabled());
    }
}

TEST(CreditNoteFailure, PortThatDoesNotOpenStopsPolling)
{
    JobHarness h(QStringLiteral("HKA"), "[faults]\nOpen=fail\n");
    const qint64 nota = addNote(h, {});
    h.printCreditNote();
    ASSERT_EQ(h.window().messages.size(), 2);
    EXPECT_EQ(h.window().messages[0], texts::kErrorPuerto);
    EXPECT_TRUE(h.window().messages[1].startsWith(texts::kEtapaPrefijo + QStringLiteral(" 2.01.")));
    EXPECT_FALSE(h.sim().timer().isEnabled());
    EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), 0);
}

TEST(CreditNoteHeld, UnprintableValuesSendNothing)
{
    const struct
    {
        const char *name;
        QString type;
        int modo;
        QList<MainDatabase::Item> lines;
        QVariant monto;
        QVariant paymentAmount;
        QString column;
    } cases[] = {
        {"null price", "HKA", 1, {{"PAN", QVariant(), 1, 1, QVariant(), 0}}, 0, {}, "Precio"},
        {"negative price", "HKA", 1, {{"PAN", -1.0, 1, 1, QVariant(), 0}}, 0, {}, "Precio"},
        {"null decimal quantity",
         "HKA",
         2,
         {{"PAN", 1.0, 1, QVariant(), QVariant(), 0}},
         0,
         {},
         "CantDec"},
        {"null name", "HKA", 1, {{QVariant(), 1.0, 1, 1, QVariant(), 0}}, 0, {}, "Nombre"},
        {"null amount without detail", "HKA", 1, {}, QVariant(), {}, "Monto"},
        {"negative amount without detail", "HKA", 1, {}, -10.0, {}, "Monto"},
        {"null DASCOM payment",
         "DASCOM",
         1,
         {{"PAN", 1.0, 1, 1, QVariant(), 0}},
         0,
         QVariant(),
         "Monto"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h(c.type);
        h.state.ModoCantidad = static_cast<qint16>(c.modo);
        NoteSetup s;
        s.lines = c.lines;
        s.note.monto = c.monto;
        if (c.type == QLatin1String("DASCOM"))
            s.salePayments = {{0, c.paymentAmount}};
        const qint64 nota = addNote(h, s);
        h.printCreditNote();
        EXPECT_TRUE(h.commands().isEmpty());
        EXPECT_EQ(h.window().messages, QStringList{texts::documentoRetenido(true, nota, c.column)});
        EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), 0);
    }
    JobHarness h;
    h.state.ModoCantidad = 0;
    const qint64 nota = addNote(h, {});
    h.printCreditNote();
    EXPECT_TRUE(h.commands().isEmpty());
    EXPECT_EQ(h.window().messages, QStringList{texts::documentoRetenidoModoCantidad(true, nota)});
}

TEST(CreditNoteDatabase, WriteBackFailureSaysPrintedAndNotRecorded)
{
    JobHarness h;
    const qint64 nota = addNote(h, {});
    // The database refuses the write-back, after the printer closed the note.
    h.db().exec(QStringLiteral("CREATE TRIGGER rechazo BEFORE UPDATE ON \"NotaCréditoVenta\" "
                               "BEGIN SELECT RAISE(ABORT, 'rechazado'); END"));
    h.printCreditNote();
    ASSERT_EQ(h.window().messages.size(), 1);
    EXPECT_TRUE(h.window().messages[0].contains(texts::impresoNoRegistrado(true)));
    EXPECT_TRUE(h.window().messages[0].contains(QStringLiteral("rechazado")));
    EXPECT_TRUE(h.sim().paper().contains(QStringLiteral("00000001")));
    EXPECT_EQ(h.db().creditNote(nota, QStringLiteral("Impresa")).toInt(), 0);
}

} // namespace
