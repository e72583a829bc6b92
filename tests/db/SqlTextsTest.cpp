// Every SQL text of the robot run on databases made from the shipped schema:
// the rows it selects and what it writes.
#include "db/SqlTexts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/ListSource.h"
#include "db/Schema.h"
#include "support/QtPrinters.h"
#include "support/SqliteFile.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

using db::DataError;
using db::ListSource;
using db::RecordSet;
using db::SqlTexts;
using testsupport::SqliteFile;
using testsupport::TestDir;

namespace {

// Sales and credit notes in every state the pending lists tell apart: what
// differs from a pending row of fiscal machine 1 is noted.
const char *const kMainRows = R"sql(
INSERT INTO Clientes VALUES (1, 'Ana Peña', 'V1', 'Av. Urdaneta', '0212-5551234'),
                            (2, 'Sin RIF', NULL, NULL, NULL);
INSERT INTO FormasPago VALUES (1, 'Contado');
INSERT INTO Productos VALUES ('P1', 'Harina', 38.5, -1), ('P2', 'Café', 145, 0), ('P3', '?', 0, 0);
INSERT INTO Configuración (Código, RIFCompañía, VerCantidad, VerCantidadDecimal)
    VALUES (1, 'J306587412', -1, 0);
INSERT INTO Configuración2 VALUES (1, 16, NULL, 31);
INSERT INTO Ventas (Código, Cliente, Anulada, Impresa, Imprimir, Control, Local, MáquinaFiscal)
VALUES (111, 1, 0, 0, -1, NULL, 0, 1), (101, 1, 0, 0, -1, NULL, 0, 1),
    (113, 2, 0, 0, -1, NULL, 0, 1),                                      -- a customer without RIF
    (102, 1, -1, 0, -1, NULL, 0, 1), (103, 1, 0, -1, -1, NULL, 0, 1),    -- voided, printed
    (104, 1, 0, 0, 0, NULL, 0, 1), (105, 1, 0, 0, -1, '00000005', 0, 1), -- not flagged, recorded
    (106, 1, 0, 0, -1, '', 0, 1), (107, 1, 0, 0, -1, NULL, -1, 1),       -- empty number, local
    (112, 1, 0, 0, 1, NULL, 0, 1),                                       -- SQLite's true
    (108, 1, 0, 0, -1, NULL, 0, 12), (109, 1, 0, 0, -1, NULL, 0, 0), (110, 1, 0, 0, -1, NULL, 0, NULL);
UPDATE Ventas SET PorcentImpuesto=0.16, FormaPago=1, NúmeroZ=7, Factura='00000100',
    Fecha='2026-11-30 10:15:00';
INSERT INTO NotaCréditoVenta (Código, Venta, Anulada, Impresa, Imprimir, Control, MáquinaFiscal)
VALUES (7, 103, 0, 0, -1, NULL, 1), (3, 103, 0, 0, -1, NULL, 1), (11, 113, 0, 0, -1, NULL, 1),
    (4, 103, -1, 0, -1, NULL, 1), (5, 103, 0, -1, -1, NULL, 1),           -- voided, printed
    (6, 103, 0, 0, 0, NULL, 1), (8, 103, 0, 0, -1, '00000009', 1),        -- not flagged, recorded
    (9, 103, 0, 0, -1, NULL, 12), (10, 103, 0, 0, -1, NULL, 0);
UPDATE NotaCréditoVenta SET Monto=100;
)sql";

// Each row's values of some columns, joined with '|'.
QStringList rows(RecordSet rs, const QStringList &columns)
{
    QStringList out;
    for (; !rs.eof(); rs.moveNext()) {
        QStringList values;
        for (const QString &column : columns)
            values << rs.text(column);
        out << values.join(QLatin1Char('|'));
    }
    return out;
}

class MainDatabase : public ::testing::Test
{
protected:
    QString ask(const QString &sql) { return QVariant(file.column(sql)).toStringList().join(','); }

    TestDir dir;
    const QString path = [this] {
        const QString p = dir.file(QStringLiteral("Base de Datos.dba"));
        db::Schema::createDatabase(p, {db::Schema::mainSchema(), QString::fromUtf8(kMainRows)});
        return p;
    }();
    SqliteFile file{path};
    std::unique_ptr<db::Database> db = db::Database::open(path);
};

TEST_F(MainDatabase, PendingListsAreTheFlaggedUnprintedDocumentsOfTheMachine)
{
    ListSource invoices, notes;
    invoices.setDatabaseName(path);
    notes.setDatabaseName(path);
    // A null operand of the joined text (no RIF) shows as an empty line.
    const std::tuple<qint32, QStringList, QStringList> cases[] = {
        {12, {"Venta 108 Ana Peña V1"}, {"Nota 9 de Ana Peña V1"}},
        {0, {"Venta 109 Ana Peña V1"}, {"Nota 10 de Ana Peña V1"}},
        {-1, {}, {}},
        {1,
         {"Venta 101 Ana Peña V1", "Venta 111 Ana Peña V1", ""},
         {"Nota 3 de Ana Peña V1", "Nota 7 de Ana Peña V1", ""}}};
    for (const auto &[caja, pendingInvoices, pendingNotes] : cases) {
        invoices.setRecordSource(SqlTexts::facturasPendientes(caja));
        notes.setRecordSource(SqlTexts::notasCreditoPendientes(caja));
        invoices.refresh();
        notes.refresh();
        EXPECT_EQ(invoices.vistaEspecial(), pendingInvoices) << caja;
        EXPECT_EQ(notes.vistaEspecial(), pendingNotes) << caja;
    }
    // The credit-note job takes the sale from the list.
    EXPECT_EQ(rows(notes.recordset(), {"Venta"}), (QStringList{"103", "103", "113"}));
    // Only the pending rows are read, whatever the size of the history.
    for (const QString &sql : {invoices.recordSource(), notes.recordSource()}) {
        const QString plan = db->openRecordset(QStringLiteral("EXPLAIN QUERY PLAN ") + sql)
                                 .columnTexts(QStringLiteral("detail"))
                                 .join(QLatin1Char('\n'));
        EXPECT_TRUE(plan.contains(QLatin1String("por imprimir")) && !plan.contains("SCAN"))
            << qPrintable(plan);
    }
}

TEST_F(MainDatabase, ListSourceRereadsAtEachRefreshAndHoldsNothingWhileTheFileIsAway)
{
    ListSource source;
    source.setDatabaseName(path);
    source.setRecordSource(SqlTexts::facturasPendientes(1));
    source.refresh();
    source.recordset().moveNext();
    // A job printed the first; the next refresh stands on the first row again.
    file.exec(QStringLiteral("UPDATE Ventas SET Control='1' WHERE Código=101;"
                             "UPDATE Ventas SET Imprimir=-1 WHERE Código=104;"));
    source.refresh();
    EXPECT_EQ(source.recordset().text(QStringLiteral("Código")), QStringLiteral("104"));
    // The administrative system moves its file away, then puts it back.
    ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".bak")));
    EXPECT_THROW(source.refresh(), DataError);
    EXPECT_EQ(source.recordCount(), 0);
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(QFile::rename(path + QStringLiteral(".bak"), path));
    source.refresh();
    EXPECT_EQ(source.recordCount(), 3);
}

TEST_F(MainDatabase, DocumentQueriesGiveTheHeaderTheVisibleLinesAndThePayments)
{
    file.exec(QStringLiteral(
        "UPDATE Ventas SET Desc01=12.5 WHERE Código=101;"
        "INSERT INTO VentasDetalles (Venta, COD_PROD, Cantidad, CantidadDecimal, Precio, "
        "Especificación, ExcentoImpuesto, NoMostrarEnFactura, Ordenar) VALUES (101, 'P2', 2, 1.5, "
        "145, NULL, 0, 0, 2), (101, 'P1', 1, 1, 38.5, NULL, -1, 0, 1), (101, 'P3', 1, 1, 10, "
        "'Flete', 0, -1, 3), (101, 'P3', 1, 1, 450, 'Revisión', NULL, 0, 4), (102, 'P2', 9, 9, 1, "
        "NULL, 0, 0, 0);"
        "INSERT INTO AbonosVenta (Venta, TipoMecanismo, Monto) VALUES (101, 0, 100), (101, 4, "
        "50.25), (102, 1, 9);"
        "INSERT INTO NotaCréditoVentaDetalles (NotaCredVent, COD_PROD, Cantidad, CantidadDecimal, "
        "Precio, NoMostrarEnFactura) VALUES (7, 'P2', 2, 1.5, 145, 0), (7, 'P1', 1, 1, 38.5, -1), "
        "(3, 'P1', 3, 3, 38.5, 0);"));
    const std::tuple<QString, QStringList, QStringList> cases[] = {
        {SqlTexts::encabezadoFactura(101),
         {"NombreCliente", "Rif", "NombreFormaPago", "Desc01"},
         {"Ana Peña|V1|Contado|12.5"}},
        {SqlTexts::detalleFactura(101),
         {"Nombre", "Especificación", "Cantidad", "CantDec", "Precio", "ExcentoImpuesto"},
         {"Harina||1|1|38.5|-1", "Café||2|1.5|145|0", "?|Revisión|1|1|450|"}},
        {SqlTexts::abonosVenta(101), {"TipoMecanismo", "Monto"}, {"0|100", "4|50.25"}},
        {SqlTexts::encabezadoNotaCredito(7),
         {"NombreCliente", "Rif", "Factura", "FechaVenta", "Monto"},
         {"Ana Peña|V1|00000100|2026-11-30 10:15:00|100"}},
        {SqlTexts::detalleNotaCredito(7),
         {"Nombre", "Cantidad", "CantDec", "Precio"},
         {"Café|2|1.5|145"}},
        {SqlTexts::configuracion(),
         {"RIFCompañía", "VerCantidad", "VerCantidadDecimal"},
         {"J306587412|-1|0"}},
        {SqlTexts::configuracion2(),
         {"TasaMaqFiscal1", "TasaMaqFiscal2", "TasaMaqFiscal3"},
         {"16||31"}}};
    for (const auto &[sql, columns, expected] : cases)
        EXPECT_EQ(rows(db->openRecordset(sql), columns), expected) << qPrintable(sql);
    // A customer without RIF: a null, neither true nor false.
    const QVariant rif = db->openRecordset(SqlTexts::encabezadoFactura(113)).field("Rif");
    EXPECT_TRUE(rif.isNull() && !RecordSet::isTrue(rif) && !RecordSet::isFalse(rif));
}

TEST_F(MainDatabase, WriteBacksStoreTheNumbersAndTheNextZ)
{
    // Factura/Control/Impresa/Imprimir/NúmeroZ as stored.
    const std::tuple<int, QString, std::optional<QString>, const char *> cases[] = {
        {101, "00000123", "0012", "00000123/00000123/-1/0/13"},
        {111, "00000124", "12  ", "00000124/00000124/-1/0/13"},
        {108, "00000125", "", "00000125/00000125/-1/0/1"},
        {109, "00000126", std::nullopt, "00000126/00000126/-1/0/7"}, // no Z: the old one kept
        {113, "0000'12", "0012", "0000'12/0000'12/-1/0/13"}};        // a quote in the answer
    for (const auto &[code, factura, z, stored] : cases) {
        db->execute(z ? SqlTexts::registroFactura(factura, *z, code)
                      : SqlTexts::registroFacturaSinZ(factura, code));
        EXPECT_EQ(ask(QStringLiteral("SELECT Factura || '/' || Control || '/' || Impresa || '/' || "
                                     "Imprimir || '/' || NúmeroZ FROM Ventas WHERE Código=%1")
                          .arg(code)),
                  QString::fromUtf8(stored));
    }
    EXPECT_EQ(ask(QStringLiteral("SELECT Código FROM Ventas WHERE Impresa ORDER BY 1")),
              QStringLiteral("101,103,108,109,111,113"));
    // A Z counter that is not a number never reaches the statement.
    EXPECT_THROW(SqlTexts::registroFactura("1", "0+1, Anulada=-1", 5), DataError);

    db->execute(SqlTexts::registroNotaCredito(QStringLiteral("00000123"), 7));
    EXPECT_EQ(ask(QStringLiteral("SELECT Número || '/' || Control || '/' || Impresa || '/' || "
                                 "Imprimir FROM NotaCréditoVenta WHERE Código=7")),
              QStringLiteral("00000123/00000123/-1/0"));
    EXPECT_EQ(ask(QStringLiteral("SELECT Código FROM NotaCréditoVenta WHERE Impresa ORDER BY 1")),
              QStringLiteral("5,7"));
}

TEST(LocalDatabase, PendingTicketsAndThePurgeOfOldOnes)
{
    for (const char *format : {"dd/MM/yyyy", "MM/dd/yyyy", "d/M/yy"}) {
        SCOPED_TRACE(format);
        TestDir dir;
        const QString path = dir.file(QStringLiteral("Vextora.dba"));
        // Today is 6 December 2026: printed, unflagged tickets dated before it go.
        db::Schema::createDatabase(path, {db::Schema::localSchema(), QStringLiteral(R"sql(
INSERT INTO TiketNoFiscal (Código, Fecha, Impresa, Imprimir, Caja, Otro2) VALUES
    (1, '2026-12-05', -1, 0, 1, ''), (2, '2026-12-05 23:59:59', -1, 0, 1, ''),     -- purged
    (3, '2026-12-06 00:00:00', -1, 0, 1, ''), (9, '2026-12-07', -1, 0, 1, ''),     -- kept
    (4, '2026-12-05', -1, -1, 1, ''), (5, '2026-12-05', 0, 0, 1, ''),   -- flagged, not printed
    (6, '2025-12-07', -1, 0, 1, ''), (7, '2026-01-30', -1, 0, 1, ''),   -- purged
    (8, NULL, -1, 0, 1, ''),                                            -- no date: kept
    (11, NULL, 0, -1, 1, 'Mesa 4'), (10, NULL, 0, -1, 1, NULL), (12, NULL, 0, -1, 12, 'Barra');
)sql")});
        ListSource tickets;
        tickets.setDatabaseName(path);
        for (const auto &[caja, shown] : {std::pair{1, QStringList{"", "Precuenta: Mesa 4"}},
                                          std::pair{12, QStringList{"Precuenta: Barra"}}}) {
            tickets.setRecordSource(SqlTexts::ticketsPendientes(caja));
            tickets.refresh();
            EXPECT_EQ(tickets.vistaEspecial(), shown);
        }
        db::Database::open(path, QString::fromUtf8(format))
            ->execute(SqlTexts::purgaTickets(QDate(2026, 12, 6), QString::fromUtf8(format)));
        EXPECT_EQ(QVariant(SqliteFile(path).column(
                               QStringLiteral("SELECT Código FROM TiketNoFiscal ORDER BY 1")))
                      .toStringList(),
                  (QStringList{"3", "4", "5", "8", "9", "10", "11", "12"}));
    }
}

} // namespace
