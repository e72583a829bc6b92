#include "db/DataError.h"
#include "db/Database.h"
#include "db/MachineLock.h"
#include "db/PostgresUrl.h"
#include "db/Schema.h"
#include "db/SqlTexts.h"
#include "postgres/PostgresCluster.h"
#include "support/TestDir.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using db::Database;
using db::DataError;
using db::SqlTexts;
using testpg::PostgresCluster;

namespace {

// A few rows of each object the robot reads, in SQLite's SQL: the same script
// makes the main database on either engine.
const char *const kRows = R"(
INSERT INTO "Configuración" VALUES (1, 'Distribuidora Ñandú, C.A.', 'J306587412', NULL, NULL, -1, 0, 0);
INSERT INTO "Configuración2" VALUES (1, 16, 8, 31);
INSERT INTO "Clientes" VALUES (1, 'José Añez', 'V154872369', 'Av. Bolívar', NULL),
                              (2, 'Ana Peña', 'J401238765', NULL, NULL);
INSERT INTO "FormasPago" VALUES (1, 'Contado');
INSERT INTO "Productos" VALUES ('P1', 'Harina', 38.5, -1), ('P2', 'Café', 145, 0);
INSERT INTO "Ventas" ("Código", "Cliente", "Fecha", "Anulada", "Impresa", "Imprimir", "Control",
                      "Local", "MáquinaFiscal", "Factura", "NúmeroZ", "FormaPago", "Desc01",
                      "MedioPago", "Observación")
VALUES (3, NULL, '2026-12-01 09:00:00', 0, 0, -1, NULL, 0, 1, NULL, NULL, 1, 0, 'Efectivo', NULL),
       (4, 1, '2026-12-01 09:10:00', 0, 0, -1, NULL, 0, 2, NULL, NULL, 1, 0, NULL, NULL),
       (5, 2, '2026-12-01 09:20:00', 0, 0, -1, NULL, 0, 1, NULL, 4, 1, 2.5, 'Pago', ' móvil'),
       (6, 1, '2026-12-01 09:30:00', 0, 0, -1, NULL, -1, 1, NULL, NULL, 1, 0, NULL, NULL),
       (7, 1, '2026-12-02 10:30:00', 0, 0, -1, NULL, 0, 1, NULL, NULL, 1, 5, NULL, NULL),
       (8, 1, '2026-12-02 10:40:00', -1, 0, -1, NULL, 0, 1, NULL, NULL, 1, 0, NULL, NULL),
       (9, 2, '2026-11-30 08:00:00', 0, -1, 0, '00000140', 0, 1, '00000140', 12, 1, 0, NULL, NULL);
INSERT INTO "VentasDetalles" ("Venta", "COD_PROD", "Cantidad", "CantidadDecimal", "Precio",
                              "NoMostrarEnFactura", "Ordenar")
VALUES (7, 'P1', 2, 2, 38.5, 0, 2), (7, 'P2', 1, 1.5, 145, 0, 1), (7, 'P2', 1, 1, 0, -1, 3);
INSERT INTO "AbonosVenta" ("Venta", "TipoMecanismo", "Monto") VALUES (7, 0, 12.5), (5, 2, 1);
INSERT INTO "NotaCréditoVenta" ("Código", "Venta", "Fecha", "Imprimir", "MáquinaFiscal", "Monto")
VALUES (21, 9, '2026-12-02 11:00:00', -1, 1, 145), (22, 9, '2026-12-02 11:05:00', -1, 2, 1);
INSERT INTO "NotaCréditoVentaDetalles" ("NotaCredVent", "COD_PROD", "Cantidad", "CantidadDecimal",
                                        "Precio", "NoMostrarEnFactura")
VALUES (21, 'P2', 1, 1, 145, 0), (21, 'P1', 1, 1, 38.5, -1);
)";

// The main database on one engine, made from the shipped schema and kRows.
class MainDatabaseOn : public ::testing::TestWithParam<Database::Engine>
{
protected:
    void SetUp() override
    {
        const QStringList scripts{db::Schema::mainSchema(), QString::fromUtf8(kRows)};
        if (GetParam() == Database::Engine::Postgres) {
            location = PostgresCluster::shared().url(PostgresCluster::shared().createDatabase());
            db::Schema::createPostgresDatabase(location, scripts);
        } else {
            location = dir.file(QStringLiteral("Base de Datos.dba"));
            db::Schema::createDatabase(location, scripts);
        }
        db = Database::open(location);
    }

    // Every row's value of a column, as text (a null is empty).
    QStringList texts(const QString &sql, const QString &column)
    {
        return db->openRecordset(sql).columnTexts(column);
    }

    testsupport::TestDir dir;
    QString location;
    std::unique_ptr<Database> db;
};

TEST_P(MainDatabaseOn, RobotQueriesReadTheRightRows)
{
    const struct
    {
        QString sql;
        const char *column;
        QStringList expected;
    } cases[] = {
        {SqlTexts::facturasPendientes(1), "Código", {"3", "5", "7"}},
        {SqlTexts::facturasPendientes(1),
         "VistaEspecial",
         {"", "Venta 5 Ana Peña J401238765", "Venta 7 José Añez V154872369"}},
        {SqlTexts::facturasPendientes(2), "Código", {"4"}},
        {SqlTexts::notasCreditoPendientes(1), "VistaEspecial", {"Nota 21 de Ana Peña J401238765"}},
        {SqlTexts::notasCreditoPendientes(1), "Venta", {"9"}},
        {SqlTexts::encabezadoFactura(7), "NombreCliente", {"José Añez"}},
        {SqlTexts::encabezadoFactura(7), "Rif", {"V154872369"}},
        {SqlTexts::encabezadoFactura(7), "Dirección", {"Av. Bolívar"}},
        {SqlTexts::encabezadoFactura(7), "NombreFormaPago", {"Contado"}},
        {SqlTexts::encabezadoFactura(7), "Desc01", {"5"}},
        {SqlTexts::detalleFactura(7), "Nombre", {"Café", "Harina"}},
        {SqlTexts::detalleFactura(7), "CantDec", {"1.5", "2"}},
        {SqlTexts::detalleFactura(7), "Precio", {"145", "38.5"}},
        {SqlTexts::abonosVenta(7), "Monto", {"12.5"}},
        {SqlTexts::configuracion(), "RIFCompañía", {"J306587412"}},
        {SqlTexts::configuracion2(), "TasaMaqFiscal2", {"8"}},
        {SqlTexts::encabezadoNotaCredito(21), "FechaVenta", {"2026-11-30 08:00:00"}},
        {SqlTexts::encabezadoNotaCredito(21), "Factura", {"00000140"}},
        {SqlTexts::detalleNotaCredito(21), "CantDec", {"1"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.sql));
        EXPECT_EQ(texts(c.sql, QString::fromUtf8(c.column)), c.expected)
            << qPrintable(db->translate(c.sql));
    }
}

TEST_P(MainDatabaseOn, WriteBacksStoreTheNumbersAndTakeTheDocumentOffItsList)
{
    db->execute(SqlTexts::registroFactura(QStringLiteral("00000150"), QStringLiteral("0012"), 7));
    db->execute(SqlTexts::registroFacturaSinZ(QStringLiteral("00000151"), 5));
    db->execute(SqlTexts::registroNotaCredito(QStringLiteral("00000009"), 21));
    const QString sale = QStringLiteral("Select Factura, Control, Impresa, Imprimir, NúmeroZ from "
                                        "[Consulta VentasAct] Where Código in (5, 7) order by "
                                        "Código");
    EXPECT_EQ(texts(sale, QStringLiteral("Factura")), (QStringList{"00000151", "00000150"}));
    EXPECT_EQ(texts(sale, QStringLiteral("Control")), (QStringList{"00000151", "00000150"}));
    EXPECT_EQ(texts(sale, QStringLiteral("Impresa")), (QStringList{"-1", "-1"}));
    EXPECT_EQ(texts(sale, QStringLiteral("Imprimir")), (QStringList{"0", "0"}));
    EXPECT_EQ(texts(sale, QStringLiteral("NúmeroZ")), (QStringList{"4", "13"}));
    EXPECT_EQ(texts(SqlTexts::facturasPendientes(1), QStringLiteral("Código")), (QStringList{"3"}));
    EXPECT_EQ(texts(QStringLiteral("Select Número, Control, Impresa from NotaCréditoVenta Where "
                                   "Código=21"),
                    QStringLiteral("Número")),
              (QStringList{"00000009"}));
    EXPECT_EQ(texts(SqlTexts::notasCreditoPendientes(1), QStringLiteral("Código")), QStringList{});
}

TEST_P(MainDatabaseOn, JetExpressionsMeanTheSame)
{
    const struct
    {
        const char *sql;
        QStringList expected;
    } cases[] = {
        {"Select Código as x from Ventas Where Anulada=true", {"8"}},
        {"Select Código as x from Ventas Where Local=True and Control=null", {"6"}},
        {"Select Código as x from Ventas Where Control<>null", {"9"}},
        {"Select Código as x from Ventas Where Fecha<datevalue('01/12/2026')", {"9"}},
        {"Select Código as x from Ventas Where Fecha>=datevalue('02/12/2026') order by Código",
         {"7", "8"}},
        // `+` between columns: numbers add, texts join, a null gives null.
        {"Select Desc01 + NúmeroZ as x from Ventas Where Código=5", {"6.5"}},
        {"Select MedioPago + Observación as x from Ventas Where Código in (3, 5) order by Código",
         {"", "Pago móvil"}},
        {"Select 'Caja ' + MedioPago as x from Ventas Where Código in (3, 4) order by Código",
         {"Caja Efectivo", ""}},
        {"Select NúmeroZ + 0012 as x from Ventas Where Código=9", {"24"}},
    };
    for (const auto &c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(texts(sql, QStringLiteral("x")), c.expected) << qPrintable(db->translate(sql));
    }
    db->execute(QStringLiteral("Delete * from [AbonosVenta] Where Venta=7;"));
    EXPECT_EQ(texts(SqlTexts::abonosVenta(7), QStringLiteral("Monto")), QStringList{});
    EXPECT_EQ(texts(SqlTexts::abonosVenta(5), QStringLiteral("Monto")), (QStringList{"1"}));
}

// Two robots configured for one fiscal machine on one database: the second
// cannot take it until the first lets go; another machine, or the same
// machine on another database, is free.
TEST_P(MainDatabaseOn, OneRobotPerFiscalMachine)
{
    using State = db::MachineLock::State;
    QString otherDatabase = dir.file(QStringLiteral("otra.dba"));
    if (GetParam() == Database::Engine::Postgres)
        otherDatabase = PostgresCluster::shared().url(PostgresCluster::shared().createDatabase());
    else
        db::Schema::createDatabase(otherDatabase, {db::Schema::mainSchema()});

    auto first = std::make_unique<db::MachineLock>(location, 1);
    db::MachineLock second(location, 1), otherMachine(location, 2), otherPlace(otherDatabase, 1);
    EXPECT_EQ(first->acquire(), State::Held);
    EXPECT_EQ(second.acquire(), State::HeldByAnother);
    EXPECT_EQ(otherMachine.acquire(), State::Held);
    EXPECT_EQ(otherPlace.acquire(), State::Held);
    EXPECT_TRUE(first->keep());
    EXPECT_FALSE(second.keep());
    first.reset();
    EXPECT_TRUE(second.keep());
}

INSTANTIATE_TEST_SUITE_P(Engines, MainDatabaseOn,
                         ::testing::Values(Database::Engine::Sqlite, Database::Engine::Postgres),
                         [](const auto &info) {
                             return info.param == Database::Engine::Sqlite ? "Sqlite" : "Postgres";
                         });

TEST(PostgresDatabase, WriteBackWaitsForALockOnlyUpToTheBusyTimeout)
{
    PostgresCluster &cluster = PostgresCluster::shared();
    const QString name = cluster.createDatabase();
    db::Schema::createPostgresDatabase(cluster.url(name),
                                       {db::Schema::mainSchema(), QString::fromUtf8(kRows)});
    // The administrative system holds the sale's row in an open transaction.
    QSqlDatabase other =
        QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("other"));
    other.setConnectOptions(
        QStringLiteral("host='%1';user=postgres;dbname=%2").arg(cluster.socketDirectory(), name));
    ASSERT_TRUE(other.open());
    QSqlQuery holder(other);
    ASSERT_TRUE(holder.exec(QStringLiteral("BEGIN")));
    ASSERT_TRUE(holder.exec(QStringLiteral("SELECT 1 FROM \"Ventas\" WHERE \"Código\" = 7 FOR "
                                           "UPDATE")));

    Database::Options options;
    options.busyTimeoutMs = 200;
    auto robot = Database::open(cluster.url(name), options);
    const QString sql = SqlTexts::registroFactura(QStringLiteral("00000150"), QString(), 7);
    try {
        robot->execute(sql);
        ADD_FAILURE() << "wrote through a held lock";
    } catch (const DataError &e) {
        EXPECT_EQ(e.kind(), DataError::Kind::Busy) << qPrintable(e.describe());
    }
    ASSERT_TRUE(holder.exec(QStringLiteral("COMMIT")));
    robot->execute(sql);
    EXPECT_EQ(cluster.scalar(name, QStringLiteral("SELECT \"NúmeroZ\" FROM \"Ventas\" WHERE "
                                                  "\"Código\" = 7")),
              QVariant(1));
    holder = QSqlQuery();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

TEST(PostgresUrl, ReadAsLibpqReadsItAndRefusedWithAReason)
{
    const struct
    {
        const char *url;
        const char *option; // expected in the connect options; null: refused
    } cases[] = {
        {"postgresql://caja@%2Fvar%2Frun%2Fpostgresql:5433/ventas", "host='/var/run/postgresql'"},
        {"postgresql://caja@/ventas?host=/tmp/pg&sslmode=require", "sslmode='require'"},
        {"postgres://caja@h1:5432,h2:5433/ventas", "port='5432,5433'"},
        {"postgresql://caja@db/ventas?options=-c%20lock_timeout%3D9s",
         "options='-c lock_timeout=5000 -c lock_timeout=9s'"},
        {"postgresql://caja:secreto@db/ventas", nullptr},
        {"postgresql://caja@db/ventas?password=secreto", nullptr},
        {"postgresql://caja@db:puerto/ventas", nullptr},
        {"postgresql://caja@db/ventas?desconocida=1", nullptr},
        {"mysql://caja@db/ventas", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        QString why;
        const auto url = db::PostgresUrl::parse(QString::fromUtf8(c.url), &why);
        EXPECT_EQ(url.has_value(), c.option != nullptr) << qPrintable(why);
        if (url) {
            EXPECT_TRUE(
                url->connectOptions({{QStringLiteral("lock_timeout"), QStringLiteral("5000")}})
                    .contains(QString::fromUtf8(c.option)))
                << qPrintable(url->connectOptions());
        } else {
            EXPECT_FALSE(why.isEmpty());
        }
    }
}

} // namespace
