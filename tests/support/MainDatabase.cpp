#include "support/MainDatabase.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <gtest/gtest.h>

namespace testsupport {

namespace {
QString readSchema(const QString &name)
{
    QFile f(QStringLiteral(ROBOT_SOURCE_DIR "/sql/") + name);
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "schema not found: " << name.toStdString();
    return QString::fromUtf8(f.readAll());
}
} // namespace

MainDatabase::MainDatabase(const QString &path)
    : MainDatabase(path, QStringLiteral("main-schema.sql"))
{
    exec(QStringLiteral("INSERT INTO FormasPago VALUES (1, 'Contado')"));
    setCompany(QStringLiteral("J000000001"));
    setRates(16.0, 8.0, 31.0);
}

MainDatabase::MainDatabase(const QString &path, const QString &schemaFile)
    : m_path(path), m_connection(QUuid::createUuid().toString())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    if (!db.open())
        ADD_FAILURE() << db.lastError().text().toStdString();
    // The schema file holds several statements; SQLite's driver runs one per exec.
    const QString schema = readSchema(schemaFile);
    // One transaction: one sync to disk instead of one per statement.
    exec(QStringLiteral("BEGIN"));
    QString statement;
    for (const QString &line : schema.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        statement += line + QLatin1Char('\n');
        const QString t = statement.trimmed();
        const bool inTrigger = t.contains(QLatin1String("CREATE TRIGGER"), Qt::CaseInsensitive);
        if (t.endsWith(QLatin1Char(';')) && (!inTrigger || t.endsWith(QLatin1String("END;")))) {
            exec(t);
            statement.clear();
        }
    }
    exec(QStringLiteral("COMMIT"));
}

MainDatabase::~MainDatabase()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

void MainDatabase::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    if (!q.prepare(sql))
        ADD_FAILURE() << q.lastError().text().toStdString() << " in " << sql.toStdString();
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        ADD_FAILURE() << q.lastError().text().toStdString() << " in " << sql.toStdString();
}

QVariant MainDatabase::value(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(sql);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec() || !q.next())
        return QVariant();
    return q.value(0);
}

void MainDatabase::setCompany(const QString &rif, QVariant verCantidad, QVariant verDecimal)
{
    exec(QStringLiteral("DELETE FROM \"Configuración\""));
    exec(QStringLiteral("INSERT INTO \"Configuración\" (\"Código\", \"NombreCompañía\", "
                        "\"RIFCompañía\", \"VerCantidad\", \"VerCantidadDecimal\", "
                        "\"UsarImpresiónFacturaInt\") VALUES (1, 'Comercial Prueba', ?, ?, ?, 0)"),
         {rif, verCantidad, verDecimal});
}

void MainDatabase::setRates(QVariant t1, QVariant t2, QVariant t3)
{
    exec(QStringLiteral("DELETE FROM \"Configuración2\""));
    exec(QStringLiteral("INSERT INTO \"Configuración2\" VALUES (1, ?, ?, ?)"), {t1, t2, t3});
}

qint64 MainDatabase::addSale(const Sale &s, std::optional<qint64> codigo)
{
    const qint64 cliente =
        value(QStringLiteral("SELECT IFNULL(MAX(\"Código\"), 0) + 1 FROM Clientes")).toLongLong();
    exec(QStringLiteral("INSERT INTO Clientes VALUES (?, ?, ?, ?, ?)"),
         {cliente, s.customer.nombre, s.customer.rif, s.customer.direccion, s.customer.telefono});
    qint64 formaPago = 0;
    if (!s.formaPago.isNull()) {
        formaPago = value(QStringLiteral("SELECT IFNULL(MAX(\"Código\"), 0) + 1 FROM FormasPago"))
                        .toLongLong();
        exec(QStringLiteral("INSERT INTO FormasPago VALUES (?, ?)"), {formaPago, s.formaPago});
    }
    const qint64 code =
        codigo ? *codigo
               : value(QStringLiteral("SELECT IFNULL(MAX(\"Código\"), 100) + 1 FROM Ventas"))
                     .toLongLong();
    const bool printed = !s.factura.isNull();
    exec(QStringLiteral(
             "INSERT INTO Ventas (\"Código\", Cliente, Fecha, Anulada, Impresa, Imprimir, "
             "Control, Local, \"MáquinaFiscal\", Factura, PorcentImpuesto, Desc01, "
             "FormaPago, ORD_COMP, PlantillaAuxiliar, CampoTextoAdic02) "
             "VALUES (?, ?, ?, 0, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {code, cliente, s.fecha, printed ? -1 : 0, printed ? 0 : -1,
          printed ? s.factura : QVariant(), s.maquinaFiscal, s.factura, s.porcentImpuesto, s.desc01,
          formaPago ? QVariant(formaPago) : QVariant(), s.ordComp, s.plantillaAuxiliar,
          s.campoTextoAdic02});
    return code;
}

void MainDatabase::addItem(qint64 venta, const Item &item)
{
    const QString product = QStringLiteral("P%1").arg(++m_products, 4, 10, QLatin1Char('0'));
    exec(QStringLiteral("INSERT INTO Productos VALUES (?, ?, ?, 0)"),
         {product, item.nombre, item.precio});
    exec(QStringLiteral("INSERT INTO VentasDetalles (Venta, COD_PROD, Cantidad, CantidadDecimal, "
                        "Precio, \"Especificación\", ExcentoImpuesto, NoMostrarEnFactura, Ordenar) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {venta, product, item.cantidad, item.cantidadDecimal, item.precio, item.especificacion,
          item.excento, item.noMostrar ? -1 : 0, m_products});
}

void MainDatabase::addPayment(qint64 venta, QVariant tipoMecanismo, QVariant monto)
{
    exec(QStringLiteral("INSERT INTO AbonosVenta (Venta, TipoMecanismo, Monto) VALUES (?, ?, ?)"),
         {venta, tipoMecanismo, monto});
}

qint64 MainDatabase::addCreditNote(const Note &n, std::optional<qint64> codigo)
{
    const qint64 code =
        codigo ? *codigo
               : value(QStringLiteral(
                           "SELECT IFNULL(MAX(\"Código\"), 500) + 1 FROM \"NotaCréditoVenta\""))
                     .toLongLong();
    exec(QStringLiteral("INSERT INTO \"NotaCréditoVenta\" (\"Código\", Venta, Fecha, Impresa, "
                        "Imprimir, Anulada, \"MáquinaFiscal\", Desc01, PorcentImpuesto, Monto, "
                        "MontoExcento) VALUES (?, ?, '2026-12-05', 0, -1, 0, ?, ?, ?, ?, ?)"),
         {code, n.venta, n.maquinaFiscal, n.desc01, n.porcentImpuesto, n.monto, n.montoExcento});
    return code;
}

void MainDatabase::addCreditNoteLine(qint64 nota, const Item &item)
{
    const QString product = QStringLiteral("P%1").arg(++m_products, 4, 10, QLatin1Char('0'));
    exec(QStringLiteral("INSERT INTO Productos VALUES (?, ?, ?, 0)"),
         {product, item.nombre, item.precio});
    exec(QStringLiteral("INSERT INTO \"NotaCréditoVentaDetalles\" (NotaCredVent, COD_PROD, "
                        "Cantidad, CantidadDecimal, Precio, ExcentoImpuesto, NoMostrarEnFactura, "
                        "Ordenar) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
         {nota, product, item.cantidad, item.cantidadDecimal, item.precio, item.excento,
          item.noMostrar ? -1 : 0, m_products});
}

QVariant MainDatabase::sale(qint64 codigo, const QString &column)
{
    return value(QStringLiteral("SELECT \"%1\" FROM Ventas WHERE \"Código\" = ?").arg(column),
                 {codigo});
}

QVariant MainDatabase::creditNote(qint64 codigo, const QString &column)
{
    return value(
        QStringLiteral("SELECT \"%1\" FROM \"NotaCréditoVenta\" WHERE \"Código\" = ?").arg(column),
        {codigo});
}

} // namespace testsupport
