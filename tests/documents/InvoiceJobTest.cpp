#include "documents/InvoiceJob.h"
#include "core/Texts.h"
#include "support/JobHarness.h"

#include <gtest/gtest.h>

using testsupport::headerLines;
using testsupport::JobHarness;
using testsupport::MainDatabase;
using testsupport::repeated;
namespace texts = core::texts;

namespace {

const QString kName37 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567890").left(37);

struct CustomerCase
{
    const char *name;
    MainDatabase::Customer customer;
    QVariant plantilla;
    QStringList expected;
};

TEST(InvoiceCustomerBlock, LinesFollowTheNameAddressAndPhoneRules)
{
    const QString long60 = repeated(QStringLiteral("Distribuidora "), 60);
    const QString address80 = repeated(QStringLiteral("Calle Real de Sabana Grande "), 80);
    const CustomerCase cases[] = {
        {"name of 37",
         {kName37, "J123456789", "Av. Bolívar", "0212-1"},
         0,
         {"i01" + kName37, "i03J123456789", QString::fromUtf8("i04Av. Bolívar"),
          "i05Telefono: 0212-1", "i06Forma de Pago: Contado"}},
        {"name of 38",
         {kName37 + "X", "J1", QVariant(), QVariant()},
         0,
         {"i01" + kName37, "i02X", "i03J1", "i06Forma de Pago: Contado"}},
        {"name of 60",
         {long60, "J1", QVariant(), QVariant()},
         0,
         {"i01" + long60.left(37), "i02" + long60.mid(37), "i03J1", "i06Forma de Pago: Contado"}},
        {"35 characters and 5 trailing blanks",
         {kName37.left(35) + "     ", "J1", QVariant(), QVariant()},
         0,
         {"i01" + kName37.left(35), "i02", "i03J1", "i06Forma de Pago: Contado"}},
        {"template true cuts the name",
         {long60, "J1", QVariant(), QVariant()},
         -1,
         {"i01" + long60.left(37), "i03J1", "i06Forma de Pago: Contado"}},
        {"template null cuts the name",
         {long60, "J1", QVariant(), QVariant()},
         QVariant(),
         {"i01" + long60.left(37), "i03J1", "i06Forma de Pago: Contado"}},
        {"address of 80",
         {"Ana", "V1", address80, "0414"},
         0,
         {"i01Ana", "i03V1", "i04" + address80.left(37), "i05" + address80.mid(37, 37),
          "i06Forma de Pago: Contado"}},
        {"null address with phone",
         {"Ana", "V1", QVariant(), "0414-7"},
         0,
         {"i01Ana", "i03V1", "i05Telefono: 0414-7", "i06Forma de Pago: Contado"}},
        {"blanks trimmed",
         {"  Ana  ", "  J123456789 ", "  Calle 1  ", " 0414 "},
         0,
         {"i01Ana", "i03J123456789", "i04Calle 1", "i05Telefono: 0414",
          "i06Forma de Pago: Contado"}},
        {"null name and RIF",
         {QVariant(), QVariant(), QVariant(), QVariant()},
         0,
         {"i01", "i03", "i06Forma de Pago: Contado"}},
        {"accents go to the printer as they are",
         {QString::fromUtf8("José Peña"), "V9", QVariant(), QVariant()},
         0,
         {QString::fromUtf8("i01José Peña"), "i03V9", "i06Forma de Pago: Contado"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h;
        MainDatabase::Sale sale;
        sale.customer = c.customer;
        sale.plantillaAuxiliar = c.plantilla;
        const qint64 code = h.db().addSale(sale);
        h.db().addItem(code, {});
        h.printInvoice();
        EXPECT_EQ(headerLines(h.commands()), c.expected);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    }
}

TEST(InvoiceCustomerBlock, OperatorAndPurchaseOrderLinesFollowThePrinterSerial)
{
    const struct
    {
        const char *name;
        QStringList serialesOperador;
        QString serialOrdenCompra;
        QVariant formaPago;
        QVariant ordComp;
        QStringList expected;
    } cases[] = {
        {"plain installation", {}, {}, "Contado", "OC-1", {"i06Forma de Pago: Contado"}},
        {"operator serial",
         {"X0X0000000", "Z1B1234567"},
         {},
         "Contado",
         QVariant(),
         {"i06Operador: Operador 1"}},
        {"purchase-order serial",
         {},
         "Z1B1234567",
         "Contado",
         "OC-77",
         {"i06Forma de Pago: Contado", "i07Orden de Compra: OC-77"}},
        {"purchase-order serial without an order",
         {},
         "Z1B1234567",
         "Contado",
         QVariant(),
         {"i06Forma de Pago: Contado"}},
        {"another printer's serial",
         {},
         "Z9Z9999999",
         "Contado",
         "OC-77",
         {"i06Forma de Pago: Contado"}},
        {"null form of payment leaves the label",
         {},
         {},
         QVariant(),
         QVariant(),
         {"i06Forma de Pago: "}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h;
        h.settings.SerialesOperador = c.serialesOperador;
        h.settings.SerialOrdenCompra = c.serialOrdenCompra;
        MainDatabase::Sale sale;
        sale.customer = {"Ana", "V1", QVariant(), QVariant()};
        sale.formaPago = c.formaPago;
        sale.ordComp = c.ordComp;
        const qint64 code = h.db().addSale(sale);
        h.db().addItem(code, {});
        h.printInvoice();
        EXPECT_EQ(headerLines(h.commands()).mid(2), c.expected);
    }
}

struct ItemCase
{
    const char *name;
    double porcentImpuesto;
    double rates[3];
    int modoCantidad;
    MainDatabase::Item item;
    QString expected;
};

TEST(InvoiceItems, TaxCharacterFieldsAndText)
{
    const QString name50 = repeated(QStringLiteral("Producto largo "), 50);
    const ItemCase cases[] = {
        {"taxed at rate 1",
         0.16,
         {16, 8, 31},
         1,
         {"HARINA", 1234.5, 2, 0, QVariant(), 0},
         "!000012345000002000HARINA"},
        {"exempt",
         0.16,
         {16, 8, 31},
         1,
         {"ARROZ", 10, 1, 0, QVariant(), -1},
         " 000000100000001000ARROZ"},
        {"rate nobody has",
         0.12,
         {16, 8, 31},
         1,
         {"PAN", 10, 1, 0, QVariant(), 0},
         " 000000100000001000PAN"},
        {"rate 0", 0.0, {16, 8, 31}, 1, {"PAN", 10, 1, 0, QVariant(), 0}, " 000000100000001000PAN"},
        {"equal rates: the later wins",
         0.16,
         {16, 16, 31},
         1,
         {"PAN", 10, 1, 0, QVariant(), 0},
         "\"000000100000001000PAN"},
        {"rate 3",
         0.31,
         {16, 8, 31},
         1,
         {"PAN", 10, 1, 0, QVariant(), 0},
         "#000000100000001000PAN"},
        {"0.07 finds 7",
         0.07,
         {16, 7, 31},
         1,
         {"PAN", 10, 1, 0, QVariant(), 0},
         "\"000000100000001000PAN"},
        {"0.29 finds 29",
         0.29,
         {16, 8, 29},
         1,
         {"PAN", 10, 1, 0, QVariant(), 0},
         "#000000100000001000PAN"},
        {"decimal quantity",
         0.16,
         {16, 8, 31},
         3,
         {"QUESO", 5, 9, 1.25, QVariant(), 0},
         "!000000050000001250QUESO"},
        {"whole quantity",
         0.16,
         {16, 8, 31},
         1,
         {"QUESO", 5, 9, 1.25, QVariant(), 0},
         "!000000050000009000QUESO"},
        {"name and free description",
         0.16,
         {16, 8, 31},
         1,
         {"TORNILLO", 1, 1, 0, "de acero", 0},
         "!000000010000001000TORNILLO de acero"},
        {"free text item",
         0.16,
         {16, 8, 31},
         1,
         {"?", 100, 1, 0, QString::fromUtf8("Mantenimiento técnico"), 0},
         "!000001000000001000Mantenimiento tecnico"},
        {"free text with dash",
         0.16,
         {16, 8, 31},
         1,
         {"?", 100, 1, 0, "-", 0},
         "!000001000000001000?"},
        {"free text without text",
         0.16,
         {16, 8, 31},
         1,
         {"?", 100, 1, 0, QVariant(), 0},
         "!000001000000001000?"},
        {"cut to 40",
         0.16,
         {16, 8, 31},
         1,
         {name50, 1, 1, 0, "oculta", 0},
         "!000000010000001000" + name50.left(40).trimmed()},
        {"leading blanks lost after the cut",
         0.16,
         {16, 8, 31},
         1,
         {"   ACEITE", 1, 1, 0, QVariant(), 0},
         "!000000010000001000ACEITE"},
        {"accents removed",
         0.16,
         {16, 8, 31},
         1,
         {QString::fromUtf8("AZÚCAR Ñame"), 1, 1, 0, QVariant(), 0},
         "!000000010000001000AZUCAR Name"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h;
        h.state.TasaMaqFiscal1 = c.rates[0];
        h.state.TasaMaqFiscal2 = c.rates[1];
        h.state.TasaMaqFiscal3 = c.rates[2];
        h.state.ModoCantidad = static_cast<qint16>(c.modoCantidad);
        MainDatabase::Sale sale;
        sale.porcentImpuesto = c.porcentImpuesto;
        const qint64 code = h.db().addSale(sale);
        h.db().addItem(code, c.item);
        h.printInvoice();
        const QStringList commands = h.commands();
        const qsizetype at = headerLines(commands).size();
        ASSERT_GT(commands.size(), at);
        EXPECT_EQ(commands[at], c.expected);
    }
}

TEST(InvoiceItems, HiddenRowsAreLeftOutAndOrderIsKept)
{
    JobHarness h;
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {"UNO", 1, 1, 0, QVariant(), 0});
    MainDatabase::Item hidden{"OCULTO", 1, 1, 0, QVariant(), 0};
    hidden.noMostrar = 1;
    h.db().addItem(code, hidden);
    h.db().addItem(code, {"DOS", 2, 1, 0, QVariant(), 0});
    h.printInvoice();
    const QStringList c = h.commands();
    const qsizetype at = headerLines(c).size();
    EXPECT_EQ(c.mid(at), (QStringList{"!000000010000001000UNO", "!000000020000001000DOS", "101"}));
}

TEST(InvoiceDiscountAndPayment, CommandsByDiscountAndPrinterType)
{
    const struct
    {
        const char *name;
        QString type;
        double desc01;
        QList<QPair<QVariant, QVariant>> payments;
        QStringList tail; // after the items
    } cases[] = {
        {"no discount", "HKA", 0, {}, {"101"}},
        {"12.5 per cent", "HKA", 12.5, {}, {"3", "p-1250", "101"}},
        {"whole discount", "SAMSUNG", 100, {}, {"3", "p-10000", "101"}},
        {"payments ignored outside DASCOM", "HKA", 0, {{0, 100.0}}, {"101"}},
        {"DASCOM payment rows",
         "DASCOM",
         0,
         {{0, 100.0}, {4, 50.25}},
         {"201000000010000", "213000000005025"}},
        {"DASCOM without rows", "DASCOM", 0, {}, {"101"}},
        {"DASCOM unknown means",
         "DASCOM",
         0,
         {{QVariant(), 100.0}, {9, 50.25}},
         {"201000000010000", "201000000005025"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h(c.type);
        MainDatabase::Sale sale;
        sale.desc01 = c.desc01;
        const qint64 code = h.db().addSale(sale);
        // One exempt item of 150.25, so that the payments cover it.
        h.db().addItem(code, {"ARROZ", 150.25, 1, 0, QVariant(), -1});
        for (const auto &p : c.payments)
            h.db().addPayment(code, p.first, p.second);
        h.printInvoice();
        const QStringList commands = h.commands();
        const qsizetype at = headerLines(commands).size() + 1;
        EXPECT_EQ(commands.mid(at), c.tail);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    }
}

TEST(InvoiceWriteBack, NumbersFromTheStatusAnswer)
{
    const struct
    {
        const char *name;
        QByteArray counters;
        QString factura;
        int numeroZ;
    } cases[] = {
        {"first invoice of the printer", "", "00000001", 1},
        {"counters 122 and Z 12", "[counters]\nInvoice=122\nZ=12\n", "00000123", 13},
        {"Z 0", "[counters]\nInvoice=9\nZ=0\n", "00000010", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h(QStringLiteral("HKA"), c.counters);
        const qint64 code = h.db().addSale({});
        h.db().addItem(code, {});
        h.printInvoice();
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Factura")).toString(), c.factura);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Control")).toString(), c.factura);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("NúmeroZ")).toInt(), c.numeroZ);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Imprimir")).toInt(), 0);
        EXPECT_EQ(h.commands().last(), QStringLiteral("101"));
        EXPECT_TRUE(h.sim().paper().contains(c.factura));
        ASSERT_EQ(h.window().events.size(), 2);
        EXPECT_EQ(h.window().events[1].numero, c.factura);
        EXPECT_TRUE(h.window().messages.isEmpty()) << qPrintable(h.window().messages.join('|'));
    }
}

TEST(InvoiceWriteBack, FailedStatusReadRecordsThePrintKeepingTheZ)
{
    JobHarness h(QStringLiteral("HKA"), "[faults]\nUpload=fail\n");
    const qint64 code = h.db().addSale({});
    h.db().exec(QStringLiteral("UPDATE Ventas SET \"NúmeroZ\" = 7 WHERE \"Código\" = ?"), {code});
    h.db().addItem(code, {});
    h.printInvoice();
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Factura")).toString(), QString());
    EXPECT_EQ(h.db().sale(code, QStringLiteral("NúmeroZ")).toInt(), 7);
    EXPECT_EQ(h.window().log(), texts::impresoSinNumeros(false, code));
}

TEST(InvoiceFrame, CaptionsProgressAndTimerOfAWholeInvoice)
{
    JobHarness h;
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {"UNO", 1, 1, 0, QVariant(), 0});
    h.db().addItem(code, {"DOS", 1, 1, 0, QVariant(), 0});
    h.printInvoice();
    EXPECT_EQ(h.window().entries(QStringLiteral("status ")),
              (QStringList{"status Iniciando factura...", "status Tomando datos generales...",
                           QString::fromUtf8("status Iniciando comunicación..."),
                           "status Enviando nombre...", "status Enviando RIF...",
                           QString::fromUtf8("status Enviando dirección..."),
                           "status Enviando otros campos...", "status Buscando detalle...",
                           "status Enviando item  1...", "status Enviando item  2...",
                           "status Enviando forma de pago...", "status Chequeando respuesta...",
                           "status Registrando respuesta...", "status Finalizando factura..."}));
    EXPECT_EQ(
        h.window().entries(QStringLiteral("progress ")),
        (QStringList{"progress 0", "progress 8", "progress 16", "progress 24", "progress 32",
                     "progress 40", "progress 48", "progress 56", "progress 64", "progress 64",
                     "progress 72", "progress 80", "progress 88", "progress 96", "progress 100"}));
    EXPECT_TRUE(h.sim().timer().isEnabled());
    EXPECT_EQ(h.state.UltimaFactura, code);
}

TEST(InvoiceFrame, EmptyListResetsTheLastInvoiceAndTouchesNothing)
{
    JobHarness h;
    h.state.UltimaFactura = 55;
    h.printInvoice();
    EXPECT_EQ(h.state.UltimaFactura, 0);
    EXPECT_TRUE(h.commands().isEmpty());
    EXPECT_EQ(h.window().status(), texts::kFinalizandoFactura);
    EXPECT_EQ(h.window().progress(), 100);
    EXPECT_TRUE(h.sim().timer().isEnabled());
}

TEST(InvoiceFrame, SaleNotFoundTurnsTheWindowPaleYellowAndIsNotRetried)
{
    JobHarness h;
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {});
    h.lists.Data5.refresh();
    // The sale leaves the header query between the list refresh and the job.
    h.db().exec(
        QStringLiteral("UPDATE Ventas SET Cliente = NULL, \"Código\" = 9999 WHERE \"Código\" = ?"),
        {code});
    documents::InvoiceJob(h.context()).ImprimirFactura();
    EXPECT_EQ(h.window().backgroundColor(), (core::Rgb{255, 255, 192}));
    EXPECT_TRUE(h.commands().isEmpty());
    EXPECT_TRUE(h.window().messages.isEmpty());
    EXPECT_EQ(h.state.UltimaFactura, code);
}

struct FailureCase
{
    const char *name;
    QByteArray faults;
    double stage;
    QString lastCommand;
};

TEST(InvoiceFailure, RefusedCommandReportsItsStageAndLeavesTheSalePending)
{
    const FailureCase cases[] = {
        {"name line", "[faults]\nRefuse=i01\n", 2.1, "i01" + kName37},
        {"RIF line", "[faults]\nRefuse=i03\n", 2.4, "i03V1"},
        {"address line", "[faults]\nRefuse=i04\n", 2.51, "i04Calle 1"},
        {"second name line", "[faults]\nRefuse=i02\n", 2.2, "i02" + QString(30, QLatin1Char('B'))},
        {"phone line", "[faults]\nRefuse=i05\n", 2.53, "i05Telefono: 0414"},
        {"item", "[faults]\nRefuse=!\n", 4.07, "!000000100000001000HARINA"},
        {"subtotal", "[faults]\nRefuse=3\n", 4.09, "3"},
        {"discount", "[faults]\nRefuse=p-\n", 4.09, "p-1000"},
        {"payment", "[faults]\nRefuse=101\n", 6, "101"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h(QStringLiteral("HKA"), c.faults);
        MainDatabase::Sale sale;
        sale.customer = {kName37 + QString(30, QLatin1Char('B')), "V1", "Calle 1", "0414"};
        sale.desc01 = 10;
        const qint64 code = h.db().addSale(sale);
        h.db().addItem(code, {"HARINA", 10, 1, 0, QVariant(), 0});
        h.printInvoice();
        const QStringList commands = h.commands();
        ASSERT_FALSE(commands.isEmpty());
        EXPECT_EQ(commands.last(), c.lastCommand + QStringLiteral(" [refused]"));
        const QString shortForm = texts::kEtapaPrefijo + QLatin1Char(' ') +
                                  QString::number(c.stage) + QStringLiteral(".\rError: ");
        ASSERT_EQ(h.window().messages.size(), 1);
        EXPECT_TRUE(h.window().messages[0].startsWith(shortForm))
            << qPrintable(h.window().messages[0]);
        EXPECT_EQ(h.window().messages[0].count(QLatin1Char('\r')), 1);
        EXPECT_TRUE(
            h.window().log().startsWith(h.window().messages[0] + QStringLiteral("\rEstatus: ")));
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
        EXPECT_TRUE(h.db().sale(code, QStringLiteral("Control")).isNull());
        // The port had opened, so polling runs on.
        EXPECT_TRUE(h.sim().timer().isEnabled());
        EXPECT_EQ(h.state.UltimaFactura, code);

        // Not taken up again while it heads the list...
        const qsizetype sent = commands.size();
        h.printInvoice();
        EXPECT_EQ(h.commands().size(), sent);
    }
}

TEST(InvoiceFailure, PortThatDoesNotOpenShowsBothMessagesAndStopsPolling)
{
    JobHarness h(QStringLiteral("HKA"), "[faults]\nOpen=fail\n");
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {});
    h.printInvoice();
    ASSERT_EQ(h.window().messages.size(), 2);
    EXPECT_EQ(h.window().messages[0], texts::kErrorPuerto);
    EXPECT_TRUE(h.window().messages[1].startsWith(texts::kEtapaPrefijo + QStringLiteral(" 2.1.")));
    EXPECT_FALSE(h.sim().timer().isEnabled());
    EXPECT_TRUE(h.window().controlEnabled(core::Control::Command10));
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
}

TEST(InvoiceFailure, SaleIsTakenUpAgainOnlyAfterTheListWasEmpty)
{
    JobHarness h(QStringLiteral("HKA"), "[faults]\nRefuse=i01\n");
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {});
    h.printInvoice();
    h.printInvoice();
    EXPECT_EQ(h.commands().size(), 1);
    // Marked as voided by someone: the list is empty once.
    h.db().exec(QStringLiteral("UPDATE Ventas SET Anulada = -1 WHERE \"Código\" = ?"), {code});
    h.printInvoice();
    EXPECT_EQ(h.state.UltimaFactura, 0);
    h.db().exec(QStringLiteral("UPDATE Ventas SET Anulada = 0 WHERE \"Código\" = ?"), {code});
    h.printInvoice();
    EXPECT_EQ(h.commands().size(), 2);
}

TEST(InvoiceHeld, UnprintableValuesSendNothingAndNameTheColumn)
{
    const struct
    {
        const char *name;
        QString type;
        int modoCantidad;
        QVariant porcentImpuesto;
        MainDatabase::Item item;
        QVariant paymentAmount;
        QString column;
    } cases[] = {
        {"null price", "HKA", 1, 0.16, {"PAN", QVariant(), 1, 1, QVariant(), 0}, {}, "Precio"},
        {"negative price", "HKA", 1, 0.16, {"PAN", -5.0, 1, 1, QVariant(), 0}, {}, "Precio"},
        {"null quantity",
         "HKA",
         1,
         0.16,
         {"PAN", 5.0, QVariant(), 1, QVariant(), 0},
         {},
         "Cantidad"},
        {"negative decimal quantity",
         "HKA",
         2,
         0.16,
         {"PAN", 5.0, 1, -1, QVariant(), 0},
         {},
         "CantDec"},
        {"null tax rate",
         "HKA",
         1,
         QVariant(),
         {"PAN", 5.0, 1, 1, QVariant(), 0},
         {},
         "PorcentImpuesto"},
        {"null name and no text",
         "HKA",
         1,
         0.16,
         {QVariant(), 5.0, 1, 1, QVariant(), 0},
         {},
         "Nombre"},
        {"null DASCOM payment",
         "DASCOM",
         1,
         0.16,
         {"PAN", 5.0, 1, 1, QVariant(), 0},
         QVariant(),
         "Monto"},
        {"negative DASCOM payment",
         "DASCOM",
         1,
         0.16,
         {"PAN", 5.0, 1, 1, QVariant(), 0},
         -3.0,
         "Monto"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        JobHarness h(c.type);
        h.state.ModoCantidad = static_cast<qint16>(c.modoCantidad);
        MainDatabase::Sale sale;
        sale.porcentImpuesto = c.porcentImpuesto;
        const qint64 code = h.db().addSale(sale);
        h.db().addItem(code, c.item);
        if (c.type == QLatin1String("DASCOM"))
            h.db().addPayment(code, 0, c.paymentAmount);
        h.printInvoice();
        EXPECT_TRUE(h.commands().isEmpty());
        ASSERT_EQ(h.window().messages.size(), 1);
        EXPECT_EQ(h.window().messages[0], texts::documentoRetenido(false, code, c.column));
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
        EXPECT_TRUE(h.sim().timer().isEnabled());
        h.printInvoice();
        EXPECT_EQ(h.window().messages.size(), 1);
    }
}

TEST(InvoiceHeld, NoQuantityColumnChosenHoldsTheSale)
{
    JobHarness h;
    h.state.ModoCantidad = 0;
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {});
    h.printInvoice();
    EXPECT_TRUE(h.commands().isEmpty());
    EXPECT_EQ(h.window().messages, QStringList{texts::documentoRetenidoModoCantidad(false, code)});
}

TEST(InvoiceHeld, NullDiscountCountsAsNone)
{
    JobHarness h;
    MainDatabase::Sale sale;
    sale.desc01 = QVariant();
    const qint64 code = h.db().addSale(sale);
    h.db().addItem(code, {});
    h.printInvoice();
    EXPECT_EQ(h.commands().last(), QStringLiteral("101"));
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
}

TEST(InvoiceNotClosed, PaymentsShortOfTheTotalAreNotRecorded)
{
    JobHarness h(QStringLiteral("DASCOM"));
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {"ARROZ", 150.25, 1, 0, QVariant(), -1});
    h.db().addPayment(code, 0, 100.0);
    h.printInvoice();
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
    EXPECT_TRUE(h.db().sale(code, QStringLiteral("Control")).isNull());
    ASSERT_EQ(h.window().messages.size(), 1);
    EXPECT_TRUE(h.window().messages[0].startsWith(texts::kEtapaPrefijo + QStringLiteral(" 6.")));
    EXPECT_TRUE(h.window().log().endsWith(texts::noCerrado(false)));
}

TEST(InvoiceDatabase, WriteBackFailureSaysPrintedAndNotRecorded)
{
    JobHarness h;
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {});
    // The write-back's view disappears while the printer closes the invoice.
    h.window().onProcessEvents = [&h] {
        if (h.window().status() == texts::kChequeandoRespuesta)
            h.db().exec(QStringLiteral("DROP VIEW IF EXISTS \"Consulta Ventas Edición\""));
    };
    h.printInvoice();
    ASSERT_EQ(h.window().messages.size(), 1);
    EXPECT_TRUE(h.window().messages[0].contains(texts::impresoNoRegistrado(false)));
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
    EXPECT_TRUE(h.sim().paper().contains(QStringLiteral("00000001")));
}

} // namespace
