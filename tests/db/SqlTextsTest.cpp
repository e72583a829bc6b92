// Every SQL text of the robot, built by SqlTexts, run on databases made from
// the shipped schema.
#include "db/SqlTexts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/ListSource.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

using db::Database;
using db::DataError;
using db::RecordSet;
using db::SqlTexts;
using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

QList<qlonglong> codes(RecordSet rs, const char *column = "Código")
{
    QList<qlonglong> out;
    for (; !rs.eof(); rs.moveNext())
        out << rs.field(QString::fromUtf8(column)).toLongLong();
    return out;
}

class MainDatabase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = dir.file(QStringLiteral("Base de Datos.dba"));
        SqliteFile::createMain(path);
        file = std::make_unique<SqliteFile>(path);
        file->exec(QStringLiteral(
            "INSERT INTO Clientes VALUES (1, 'Pérez Añez, Ramón', 'V123456789', "
            "'Av. Urdaneta, Edif. Río Caura', '0212-5551234');"
            "INSERT INTO Clientes VALUES (2, 'Sin RIF', NULL, NULL, NULL);"
            "INSERT INTO FormasPago VALUES (1, 'Contado');"
            "INSERT INTO Productos VALUES ('P1', 'Harina', 38.5, -1), ('P2', 'Café', 145, 0),"
            " ('P3', '?', NULL, 0);"));
    }

    // A sale with the queue columns given as SQL literals.
    void sale(int code, const char *anulada, const char *impresa, const char *imprimir,
              const char *control, const char *local, const char *maquina, int cliente = 1)
    {
        file->exec(QStringLiteral("INSERT INTO Ventas (Código, Cliente, Anulada, Impresa, "
                                  "Imprimir, Control, Local, MáquinaFiscal, PorcentImpuesto, "
                                  "FormaPago, NúmeroZ) VALUES (%1, %8, %2, %3, %4, %5, %6, %7, "
                                  "0.16, 1, 7)")
                       .arg(code)
                       .arg(QLatin1String(anulada), QLatin1String(impresa), QLatin1String(imprimir),
                            QLatin1String(control), QLatin1String(local), QLatin1String(maquina))
                       .arg(cliente));
    }

    void note(int code, int venta, const char *anulada, const char *impresa, const char *imprimir,
              const char *control, const char *maquina)
    {
        file->exec(QStringLiteral("INSERT INTO NotaCréditoVenta (Código, Venta, Anulada, Impresa, "
                                  "Imprimir, Control, MáquinaFiscal, PorcentImpuesto, Monto, "
                                  "MontoExcento, Desc01) VALUES (%1, %2, %3, %4, %5, %6, %7, "
                                  "0.16, 100, 20, 0)")
                       .arg(code)
                       .arg(venta)
                       .arg(QLatin1String(anulada), QLatin1String(impresa), QLatin1String(imprimir),
                            QLatin1String(control), QLatin1String(maquina)));
    }

    QVariant ventas(const char *column, int code)
    {
        return file->scalar(QStringLiteral("SELECT \"%1\" FROM Ventas WHERE Código=%2")
                                .arg(QString::fromUtf8(column))
                                .arg(code));
    }

    TestDir dir;
    QString path;
    std::unique_ptr<SqliteFile> file;
};

TEST_F(MainDatabase, PendingInvoicesAreTheFlaggedUnprintedSalesOfTheMachine)
{
    //    code anulada impresa imprimir control       local maquina
    sale(111, "0", "0", "-1", "NULL", "0", "1");
    sale(101, "0", "0", "-1", "NULL", "0", "1");
    sale(102, "-1", "0", "-1", "NULL", "0", "1");      // voided
    sale(103, "0", "-1", "-1", "NULL", "0", "1");      // printed
    sale(104, "0", "0", "0", "NULL", "0", "1");        // not flagged
    sale(105, "0", "0", "-1", "'00000005'", "0", "1"); // fiscal number recorded
    sale(106, "0", "0", "-1", "''", "0", "1");         // empty text is not null
    sale(107, "0", "0", "-1", "NULL", "-1", "1");      // local sale
    sale(108, "0", "0", "-1", "NULL", "0", "12");
    sale(109, "0", "0", "-1", "NULL", "0", "0");
    sale(110, "0", "0", "-1", "NULL", "0", "NULL");
    sale(112, "0", "0", "1", "NULL", "0", "1"); // SQLite's true, not Jet's
    auto db = Database::open(path);
    const struct
    {
        qint32 caja;
        QList<qlonglong> expected;
    } cases[] = {{1, {101, 111}}, {12, {108}}, {0, {109}}, {-1, {}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caja);
        EXPECT_EQ(codes(db->openRecordset(SqlTexts::facturasPendientes(c.caja))), c.expected);
    }
}

TEST_F(MainDatabase, PendingCreditNotesAreTheFlaggedUnprintedNotesOfTheMachine)
{
    sale(500, "0", "-1", "0", "'00000100'", "0", "1");
    note(7, 500, "0", "0", "-1", "NULL", "1");
    note(3, 500, "0", "0", "-1", "NULL", "1");
    note(4, 500, "-1", "0", "-1", "NULL", "1");
    note(5, 500, "0", "-1", "-1", "NULL", "1");
    note(6, 500, "0", "0", "0", "NULL", "1");
    note(8, 500, "0", "0", "-1", "'00000009'", "1");
    note(9, 500, "0", "0", "-1", "NULL", "12");
    note(10, 500, "0", "0", "-1", "NULL", "0");
    auto db = Database::open(path);
    const struct
    {
        qint32 caja;
        QList<qlonglong> expected;
    } cases[] = {{1, {3, 7}}, {12, {9}}, {0, {10}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caja);
        const RecordSet rs = db->openRecordset(SqlTexts::notasCreditoPendientes(c.caja));
        EXPECT_EQ(codes(rs), c.expected);
        EXPECT_EQ(codes(rs, "Venta"), QList<qlonglong>(c.expected.size(), 500));
    }
}

TEST_F(MainDatabase, PendingListsShowVistaEspecialWithNullsAsEmptyLines)
{
    sale(101, "0", "0", "-1", "NULL", "0", "1", 1);
    sale(102, "0", "0", "-1", "NULL", "0", "1", 2); // customer without RIF
    note(1, 101, "0", "0", "-1", "NULL", "1");
    note(2, 102, "0", "0", "-1", "NULL", "1");
    db::ListSource invoices, notes;
    invoices.setDatabaseName(path);
    invoices.setRecordSource(SqlTexts::facturasPendientes(1));
    notes.setDatabaseName(path);
    notes.setRecordSource(SqlTexts::notasCreditoPendientes(1));
    invoices.refresh();
    notes.refresh();
    EXPECT_EQ(invoices.vistaEspecial(),
              (QStringList{QStringLiteral("Venta 101 Pérez Añez, Ramón V123456789"), QString()}));
    EXPECT_EQ(notes.vistaEspecial(),
              (QStringList{QStringLiteral("Nota 1 de Pérez Añez, Ramón V123456789"), QString()}));
}

TEST_F(MainDatabase, PendingListsReadOnlyThePendingRowsThroughTheirIndexes)
{
    auto db = Database::open(path);
    for (const QString &sql :
         {SqlTexts::facturasPendientes(1), SqlTexts::notasCreditoPendientes(1)}) {
        SCOPED_TRACE(qPrintable(sql));
        const QStringList plan = db->openRecordset(QStringLiteral("EXPLAIN QUERY PLAN ") + sql)
                                     .columnTexts(QStringLiteral("detail"));
        EXPECT_TRUE(plan.join(QLatin1Char('\n')).contains(QStringLiteral("por imprimir")))
            << qPrintable(plan.join(QLatin1Char('\n')));
        for (const QString &step : plan)
            EXPECT_FALSE(step.startsWith(QStringLiteral("SCAN"))) << qPrintable(step);
    }
}

TEST_F(MainDatabase, CompanySettingsAndRatesComeFromTheirTables)
{
    file->exec(QStringLiteral(
        "INSERT INTO Configuración (Código, RIFCompañía, VerCantidad, VerCantidadDecimal, "
        "UsarImpresiónFacturaInt) VALUES (1, 'J306587412', -1, 0, -1);"
        "INSERT INTO Configuración2 VALUES (1, 16, NULL, 31);"));
    auto db = Database::open(path);
    const RecordSet company = db->openRecordset(SqlTexts::configuracion());
    EXPECT_EQ(company.text(QStringLiteral("RIFCompañía")), QStringLiteral("J306587412"));
    EXPECT_TRUE(RecordSet::isTrue(company.field(QStringLiteral("VerCantidad"))));
    EXPECT_TRUE(RecordSet::isFalse(company.field(QStringLiteral("VerCantidadDecimal"))));
    EXPECT_TRUE(RecordSet::isTrue(company.field(QStringLiteral("UsarImpresiónFacturaInt"))));
    const RecordSet rates = db->openRecordset(SqlTexts::configuracion2());
    EXPECT_EQ(rates.number(QStringLiteral("TasaMaqFiscal1")), 16.0);
    EXPECT_EQ(rates.number(QStringLiteral("TasaMaqFiscal2")), std::nullopt);
    EXPECT_EQ(rates.number(QStringLiteral("TasaMaqFiscal3")), 31.0);
}

TEST_F(MainDatabase, InvoiceQueriesGiveTheHeaderVisibleItemsAndPayments)
{
    sale(101, "0", "0", "-1", "NULL", "0", "1");
    file->exec(QStringLiteral(
        "UPDATE Ventas SET Desc01=12.5, ORD_COMP='OC-1', CampoTextoAdic02='Ana', "
        "PlantillaAuxiliar=0 WHERE Código=101;"
        "INSERT INTO VentasDetalles (Venta, COD_PROD, Cantidad, CantidadDecimal, Precio, "
        "Especificación, ExcentoImpuesto, NoMostrarEnFactura, Ordenar) VALUES "
        "(101, 'P2', 2, 1.5, 145, NULL, 0, 0, 2),"
        "(101, 'P1', 1, 1, 38.5, NULL, -1, 0, 1),"
        "(101, 'P3', 1, 1, 10, 'Flete', 0, -1, 3),"
        "(101, 'P3', 1, 1, 450, 'Mantenimiento técnico', NULL, 0, 4),"
        "(102, 'P2', 9, 9, 1, NULL, 0, 0, 0);"
        "INSERT INTO AbonosVenta (Venta, TipoMecanismo, Monto) VALUES (101, 0, 100), "
        "(101, 4, 50.25), (102, 1, 9);"));
    auto db = Database::open(path);

    const RecordSet header = db->openRecordset(SqlTexts::encabezadoFactura(101));
    ASSERT_EQ(header.recordCount(), 1);
    EXPECT_EQ(header.text(QStringLiteral("NombreCliente")), QStringLiteral("Pérez Añez, Ramón"));
    EXPECT_EQ(header.text(QStringLiteral("Rif")), QStringLiteral("V123456789"));
    EXPECT_EQ(header.text(QStringLiteral("Dirección")),
              QStringLiteral("Av. Urdaneta, Edif. Río Caura"));
    EXPECT_EQ(header.text(QStringLiteral("Teléfono")), QStringLiteral("0212-5551234"));
    EXPECT_EQ(header.text(QStringLiteral("NombreFormaPago")), QStringLiteral("Contado"));
    EXPECT_EQ(header.text(QStringLiteral("CampoTextoAdic02")), QStringLiteral("Ana"));
    EXPECT_EQ(header.text(QStringLiteral("ORD_COMP")), QStringLiteral("OC-1"));
    EXPECT_TRUE(RecordSet::isFalse(header.field(QStringLiteral("PlantillaAuxiliar"))));
    EXPECT_EQ(header.number(QStringLiteral("PorcentImpuesto")), 0.16);
    EXPECT_EQ(header.number(QStringLiteral("Desc01")), 12.5);
    EXPECT_EQ(db->openRecordset(SqlTexts::encabezadoFactura(999)).recordCount(), 0);

    RecordSet items = db->openRecordset(SqlTexts::detalleFactura(101));
    QStringList seen;
    for (; !items.eof(); items.moveNext()) {
        seen << QStringLiteral("%1|%2|%3|%4|%5|%6")
                    .arg(items.text(QStringLiteral("Nombre")),
                         items.text(QStringLiteral("Especificación")),
                         items.text(QStringLiteral("Cantidad")),
                         items.text(QStringLiteral("CantDec")),
                         items.text(QStringLiteral("Precio")),
                         RecordSet::isTrue(items.field(QStringLiteral("ExcentoImpuesto")))
                             ? QStringLiteral("exento")
                             : QStringLiteral("gravado"));
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Harina||1|1|38.5|exento"),
                                 QStringLiteral("Café||2|1.5|145|gravado"),
                                 QStringLiteral("?|Mantenimiento técnico|1|1|450|gravado")}));

    RecordSet payments = db->openRecordset(SqlTexts::abonosVenta(101));
    EXPECT_EQ(codes(payments, "TipoMecanismo"), (QList<qlonglong>{0, 4}));
    payments.moveFirst();
    payments.moveNext();
    EXPECT_EQ(payments.number(QStringLiteral("Monto")), 50.25);
}

TEST_F(MainDatabase, InvoiceWriteBackStoresTheNumbersAndLeavesTheList)
{
    const struct
    {
        const char *name;
        QString factura;
        std::optional<QString> z; // nullopt: the variant without NúmeroZ
        QVariant storedZ;
    } cases[] = {
        {"Z with leading zeros", QStringLiteral("00000123"), QStringLiteral("0012"), qlonglong(13)},
        {"empty Z counts from nothing", QStringLiteral("00000124"), QString(), qlonglong(1)},
        {"Z of zeros", QStringLiteral("00000125"), QStringLiteral("0000"), qlonglong(1)},
        {"short Z with blanks", QStringLiteral("0000012"), QStringLiteral("12  "), qlonglong(13)},
        {"Z 9999", QStringLiteral("00000126"), QStringLiteral("9999"), qlonglong(10000)},
        {"without Z keeps the old value", QStringLiteral("00000127"), std::nullopt, qlonglong(7)},
        {"a quote in the answer", QStringLiteral("0000'12"), QStringLiteral("0012"), qlonglong(13)},
        {"empty answer", QString(), QString(), qlonglong(1)},
    };
    int code = 100;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ++code;
        sale(code, "0", "0", "-1", "NULL", "0", "1");
        sale(code + 1000, "0", "0", "-1", "NULL", "0", "1"); // a neighbour that stays pending
        auto db = Database::open(path);
        db->execute(c.z ? SqlTexts::registroFactura(c.factura, *c.z, code)
                        : SqlTexts::registroFacturaSinZ(c.factura, code));
        EXPECT_EQ(ventas("Factura", code), QVariant(c.factura));
        EXPECT_EQ(ventas("Control", code), QVariant(c.factura));
        EXPECT_EQ(ventas("Impresa", code), QVariant(qlonglong(-1)));
        EXPECT_EQ(ventas("Imprimir", code), QVariant(qlonglong(0)));
        EXPECT_EQ(ventas("NúmeroZ", code), c.storedZ);
        EXPECT_FALSE(ventas("Control", code + 1000).isValid());
        EXPECT_FALSE(codes(db->openRecordset(SqlTexts::facturasPendientes(1))).contains(code));
        EXPECT_TRUE(
            codes(db->openRecordset(SqlTexts::facturasPendientes(1))).contains(code + 1000));
    }
}

TEST(SqlTexts, ZCounterThatIsNotANumberCannotReachTheStatement)
{
    for (const char *z : {"12a", "1;", "1)", "0+1, Anulada=-1"}) {
        SCOPED_TRACE(z);
        EXPECT_THROW(SqlTexts::registroFactura(QStringLiteral("00000001"), QString::fromUtf8(z), 5),
                     DataError);
    }
}

TEST_F(MainDatabase, CreditNoteQueriesAndWriteBack)
{
    sale(500, "0", "-1", "0", "'00000100'", "0", "1");
    file->exec(QStringLiteral("UPDATE Ventas SET Factura='00000100', Fecha='2026-11-30 10:15:00' "
                              "WHERE Código=500;"));
    note(7, 500, "0", "0", "-1", "NULL", "1");
    note(8, 500, "0", "0", "-1", "NULL", "1");
    file->exec(QStringLiteral(
        "INSERT INTO NotaCréditoVentaDetalles (NotaCredVent, COD_PROD, Cantidad, CantidadDecimal, "
        "Precio, ExcentoImpuesto, NoMostrarEnFactura) VALUES (7, 'P2', 2, 1.5, 145, 0, 0), "
        "(7, 'P1', 1, 1, 38.5, -1, -1), (8, 'P1', 3, 3, 38.5, -1, 0);"));
    auto db = Database::open(path);

    const RecordSet header = db->openRecordset(SqlTexts::encabezadoNotaCredito(7));
    ASSERT_EQ(header.recordCount(), 1);
    EXPECT_EQ(header.text(QStringLiteral("NombreCliente")), QStringLiteral("Pérez Añez, Ramón"));
    EXPECT_EQ(header.text(QStringLiteral("Rif")), QStringLiteral("V123456789"));
    EXPECT_EQ(header.text(QStringLiteral("Factura")), QStringLiteral("00000100"));
    EXPECT_EQ(header.dateTime(QStringLiteral("FechaVenta")),
              QDateTime(QDate(2026, 11, 30), QTime(10, 15)));
    EXPECT_EQ(header.number(QStringLiteral("Monto")), 100.0);
    EXPECT_EQ(header.number(QStringLiteral("MontoExcento")), 20.0);
    EXPECT_EQ(header.number(QStringLiteral("PorcentImpuesto")), 0.16);
    EXPECT_EQ(header.number(QStringLiteral("Desc01")), 0.0);

    RecordSet lines = db->openRecordset(SqlTexts::detalleNotaCredito(7));
    ASSERT_EQ(lines.recordCount(), 1);
    EXPECT_EQ(lines.text(QStringLiteral("Nombre")), QStringLiteral("Café"));
    EXPECT_EQ(lines.number(QStringLiteral("Cantidad")), 2.0);
    EXPECT_EQ(lines.number(QStringLiteral("CantDec")), 1.5);
    EXPECT_EQ(lines.number(QStringLiteral("Precio")), 145.0);

    db->execute(SqlTexts::registroNotaCredito(QStringLiteral("00000123"), 7));
    EXPECT_EQ(
        file->scalar(QStringLiteral("SELECT Número || '/' || Control || '/' || Impresa || '/' "
                                    "|| Imprimir FROM NotaCréditoVenta WHERE Código=7")),
        QVariant(QStringLiteral("00000123/00000123/-1/0")));
    EXPECT_EQ(codes(db->openRecordset(SqlTexts::notasCreditoPendientes(1))), QList<qlonglong>{8});
}

TEST(LocalDatabase, TicketPurgeDeletesPrintedUnflaggedTicketsBeforeToday)
{
    const QDate today(2026, 12, 6);
    const char *formats[] = {"dd/MM/yyyy", "MM/dd/yyyy", "yyyy-MM-dd", "d/M/yy"};
    for (const char *format : formats) {
        SCOPED_TRACE(format);
        TestDir dir;
        const QString path = dir.file(QStringLiteral("Vextora.dba"));
        SqliteFile::createLocal(path);
        SqliteFile file(path);
        //  code  fecha                   impresa imprimir
        file.exec(QStringLiteral(
            "INSERT INTO TiketNoFiscal (Código, Fecha, Impresa, Imprimir, Caja) VALUES "
            "(1, '2026-12-05', -1, 0, 1),"          // yesterday, printed: deleted
            "(2, '2026-12-05 23:59:59', -1, 0, 1)," // last second of yesterday: deleted
            "(3, '2026-12-06', -1, 0, 1),"          // today: kept
            "(4, '2026-12-06 00:00:00', -1, 0, 1)," // today at midnight: kept
            "(5, '2026-12-05', -1, -1, 1),"         // still flagged: kept
            "(6, '2026-12-05', 0, 0, 1),"           // never printed: kept
            "(7, '2025-12-07', -1, 0, 1),"          // a year ago, later day and month: deleted
            "(8, '2026-01-30', -1, 0, 1),"          // earlier month, later day: deleted
            "(9, NULL, -1, 0, 1),"                  // no date: kept
            "(10, '2026-12-07', -1, 0, 1);"));      // tomorrow: kept
        db::Database::Options options;
        options.shortDateFormat = QString::fromUtf8(format);
        auto db = Database::open(path, options);
        db->execute(SqlTexts::purgaTickets(today, options.shortDateFormat));
        EXPECT_EQ(file.column(QStringLiteral("SELECT Código FROM TiketNoFiscal ORDER BY 1")),
                  (QVariantList{qlonglong(3), qlonglong(4), qlonglong(5), qlonglong(6),
                                qlonglong(9), qlonglong(10)}));
    }
}

TEST(LocalDatabase, PendingTicketsAreTheFlaggedUnprintedTicketsOfTheRegister)
{
    TestDir dir;
    const QString path = dir.file(QStringLiteral("Vextora.dba"));
    SqliteFile::createLocal(path);
    SqliteFile file(path);
    file.exec(QStringLiteral(
        "INSERT INTO TiketNoFiscal (Código, Caja, Impresa, Imprimir, Otro2) VALUES "
        "(4, 1, 0, -1, 'Mesa 4'), (2, 1, 0, -1, NULL), (3, 1, -1, -1, 'impreso'),"
        "(5, 1, 0, 0, 'sin marcar'), (6, 12, 0, -1, 'Barra'), (7, 0, 0, -1, 'Caja cero');"));
    db::ListSource tickets;
    tickets.setDatabaseName(path);
    const struct
    {
        qint32 caja;
        QStringList shown;
    } cases[] = {
        {1, {QString(), QStringLiteral("Precuenta: Mesa 4")}},
        {12, {QStringLiteral("Precuenta: Barra")}},
        {0, {QStringLiteral("Precuenta: Caja cero")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caja);
        tickets.setRecordSource(SqlTexts::ticketsPendientes(c.caja));
        tickets.refresh();
        EXPECT_EQ(tickets.vistaEspecial(), c.shown);
    }
}

} // namespace
