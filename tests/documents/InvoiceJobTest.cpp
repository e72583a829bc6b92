#include "documents/InvoiceJob.h"
#include "core/Texts.h"
#include "documents/JobContext.h"
#include "support/RobotHarness.h"

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

const QString kName37 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567890").left(37);
const QString kLong60 = repeated(QStringLiteral("Distribuidora "), 60);
const QString kAddress80 = repeated(QStringLiteral("Calle Real de Sabana Grande "), 80);
const QString kName50 = repeated(QStringLiteral("Producto largo "), 50);
const QString kForma = QStringLiteral("i06Forma de Pago: Contado");
// The lines of MainRows' default customer.
const QStringList kHeader{"i01Cliente de Prueba", "i03J123456789", "i04Av. Principal",
                          "i05Telefono: 0212-5551234", kForma};

// The quantity columns the company shows: 1 whole, 2 decimal, 3 both, 0 none.
void setQuantityMode(MainRows &db, int mode)
{
    db.setCompany(QStringLiteral("J123456789"), mode & 1 ? -1 : 0, mode & 2 ? -1 : 0);
}

TEST(InvoiceStream, CustomerBlockAndTheLinesTheSettingsAdd)
{
    const QByteArray operador = "[installation]\nSerialesOperador=X0X0000000, Z1B1234567\n";
    const QByteArray orden = "[installation]\nSerialOrdenCompra=Z1B1234567\n";
    const QByteArray otra = "[installation]\nSerialOrdenCompra=Z9Z9999999\n";
    const struct
    {
        const char *name;
        MainRows::Sale sale;
        QByteArray ini;
        QStringList header;
    } cases[] = {
        // clang-format off
        {"name of 37", {C{kName37, "J1", "Av. Bolívar", "0212-1"}}, "",
         {"i01" + kName37, "i03J1", "i04Av. Bolívar", "i05Telefono: 0212-1", kForma}},
        {"name of 38", {C{kName37 + "X", "J1", {}, {}}}, "", {"i01" + kName37, "i02X", "i03J1", kForma}},
        {"name of 60", {C{kLong60, "J1", {}, {}}}, "",
         {"i01" + kLong60.left(37), "i02" + kLong60.mid(37), "i03J1", kForma}},
        {"35 characters and 5 blanks", {C{kName37.left(35) + "     ", "J1", {}, {}}}, "",
         {"i01" + kName37.left(35), "i02", "i03J1", kForma}},
        {"template true cuts the name", {.customer = C{kLong60, "J1", {}, {}}, .plantillaAuxiliar = -1},
         "", {"i01" + kLong60.left(37), "i03J1", kForma}},
        {"template null cuts the name", {.customer = C{kLong60, "J1", {}, {}}, .plantillaAuxiliar = {}},
         "", {"i01" + kLong60.left(37), "i03J1", kForma}},
        {"address of 80, no phone", {C{"Ana", "V1", kAddress80, "0414"}}, "",
         {"i01Ana", "i03V1", "i04" + kAddress80.left(37), "i05" + kAddress80.mid(37, 37), kForma}},
        {"null address", {C{"Ana", "V1", {}, "0414-7"}}, "", {"i01Ana", "i03V1", "i05Telefono: 0414-7", kForma}},
        {"blanks trimmed", {C{"  Ana  ", "  J123456789 ", "  Calle 1  ", " 0414 "}}, "",
         {"i01Ana", "i03J123456789", "i04Calle 1", "i05Telefono: 0414", kForma}},
        {"null name and RIF", {C{{}, {}, {}, {}}}, "", {"i01", "i03", kForma}},
        {"accents kept", {C{"José Peña", "V9", {}, {}}}, "", {"i01José Peña", "i03V9", kForma}},
        {"null form of payment", {.customer = C{"Ana", "V1", {}, {}}, .formaPago = {}}, "",
         {"i01Ana", "i03V1", "i06Forma de Pago: "}},
        {"operator serial", {C{"Ana", "V1", {}, {}}}, operador, {"i01Ana", "i03V1", "i06Operador: Operador 1"}},
        {"purchase-order serial", {.customer = C{"Ana", "V1", {}, {}}, .ordComp = "OC-77"}, orden,
         {"i01Ana", "i03V1", kForma, "i07Orden de Compra: OC-77"}},
        {"purchase-order serial, no order", {C{"Ana", "V1", {}, {}}}, orden, {"i01Ana", "i03V1", kForma}},
        {"another purchase-order serial", {.customer = C{"Ana", "V1", {}, {}}, .ordComp = "OC-77"}, otra,
         {"i01Ana", "i03V1", kForma}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RobotHarness h({.robotIni = c.ini});
        const qint64 code = h.db().addSale(c.sale);
        h.db().addItem(code, {});
        h.printInvoice();
        EXPECT_EQ(h.commands(), (c.header + QStringList{"!000000100000001000HARINA", "101"}));
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    }
}

TEST(InvoiceStream, ItemsByRateQuantityModeAndText)
{
    Item hidden{"OCULTO", 1, 1, 0, {}, 0};
    hidden.noMostrar = 1;
    // Rates 16, 7 and 29 at positions 1 to 3: 0.07 and 0.29 are not exact in binary.
    const struct
    {
        const char *name;
        double porcent;
        int mode;
        QList<Item> items;
        QStringList expected;
    } cases[] = {
        // clang-format off
        {"rate 1", 0.16, 1, {{"HARINA", 1234.5, 2, 0, {}, 0}}, {"!000012345000002000HARINA"}},
        {"exempt", 0.16, 1, {{"ARROZ", 10, 1, 0, {}, -1}}, {" 000000100000001000ARROZ"}},
        {"a rate of no position", 0.12, 1, {{"PAN", 10, 1, 0, {}, 0}}, {" 000000100000001000PAN"}},
        {"0.07 finds rate 2", 0.07, 1, {{"PAN", 10, 1, 0, {}, 0}}, {"\"000000100000001000PAN"}},
        {"0.29 finds rate 3", 0.29, 1, {{"PAN", 10, 1, 0, {}, 0}}, {"#000000100000001000PAN"}},
        {"decimal quantity", 0.16, 3, {{"QUESO", 5, 9, 1.25, {}, 0}}, {"!000000050000001250QUESO"}},
        {"whole quantity", 0.16, 1, {{"QUESO", 5, 9, 1.25, {}, 0}}, {"!000000050000009000QUESO"}},
        {"name and description", 0.16, 1, {{"TORNILLO", 1, 1, 0, "de acero", 0}},
         {"!000000010000001000TORNILLO de acero"}},
        {"free-text item", 0.16, 1, {{"?", 100, 1, 0, "Mantenimiento técnico", 0}},
         {"!000001000000001000Mantenimiento tecnico"}},
        {"free text a dash", 0.16, 1, {{"?", 100, 1, 0, "-", 0}}, {"!000001000000001000?"}},
        {"free text missing", 0.16, 1, {{"?", 100, 1, 0, {}, 0}}, {"!000001000000001000?"}},
        {"cut to 40, no description", 0.16, 1, {{kName50, 1, 1, 0, "oculta", 0}},
         {"!000000010000001000" + kName50.left(40).trimmed()}},
        {"leading blanks dropped", 0.16, 1, {{"   ACEITE", 1, 1, 0, {}, 0}}, {"!000000010000001000ACEITE"}},
        {"accents removed", 0.16, 1, {{"AZÚCAR Ñame", 1, 1, 0, {}, 0}}, {"!000000010000001000AZUCAR Name"}},
        {"hidden rows left out, order kept", 0.16, 1, {{"UNO", 1, 1, 0, {}, 0}, hidden, {"DOS", 2, 1, 0, {}, 0}},
         {"!000000010000001000UNO", "!000000020000001000DOS"}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RobotHarness h;
        h.db().setRates(16, 7, 29);
        setQuantityMode(h.db(), c.mode);
        const qint64 code = h.db().addSale({.porcentImpuesto = c.porcent});
        for (const Item &item : c.items)
            h.db().addItem(code, item);
        h.printInvoice();
        EXPECT_EQ(h.commands(), kHeader + c.expected + QStringList{"101"});
    }
    // Two positions with one rate: the later one is used.
    RobotHarness h;
    h.db().setRates(16, 16, 31);
    h.db().addItem(h.db().addSale({}), {});
    h.printInvoice();
    EXPECT_EQ(h.commands().value(kHeader.size()), "\"000000100000001000HARINA");
}

TEST(InvoiceStream, DiscountAndPaymentsByPrinterType)
{
    const struct
    {
        const char *name;
        QString type;
        QVariant desc01;
        QList<QPair<QVariant, QVariant>> payments;
        QStringList tail;
    } cases[] = {
        // clang-format off
        {"no discount", "HKA", 0, {}, {"101"}},
        {"null discount", "HKA", {}, {}, {"101"}},
        {"12.5 per cent", "HKA", 12.5, {}, {"3", "p-1250", "101"}},
        {"whole discount", "SAMSUNG", 100, {}, {"3", "p-10000", "101"}},
        {"payments only on DASCOM", "HKA", 0, {{0, 100.0}}, {"101"}},
        {"DASCOM payment rows", "DASCOM", 0, {{0, 100.0}, {4, 50.25}}, {"201000000010000", "213000000005025"}},
        {"DASCOM without rows", "DASCOM", 0, {}, {"101"}},
        {"DASCOM unknown means", "DASCOM", 0, {{{}, 100.0}, {9, 50.25}}, {"201000000010000", "201000000005025"}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RobotHarness h({.type = c.type});
        const qint64 code = h.db().addSale({.desc01 = c.desc01});
        // One exempt item of 150.25, which the payments cover.
        h.db().addItem(code, {"ARROZ", 150.25, 1, 0, {}, -1});
        for (const auto &p : c.payments)
            h.db().addPayment(code, p.first, p.second);
        h.printInvoice();
        EXPECT_EQ(h.commands(), kHeader + QStringList{" 000001502500001000ARROZ"} + c.tail);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
    }
}

TEST(InvoiceWriteBack, NumbersFromTheStatusAnswer)
{
    const struct
    {
        QByteArray simIni;
        QString factura;
        int numeroZ;
    } cases[] = {
        {"", "00000001", 1},
        {"[counters]\nInvoice=122\nZ=12\n", "00000123", 13},
        {"[counters]\nInvoice=9\nZ=0\n", "00000010", 1},
        // Printed, so recorded, but without numbers; the Z the row had stays.
        {"[faults]\nUpload=fail\n", "", 7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.simIni.constData());
        RobotHarness h({.simIni = c.simIni});
        const qint64 code = h.db().addSale({});
        h.db().exec(QStringLiteral("UPDATE \"Ventas\" SET \"NúmeroZ\" = 7"));
        h.db().addItem(code, {});
        h.printInvoice();
        for (const char *column : {"Factura", "Control"})
            EXPECT_EQ(h.db().sale(code, QLatin1String(column)).toString(), c.factura);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("NúmeroZ")).toInt(), c.numeroZ);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), -1);
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Imprimir")).toInt(), 0);
        EXPECT_TRUE(h.inst.paper().contains(c.factura));
        ASSERT_EQ(h.window().events.size(), 2);
        EXPECT_EQ(h.window().events[1].numero, c.factura);
        EXPECT_EQ(h.window().messages, QStringList());
        EXPECT_EQ(h.window().log(),
                  c.factura.isEmpty() ? texts::impresoSinNumeros(false, code) : QString());
    }
}

TEST(InvoiceFrame, CaptionsAndProgressOfAWholeInvoice)
{
    RobotHarness h;
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {"UNO", 1, 1, 0, {}, 0});
    h.db().addItem(code, {"DOS", 1, 1, 0, {}, 0});
    h.printInvoice();
    EXPECT_EQ(h.window().entries(QStringLiteral("status ")),
              (QStringList{"status Iniciando factura...", "status Tomando datos generales...",
                           "status Iniciando comunicación...", "status Enviando nombre...",
                           "status Enviando RIF...", "status Enviando dirección...",
                           "status Enviando otros campos...", "status Buscando detalle...",
                           "status Enviando item  1...", "status Enviando item  2...",
                           "status Enviando forma de pago...", "status Chequeando respuesta...",
                           "status Registrando respuesta...", "status Finalizando factura..."}));
    EXPECT_EQ(
        h.window().entries(QStringLiteral("progress ")),
        (QStringList{"progress 0", "progress 8", "progress 16", "progress 24", "progress 32",
                     "progress 40", "progress 48", "progress 56", "progress 64", "progress 64",
                     "progress 72", "progress 80", "progress 88", "progress 96", "progress 100"}));
    EXPECT_TRUE(h.timer().isEnabled());
}

TEST(InvoiceFrame, SaleGoneFromTheHeaderQueryTurnsTheWindowPaleYellow)
{
    RobotHarness h;
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {});
    h.robot().activate();
    h.robot().lists().Data5.refresh();
    // The sale leaves the header query between the list refresh and the job.
    h.db().exec(QStringLiteral("UPDATE \"Ventas\" SET \"Cliente\" = NULL, \"Código\" = 9999"));
    documents::InvoiceJob(h.robot().jobContext()).ImprimirFactura();
    EXPECT_EQ(h.window().backgroundColor(), (core::Rgb{255, 255, 192}));
    EXPECT_EQ(h.commands(), QStringList());
    EXPECT_EQ(h.window().messages, QStringList());
    EXPECT_EQ(h.state().UltimaFactura, code) << "not retried";
}

TEST(InvoiceFailure, RefusedCommandReportsItsStageAndLeavesTheSalePending)
{
    const struct
    {
        QByteArray refuse;
        double stage;
        QString lastCommand;
    } cases[] = {
        {"i01", 2.1, "i01" + kName37},
        {"i02", 2.2, "i02" + QString(30, u'B')},
        {"i03", 2.4, "i03V1"},
        {"i04", 2.51, "i04Calle 1"},
        {"i05", 2.53, "i05Telefono: 0414"},
        {"!", 4.07, "!000000100000001000HARINA"},
        {"3", 4.09, "3"},
        {"p-", 4.09, "p-1000"},
        {"101", 6, "101"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lastCommand.toStdString());
        RobotHarness h({.simIni = "[faults]\nRefuse=" + c.refuse + "\n"});
        const qint64 code = h.db().addSale(
            {.customer = {kName37 + QString(30, u'B'), "V1", "Calle 1", "0414"}, .desc01 = 10});
        h.db().addItem(code, {});
        h.printInvoice();
        EXPECT_EQ(h.commands().value(h.commands().size() - 1), c.lastCommand + " [refused]");
        ASSERT_EQ(h.window().messages.size(), 1);
        const QString message = h.window().messages[0];
        EXPECT_TRUE(message.startsWith(texts::kEtapaPrefijo + ' ' + QString::number(c.stage) +
                                       ".\rError: "))
            << message.toStdString();
        EXPECT_EQ(message.count(u'\r'), 1);
        EXPECT_TRUE(h.window().log().startsWith(message + "\rEstatus: "));
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
        EXPECT_TRUE(h.db().sale(code, QStringLiteral("Control")).isNull());
        EXPECT_TRUE(h.timer().isEnabled()) << "the port opened, so polling runs on";
    }
}

TEST(InvoiceFailure, DascomPaymentsShortOfTheTotalLeaveTheSalePending)
{
    RobotHarness h({.type = "DASCOM"});
    const qint64 code = h.db().addSale({});
    h.db().addItem(code, {"ARROZ", 150.25, 1, 0, {}, -1});
    h.db().addPayment(code, 0, 100.0);
    h.printInvoice();
    EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
    ASSERT_EQ(h.window().messages.size(), 1);
    EXPECT_TRUE(h.window().messages[0].startsWith(texts::kEtapaPrefijo + " 6."));
    EXPECT_TRUE(h.window().log().endsWith(texts::noCerrado(false)));
}

TEST(InvoiceHeld, UnprintableValuesSendNothingAndNameTheColumn)
{
    const struct
    {
        const char *name;
        QString type;
        int mode;
        QVariant porcent;
        Item item;
        QVariant payment; // DASCOM only
        QString column;   // empty: no quantity column chosen
    } cases[] = {
        // clang-format off
        {"null price", "HKA", 1, 0.16, {"PAN", {}, 1, 1, {}, 0}, {}, "Precio"},
        {"negative price", "HKA", 1, 0.16, {"PAN", -5.0, 1, 1, {}, 0}, {}, "Precio"},
        {"null quantity", "HKA", 1, 0.16, {"PAN", 5.0, {}, 1, {}, 0}, {}, "Cantidad"},
        {"negative decimal quantity", "HKA", 2, 0.16, {"PAN", 5.0, 1, -1, {}, 0}, {}, "CantDec"},
        {"null tax rate", "HKA", 1, {}, {}, {}, "PorcentImpuesto"},
        {"null name and no text", "HKA", 1, 0.16, {{}, 5.0, 1, 1, {}, 0}, {}, "Nombre"},
        {"null DASCOM payment", "DASCOM", 1, 0.16, {}, {}, "Monto"},
        {"negative DASCOM payment", "DASCOM", 1, 0.16, {}, -3.0, "Monto"},
        {"no quantity column chosen", "HKA", 0, 0.16, {}, {}, ""},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RobotHarness h({.type = c.type});
        setQuantityMode(h.db(), c.mode);
        const qint64 code = h.db().addSale({.porcentImpuesto = c.porcent});
        h.db().addItem(code, c.item);
        if (c.type == "DASCOM")
            h.db().addPayment(code, 0, c.payment);
        h.printInvoice();
        h.printInvoice();
        EXPECT_EQ(h.commands(), QStringList());
        EXPECT_EQ(h.window().messages,
                  QStringList{c.column.isEmpty() ? texts::documentoRetenidoModoCantidad(false, code)
                                                 : texts::documentoRetenido(false, code, c.column)})
            << "held once, not at every tick";
        EXPECT_EQ(h.db().sale(code, QStringLiteral("Impresa")).toInt(), 0);
        EXPECT_TRUE(h.timer().isEnabled());
    }
}

} // namespace
