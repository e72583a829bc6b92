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

void MainRows::setCompany(const QString &rif, QVariant showQuantity, QVariant showDecimal)
{
    exec(QStringLiteral("DELETE FROM \"Configuración\""));
    exec(QStringLiteral("INSERT INTO \"Configuración\" (\"Código\", \"NombreCompañía\", "
                        "\"RIFCompañía\", \"VerCantidad\", \"VerCantidadDecimal\", "
                        "\"UsarImpresiónFacturaInt\") VALUES (1, 'Comercial Prueba', ?, ?, ?, 0)"),
         {rif, showQuantity, showDecimal});
}

void MainRows::setRates(QVariant t1, QVariant t2, QVariant t3)
{
    exec(QStringLiteral("DELETE FROM \"Configuración2\""));
    exec(QStringLiteral("INSERT INTO \"Configuración2\" VALUES (1, ?, ?, ?)"), {t1, t2, t3});
}

qint64 MainRows::addSale(const Sale &s, std::optional<qint64> code)
{
    const Customer &c = s.customer;
    const qint64 customer = next(QStringLiteral("Clientes"), 0);
    exec(QStringLiteral("INSERT INTO \"Clientes\" VALUES (?, ?, ?, ?, ?)"),
         {customer, c.name, c.rif, c.address, c.phone});
    QVariant form;
    if (!s.paymentForm.isNull()) {
        form = next(QStringLiteral("FormasPago"), 0);
        exec(QStringLiteral("INSERT INTO \"FormasPago\" VALUES (?, ?)"), {form, s.paymentForm});
    }
    const qint64 sale = code.value_or(next(QStringLiteral("Ventas"), 100));
    const bool printed = !s.invoiceNumber.isNull();
    exec(
        QStringLiteral("INSERT INTO \"Ventas\" (\"Código\", \"Cliente\", \"Fecha\", \"Anulada\", "
                       "\"Impresa\", \"Imprimir\", \"Control\", \"Local\", \"MáquinaFiscal\", "
                       "\"Factura\", \"PorcentImpuesto\", \"Desc01\", \"FormaPago\", \"ORD_COMP\", "
                       "\"PlantillaAuxiliar\", \"CampoTextoAdic02\") "
                       "VALUES (?, ?, ?, 0, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {sale, customer, s.date, printed ? -1 : 0, printed ? 0 : -1, s.invoiceNumber,
         s.fiscalMachine, s.invoiceNumber, s.taxRate, s.discount, form, s.purchaseOrder,
         s.auxiliaryTemplate, s.operatorName});
    return sale;
}

void MainRows::addLine(const QString &table, const QString &parent, qint64 code, const Item &item)
{
    // Counted in the database: installations that share it never take the same code.
    m_products = value(QStringLiteral("SELECT count(*) + 1 FROM \"Productos\"")).toInt();
    const QString product = QStringLiteral("P%1").arg(m_products, 4, 10, QLatin1Char('0'));
    exec(QStringLiteral("INSERT INTO \"Productos\" VALUES (?, ?, ?, 0)"),
         {product, item.name, item.price});
    exec(QStringLiteral("INSERT INTO \"%1\" (\"%2\", \"COD_PROD\", \"Cantidad\", "
                        "\"CantidadDecimal\", \"Precio\", \"ExcentoImpuesto\", "
                        "\"NoMostrarEnFactura\", \"Ordenar\") VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
             .arg(table, parent),
         {code, product, item.quantity, item.decimalQuantity, item.price, item.exempt,
          item.hidden ? -1 : 0, m_products});
}

void MainRows::addItem(qint64 sale, const Item &item)
{
    addLine(QStringLiteral("VentasDetalles"), QStringLiteral("Venta"), sale, item);
    exec(QStringLiteral(
             "UPDATE \"VentasDetalles\" SET \"Especificación\" = ? WHERE \"Ordenar\" = ?"),
         {item.description, m_products});
}

void MainRows::addPayment(qint64 sale, QVariant means, QVariant amount)
{
    exec(QStringLiteral("INSERT INTO \"AbonosVenta\" (\"Venta\", \"TipoMecanismo\", \"Monto\") "
                        "VALUES (?, ?, ?)"),
         {sale, means, amount});
}

qint64 MainRows::addCreditNote(const Note &n, std::optional<qint64> code)
{
    const qint64 note = code.value_or(next(QStringLiteral("NotaCréditoVenta"), 500));
    exec(QStringLiteral("INSERT INTO \"NotaCréditoVenta\" (\"Código\", \"Venta\", \"Fecha\", "
                        "\"Impresa\", \"Imprimir\", \"Anulada\", \"MáquinaFiscal\", \"Desc01\", "
                        "\"PorcentImpuesto\", \"Monto\", \"MontoExcento\") "
                        "VALUES (?, ?, '2026-12-05', 0, -1, 0, ?, ?, ?, ?, ?)"),
         {note, n.sale, n.fiscalMachine, n.discount, n.taxRate, n.amount, n.exemptAmount});
    return note;
}

void MainRows::addCreditNoteLine(qint64 note, const Item &item)
{
    addLine(QStringLiteral("NotaCréditoVentaDetalles"), QStringLiteral("NotaCredVent"), note, item);
}

QVariant MainRows::document(core::DocumentKind kind, qint64 code, const QString &column)
{
    return value(
        QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"Código\" = ?")
            .arg(column, kind == core::DocumentKind::Invoice ? "Ventas" : "NotaCréditoVenta"),
        {code});
}

} // namespace testsupport
