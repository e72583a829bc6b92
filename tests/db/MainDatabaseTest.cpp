// The robot's SQL on a main database made from the shipped schema, on both
// engines: the rows each of its texts selects, what it writes, the Jet
// expressions it may use, and the locks it meets and takes.
#include "db/DataError.h"
#include "db/Database.h"
#include "db/ListSource.h"
#include "db/MachineLock.h"
#include "db/Schema.h"
#include "db/SqlTexts.h"
#include "support/ErrorOf.h"
#include "support/Installation.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

using db::DataError;
using db::ListSource;
using db::RecordSet;
using db::SqlTexts;
using testsupport::Engine;
using testsupport::errorOf;
using testsupport::Installation;
using testsupport::MainRows;

namespace {

// Sales and credit notes in every state the pending lists tell apart (what
// differs from a pending row of fiscal machine 1 is noted), with the lines,
// payments and values that the document queries and expressions read.
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
    (112, 1, 0, 0, 1, NULL, 0, 1),                                       -- 1 for true
    (108, 1, 0, 0, -1, NULL, 0, 12), (109, 1, 0, 0, -1, NULL, 0, 0), (110, 1, 0, 0, -1, NULL, 0, NULL);
UPDATE Ventas SET PorcentImpuesto=0.16, FormaPago=1, NúmeroZ=7, Factura='00000100',
    Fecha='2026-11-30 10:15:00';
UPDATE Ventas SET Desc01=12.5, MedioPago='Pago', Observación=' móvil' WHERE Código=101;
UPDATE Ventas SET MedioPago='Efectivo', Fecha='2026-12-02 09:00:00' WHERE Código=102;
INSERT INTO VentasDetalles (Venta, COD_PROD, Cantidad, CantidadDecimal, Precio, Especificación,
                            ExcentoImpuesto, NoMostrarEnFactura, Ordenar)
VALUES (101, 'P2', 2, 1.5, 145, NULL, 0, 0, 2), (101, 'P1', 1, 1, 38.5, NULL, -1, 0, 1),
    (101, 'P3', 1, 1, 10, 'Flete', 0, -1, 3), (101, 'P3', 1, 1, 450, 'Revisión', NULL, 0, 4),
    (102, 'P2', 9, 9, 1, NULL, 0, 0, 0);
INSERT INTO AbonosVenta (Venta, TipoMecanismo, Monto) VALUES (101, 0, 100), (101, 4, 50.25),
    (102, 1, 9);
INSERT INTO NotaCréditoVenta (Código, Venta, Anulada, Impresa, Imprimir, Control, MáquinaFiscal)
VALUES (7, 103, 0, 0, -1, NULL, 1), (3, 103, 0, 0, -1, NULL, 1), (11, 113, 0, 0, -1, NULL, 1),
    (4, 103, -1, 0, -1, NULL, 1), (5, 103, 0, -1, -1, NULL, 1),           -- voided, printed
    (6, 103, 0, 0, 0, NULL, 1), (8, 103, 0, 0, -1, '00000009', 1),        -- not flagged, recorded
    (9, 103, 0, 0, -1, NULL, 12), (10, 103, 0, 0, -1, NULL, 0);
UPDATE NotaCréditoVenta SET Monto=100;
INSERT INTO NotaCréditoVentaDetalles (NotaCredVent, COD_PROD, Cantidad, CantidadDecimal, Precio,
                                      NoMostrarEnFactura)
VALUES (7, 'P2', 2, 1.5, 145, 0), (7, 'P1', 1, 1, 38.5, -1), (3, 'P1', 3, 3, 38.5, 0);
)sql";

class MainDatabase : public testsupport::OnEngine
{
protected:
    // Each row's values of some columns, joined with '|'.
    QStringList rows(const QString &sql, const QStringList &columns)
    {
        QStringList out;
        for (RecordSet rs = db->openRecordset(sql); !rs.eof(); rs.moveNext()) {
            QStringList values;
            for (const QString &column : columns)
                values << rs.text(column);
            out << values.join(QLatin1Char('|'));
        }
        return out;
    }
    QString ask(const QString &sql)
    {
        return QVariant(inst.db().column(sql)).toStringList().join(',');
    }

    Installation inst{{.engine = GetParam(), .rows = QString::fromUtf8(kMainRows)}};
    std::unique_ptr<db::Database> db = db::Database::open(inst.mainDatabase());
};
RUN_ON_BOTH_ENGINES(MainDatabase);

TEST_P(MainDatabase, PendingListsAreTheFlaggedUnprintedDocumentsOfTheMachine)
{
    ListSource invoices, notes;
    invoices.setDatabaseName(inst.mainDatabase());
    notes.setDatabaseName(inst.mainDatabase());
    // A null operand of the joined text (no RIF) shows as an empty line.
    const std::tuple<qint32, QStringList, QStringList> cases[] = {
        {12, {"Venta 108 Ana Peña V1"}, {"Nota 9 de Ana Peña V1"}},
        {0, {"Venta 109 Ana Peña V1"}, {"Nota 10 de Ana Peña V1"}},
        {-1, {}, {}},
        {1,
         {"Venta 101 Ana Peña V1", "Venta 111 Ana Peña V1", ""},
         {"Nota 3 de Ana Peña V1", "Nota 7 de Ana Peña V1", ""}}};
    for (const auto &[machine, pendingInvoices, pendingNotes] : cases) {
        invoices.setRecordSource(SqlTexts::pendingInvoices(machine));
        notes.setRecordSource(SqlTexts::pendingCreditNotes(machine));
        invoices.refresh();
        notes.refresh();
        EXPECT_EQ(invoices.displayLines(), pendingInvoices) << machine;
        EXPECT_EQ(notes.displayLines(), pendingNotes) << machine;
    }
    // A job printed the first: the next refresh reads afresh and stands on the first row.
    invoices.recordset().moveNext();
    inst.db().exec(
        QStringLiteral("UPDATE \"Ventas\" SET \"Control\" = '1' WHERE \"Código\" = 101"));
    inst.db().exec(
        QStringLiteral("UPDATE \"Ventas\" SET \"Imprimir\" = -1 WHERE \"Código\" = 104"));
    invoices.refresh();
    EXPECT_EQ(invoices.recordset().text(QStringLiteral("Código")), QStringLiteral("104"));
    // Only the pending rows are read, whatever the size of the history (on a
    // server, whose planner scans a table this small, the benchmark shows it).
    if (GetParam() == Engine::Sqlite) {
        for (const QString &sql : {invoices.recordSource(), notes.recordSource()}) {
            const QString plan =
                rows(QStringLiteral("EXPLAIN QUERY PLAN ") + sql, {"detail"}).join('\n');
            EXPECT_TRUE(plan.contains(QLatin1String("por imprimir")) && !plan.contains("SCAN"))
                << qPrintable(plan);
        }
    }
}

TEST_P(MainDatabase, DocumentQueriesGiveTheHeaderTheVisibleLinesAndThePayments)
{
    const std::tuple<QString, QStringList, QStringList> cases[] = {
        {SqlTexts::invoiceHeader(101, 1),
         {"NombreCliente", "Rif", "Dirección", "NombreFormaPago", "Desc01"},
         {"Ana Peña|V1|Av. Urdaneta|Contado|12.5"}},
        {SqlTexts::invoiceItems(101),
         {"Nombre", "Especificación", "Cantidad", "CantDec", "Precio", "ExcentoImpuesto"},
         {"Harina||1|1|38.5|-1", "Café||2|1.5|145|0", "?|Revisión|1|1|450|"}},
        {SqlTexts::salePayments(101), {"TipoMecanismo", "Monto"}, {"0|100", "4|50.25"}},
        {SqlTexts::creditNoteHeader(7, 1),
         {"NombreCliente", "Rif", "Factura", "FechaVenta", "Monto"},
         {"Ana Peña|V1|00000100|2026-11-30 10:15:00|100"}},
        {SqlTexts::creditNoteItems(7),
         {"Nombre", "Cantidad", "CantDec", "Precio"},
         {"Café|2|1.5|145"}},
        {SqlTexts::companySettings(),
         {"RIFCompañía", "VerCantidad", "VerCantidadDecimal"},
         {"J306587412|-1|0"}},
        {SqlTexts::taxRates(), {"TasaMaqFiscal1", "TasaMaqFiscal2", "TasaMaqFiscal3"}, {"16||31"}}};
    for (const auto &[sql, columns, expected] : cases)
        EXPECT_EQ(rows(sql, columns), expected) << qPrintable(db->translate(sql));
    // A customer without RIF: a null, neither true nor false.
    const QVariant rif = db->openRecordset(SqlTexts::invoiceHeader(113)).field("Rif");
    EXPECT_TRUE(rif.isNull() && !RecordSet::isTrue(rif) && !RecordSet::isFalse(rif));
}

TEST_P(MainDatabase, WriteBacksStoreTheNumbersAndTheNextZ)
{
    // Factura/Control/Impresa/Imprimir/NúmeroZ as stored.
    const std::tuple<int, QString, std::optional<QString>, const char *> cases[] = {
        {101, "00000123", "0012", "00000123/00000123/-1/0/13"},
        {111, "00000124", "12  ", "00000124/00000124/-1/0/13"},
        {108, "00000125", "", "00000125/00000125/-1/0/1"},
        {109, "00000126", std::nullopt, "00000126/00000126/-1/0/7"}, // no Z: the old one kept
        {113, "0000'12", "0012", "0000'12/0000'12/-1/0/13"}};        // a quote in the answer
    for (const auto &[code, number, z, stored] : cases) {
        db->execute(z ? SqlTexts::recordInvoice(number, *z, code)
                      : SqlTexts::recordInvoiceWithoutZ(number, code));
        EXPECT_EQ(ask(QStringLiteral("SELECT \"Factura\" || '/' || \"Control\" || '/' || "
                                     "\"Impresa\" || '/' || \"Imprimir\" || '/' || \"NúmeroZ\" "
                                     "FROM \"Ventas\" WHERE \"Código\" = %1")
                          .arg(code)),
                  QString::fromUtf8(stored));
    }
    EXPECT_EQ(
        ask(QStringLiteral("SELECT \"Código\" FROM \"Ventas\" WHERE \"Impresa\" <> 0 ORDER BY 1")),
        QStringLiteral("101,103,108,109,111,113"));
    EXPECT_EQ(rows(SqlTexts::pendingInvoices(1), {"Código"}), QStringList{});
    // A Z counter that is not a number never reaches the statement.
    EXPECT_THROW(SqlTexts::recordInvoice("1", "0+1, Anulada=-1", 5), DataError);

    db->execute(SqlTexts::recordCreditNote(QStringLiteral("00000123"), 7));
    EXPECT_EQ(ask(QStringLiteral("SELECT \"Número\" || '/' || \"Control\" || '/' || \"Impresa\" "
                                 "|| '/' || \"Imprimir\" FROM \"NotaCréditoVenta\" WHERE "
                                 "\"Código\" = 7")),
              QStringLiteral("00000123/00000123/-1/0"));
    EXPECT_EQ(rows(SqlTexts::pendingCreditNotes(1), {"Código"}), (QStringList{"3", "11"}));
}

TEST_P(MainDatabase, JetExpressionsMeanTheSame)
{
    const std::pair<const char *, QStringList> cases[] = {
        {"Select Código as x from Ventas Where Anulada=true", {"102"}},
        {"Select Código as x from Ventas Where Local=True and Control=null", {"107"}},
        {"Select Código as x from Ventas Where Control<>null order by Código", {"105", "106"}},
        {"Select Código as x from Ventas Where Factura='true' or Anulada=TRUE", {"102"}},
        // A sale on the day before at 10:15 is before the day, not on it.
        {"Select Código as x from Ventas Where Fecha<datevalue('01/12/2026') and Código<103",
         {"101"}},
        {"Select Código as x from Ventas Where Fecha>=datevalue('02/12/2026')", {"102"}},
        // `+` between columns: numbers add, texts join, a null gives null.
        {"Select Desc01 + NúmeroZ as x from Ventas Where Código=101", {"19.5"}},
        {"Select NúmeroZ + 0012 as x from Ventas Where Código=101", {"19"}},
        {"Select MedioPago + Observación as x from Ventas Where Código<103 order by Código",
         {"Pago móvil", ""}},
        {"Select 'Caja ' + MedioPago as x from Ventas Where Código in (102, 103) order by Código",
         {"Caja Efectivo", ""}},
        {"Select Precio * 2 + 1 as x from Productos order by COD_PROD", {"78", "291", "1"}},
        // Double quotes are text; brackets and booleans inside text stay as they are.
        {"Select \"dq\" + 'x' as x from Configuración", {"dqx"}},
        {"Select '[RIF] true' + Nombre as x from [Clientes] order by Código",
         {"[RIF] trueAna Peña", "[RIF] trueSin RIF"}},
    };
    for (const auto &[jet, expected] : cases) {
        const QString sql = QString::fromUtf8(jet);
        EXPECT_EQ(rows(sql, {"x"}), expected) << qPrintable(db->translate(sql));
    }
    db->execute(QStringLiteral("Update [Ventas] Set Control=null, Local=true Where Código= 105"));
    EXPECT_EQ(rows("Select Código from Ventas Where Control=null and Local=-1 order by Código",
                   {"Código"}),
              (QStringList{"105", "107"}));
    db->execute(QStringLiteral("Delete * from [AbonosVenta] Where Venta=101;"));
    EXPECT_EQ(rows(SqlTexts::salePayments(101), {"Monto"}), QStringList{});
    EXPECT_EQ(rows(SqlTexts::salePayments(102), {"Monto"}), QStringList{"9"});
}

// Another program of the shop writes the sale in a transaction: the robot's
// write-back waits for it up to the busy timeout, then fails as busy and the
// same connection goes on once the other commits. Reads are not held up.
TEST_P(MainDatabase, WriteBackWaitsForAnotherProgramsLockUpToTheBusyTimeout)
{
    db::Database::Options options;
    options.busyTimeoutMs = 200;
    auto robot = db::Database::open(inst.mainDatabase(), options);
    const QString update = SqlTexts::recordInvoice("00000150", "0003", 101);
    const QString pending = SqlTexts::pendingInvoices(1);
    MainRows other(inst.mainDatabase());
    other.exec(QStringLiteral("BEGIN"));
    other.exec(QStringLiteral("UPDATE \"Ventas\" SET \"Local\" = 0 WHERE \"Código\" = 101"));
    EXPECT_EQ(errorOf([&] { robot->execute(update); }).kind(), DataError::Kind::Busy);
    EXPECT_EQ(robot->openRecordset(pending).recordCount(), 3);
    other.exec(QStringLiteral("COMMIT"));
    robot->execute(update);
    EXPECT_EQ(inst.db().sale(101, QStringLiteral("NúmeroZ")).toInt(), 4);
    if (GetParam() == Engine::Sqlite) {
        // The robot's reads leave no lock behind: another program takes the
        // file whole at once, and while it holds it reads wait too.
        other.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
        other.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        EXPECT_EQ(errorOf([&] { robot->openRecordset(pending); }).kind(), DataError::Kind::Busy);
        other.exec(QStringLiteral("COMMIT"));
    }
    // Other programs' locks are waited for five seconds at least.
    const bool file = GetParam() == Engine::Sqlite;
    EXPECT_EQ(db->openRecordset(file ? "PRAGMA busy_timeout"
                                     : "Select current_setting('lock_timeout') as timeout")
                  .text("timeout"),
              file ? "5000" : "5s");
}

// Two robots configured for one fiscal machine on one database: the second
// cannot take it until the first lets go; another machine, or the same
// machine on another database, is free.
TEST_P(MainDatabase, OneRobotPerFiscalMachine)
{
    using State = db::MachineLock::State;
    const Installation elsewhere({.engine = GetParam()});
    const QString here = inst.mainDatabase();
    auto first = std::make_unique<db::MachineLock>(here, 1);
    db::MachineLock second(here, 1), otherMachine(here, 2), otherPlace(elsewhere.mainDatabase(), 1);
    EXPECT_EQ(first->acquire(), State::Held);
    EXPECT_EQ(second.acquire(), State::HeldByAnother);
    EXPECT_EQ(otherMachine.acquire(), State::Held);
    EXPECT_EQ(otherPlace.acquire(), State::Held);
    EXPECT_TRUE(first->keep());
    EXPECT_FALSE(second.keep());
    first.reset();
    EXPECT_TRUE(second.keep());
}

} // namespace
