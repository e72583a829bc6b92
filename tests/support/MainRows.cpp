#include "support/MainRows.h"

#include "db/Database.h"
#include "db/PostgresUrl.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <gtest/gtest.h>

namespace testsupport {

MainRows::MainRows(const QString &location)
    : m_connection(QUuid::createUuid().toString()),
      m_server(db::Database::engineOf(location) == db::Database::Engine::Postgres)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(m_server ? "QPSQL" : "QSQLITE", m_connection);
    if (m_server)
        db.setConnectOptions(db::PostgresUrl::parse(location)->connectOptions());
    else
        db.setDatabaseName(location);
    if (!db.open())
        ADD_FAILURE() << db.lastError().text().toStdString();
}

MainRows::~MainRows()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QVariantList MainRows::column(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    bool ok = values.isEmpty() ? q.exec(sql) : q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!ok || (!values.isEmpty() && !q.exec()))
        ADD_FAILURE() << q.lastError().text().toStdString() << " in " << sql.toStdString();
    QVariantList out;
    while (q.isSelect() && q.next())
        out << q.value(0);
    return out;
}

void MainRows::refuseUpdates(const QString &table, bool refuse)
{
    if (!refuse) {
        exec(QStringLiteral("DROP TRIGGER rechazo") +
             (m_server ? QStringLiteral(" ON \"%1\"").arg(table) : QString()));
    } else if (m_server) {
        exec(QStringLiteral("CREATE OR REPLACE FUNCTION rechazo() RETURNS trigger LANGUAGE "
                            "plpgsql AS $$BEGIN RAISE EXCEPTION 'rechazado'; END$$"));
        exec(QStringLiteral("CREATE TRIGGER rechazo BEFORE UPDATE ON \"%1\" FOR EACH ROW "
                            "EXECUTE FUNCTION rechazo()")
                 .arg(table));
    } else {
        exec(QStringLiteral("CREATE TRIGGER rechazo BEFORE UPDATE ON \"%1\" BEGIN "
                            "SELECT RAISE(ABORT, 'rechazado'); END")
                 .arg(table));
    }
}

qint64 MainRows::next(const QString &table, int floor)
{
    const QString sql = QStringLiteral("SELECT COALESCE(MAX(\"Código\"), %1) + 1 FROM \"%2\"");
    return value(sql.arg(floor).arg(table)).toLongLong();
}

void MainRows::setCompany(const QString &rif, QVariant verCantidad, QVariant verDecimal)
{
    exec(QStringLiteral("DELETE FROM \"Configuración\""));
    exec(QStringLiteral("INSERT INTO \"Configuración\" (\"Código\", \"NombreCompañía\", "
                        "\"RIFCompañía\", \"VerCantidad\", \"VerCantidadDecimal\", "
                        "\"UsarImpresiónFacturaInt\") VALUES (1, 'Comercial Prueba', ?, ?, ?, 0)"),
         {rif, verCantidad, verDecimal});
}

void MainRows::setRates(QVariant t1, QVariant t2, QVariant t3)
{
    exec(QStringLiteral("DELETE FROM \"Configuración2\""));
    exec(QStringLiteral("INSERT INTO \"Configuración2\" VALUES (1, ?, ?, ?)"), {t1, t2, t3});
}

qint64 MainRows::addSale(const Sale &s, std::optional<qint64> codigo)
{
    const Customer &c = s.customer;
    const qint64 cliente = next(QStringLiteral("Clientes"), 0);
    exec(QStringLiteral("INSERT INTO \"Clientes\" VALUES (?, ?, ?, ?, ?)"),
         {cliente, c.nombre, c.rif, c.direccion, c.telefono});
    QVariant forma;
    if (!s.formaPago.isNull()) {
        forma = next(QStringLiteral("FormasPago"), 0);
        exec(QStringLiteral("INSERT INTO \"FormasPago\" VALUES (?, ?)"), {forma, s.formaPago});
    }
    const qint64 code = codigo.value_or(next(QStringLiteral("Ventas"), 100));
    const bool printed = !s.factura.isNull();
    exec(
        QStringLiteral("INSERT INTO \"Ventas\" (\"Código\", \"Cliente\", \"Fecha\", \"Anulada\", "
                       "\"Impresa\", \"Imprimir\", \"Control\", \"Local\", \"MáquinaFiscal\", "
                       "\"Factura\", \"PorcentImpuesto\", \"Desc01\", \"FormaPago\", \"ORD_COMP\", "
                       "\"PlantillaAuxiliar\", \"CampoTextoAdic02\") "
                       "VALUES (?, ?, ?, 0, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {code, cliente, s.fecha, printed ? -1 : 0, printed ? 0 : -1, s.factura, s.maquinaFiscal,
         s.factura, s.porcentImpuesto, s.desc01, forma, s.ordComp, s.plantillaAuxiliar,
         s.campoTextoAdic02});
    return code;
}

void MainRows::addLine(const QString &table, const QString &parent, qint64 code, const Item &item)
{
    // Counted in the database: installations that share it never take the same code.
    m_products = value(QStringLiteral("SELECT count(*) + 1 FROM \"Productos\"")).toInt();
    const QString product = QStringLiteral("P%1").arg(m_products, 4, 10, QLatin1Char('0'));
    exec(QStringLiteral("INSERT INTO \"Productos\" VALUES (?, ?, ?, 0)"),
         {product, item.nombre, item.precio});
    exec(QStringLiteral("INSERT INTO \"%1\" (\"%2\", \"COD_PROD\", \"Cantidad\", "
                        "\"CantidadDecimal\", \"Precio\", \"ExcentoImpuesto\", "
                        "\"NoMostrarEnFactura\", \"Ordenar\") VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
             .arg(table, parent),
         {code, product, item.cantidad, item.cantidadDecimal, item.precio, item.excento,
          item.noMostrar ? -1 : 0, m_products});
}

void MainRows::addItem(qint64 venta, const Item &item)
{
    addLine(QStringLiteral("VentasDetalles"), QStringLiteral("Venta"), venta, item);
    exec(QStringLiteral(
             "UPDATE \"VentasDetalles\" SET \"Especificación\" = ? WHERE \"Ordenar\" = ?"),
         {item.especificacion, m_products});
}

void MainRows::addPayment(qint64 venta, QVariant tipoMecanismo, QVariant monto)
{
    exec(QStringLiteral("INSERT INTO \"AbonosVenta\" (\"Venta\", \"TipoMecanismo\", \"Monto\") "
                        "VALUES (?, ?, ?)"),
         {venta, tipoMecanismo, monto});
}

qint64 MainRows::addCreditNote(const Note &n, std::optional<qint64> codigo)
{
    const qint64 code = codigo.value_or(next(QStringLiteral("NotaCréditoVenta"), 500));
    exec(QStringLiteral("INSERT INTO \"NotaCréditoVenta\" (\"Código\", \"Venta\", \"Fecha\", "
                        "\"Impresa\", \"Imprimir\", \"Anulada\", \"MáquinaFiscal\", \"Desc01\", "
                        "\"PorcentImpuesto\", \"Monto\", \"MontoExcento\") "
                        "VALUES (?, ?, '2026-12-05', 0, -1, 0, ?, ?, ?, ?, ?)"),
         {code, n.venta, n.maquinaFiscal, n.desc01, n.porcentImpuesto, n.monto, n.montoExcento});
    return code;
}

void MainRows::addCreditNoteLine(qint64 nota, const Item &item)
{
    addLine(QStringLiteral("NotaCréditoVentaDetalles"), QStringLiteral("NotaCredVent"), nota, item);
}

QVariant MainRows::sale(qint64 codigo, const QString &column)
{
    return value(QStringLiteral("SELECT \"%1\" FROM \"Ventas\" WHERE \"Código\" = ?").arg(column),
                 {codigo});
}

QVariant MainRows::creditNote(qint64 codigo, const QString &column)
{
    return value(
        QStringLiteral("SELECT \"%1\" FROM \"NotaCréditoVenta\" WHERE \"Código\" = ?").arg(column),
        {codigo});
}

} // namespace testsupport
