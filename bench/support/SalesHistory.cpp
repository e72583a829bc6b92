#include "SalesHistory.h"

#include "SqliteConnection.h"
#include "db/Schema.h"

#include <algorithm>
#include <cstdio>

namespace bench {

void SalesHistory::setCustomer(const QString &name, const QByteArray &address,
                               const QByteArray &phone)
{
    m_customerName = name;
    m_customerAddress = address;
    m_customerPhone = phone;
}

void SalesHistory::build(const QString &path) const
{
    db::Schema::createDatabase(path, {db::Schema::mainSchema()});
    const SqliteConnection db(path);
    db.beginBulk();

    sqlite3_stmt *customer = db.prepare("INSERT INTO \"Clientes\" VALUES (?, ?, ?, ?, ?)");
    for (int i = 1; i <= kCustomers; ++i) {
        const QByteArray name = m_customerName.arg(i).toUtf8();
        const QByteArray rif = QStringLiteral("J%1").arg(300000000 + i).toUtf8();
        sqlite3_bind_int(customer, 1, i);
        sqlite3_bind_text(customer, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(customer, 3, rif.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(customer, 4, m_customerAddress.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(customer, 5, m_customerPhone.constData(), -1, SQLITE_TRANSIENT);
        db.step(customer);
    }
    sqlite3_finalize(customer);

    std::vector<QByteArray> codes;
    sqlite3_stmt *product = db.prepare("INSERT INTO \"Productos\" VALUES (?, ?, ?, ?)");
    for (int i = 1; i <= kProducts; ++i) {
        codes.push_back(QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8());
        const QByteArray name = m_productName.arg(i).toUtf8();
        sqlite3_bind_text(product, 1, codes.back().constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(product, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(product, 3, 10.0 + i);
        sqlite3_bind_int(product, 4, i % 7 == 0 ? -1 : 0);
        db.step(product);
    }
    sqlite3_finalize(product);

    insertSales(db, 1, m_sales, kCustomers, codes);
    db.exec("COMMIT;");
}

QString SalesHistory::postgresSql() const
{
    const int every = m_pending > 0 ? std::max(1, m_sales / m_pending) : 0;
    // Foreign keys go unchecked while the rows go in, as in the SQLite file.
    return QStringLiteral(
               "SET session_replication_role = replica;"
               "INSERT INTO \"Clientes\" SELECT i, format('%1', i), 'J' || (300000000 + i), "
               "'%2', '%3' FROM generate_series(1, %4) i;"
               "INSERT INTO \"Productos\" SELECT 'P' || lpad(i::text, 5, '0'), format('%5', i), "
               "10 + i, CASE WHEN i % 7 = 0 THEN -1 ELSE 0 END FROM generate_series(1, %6) i;"
               "INSERT INTO \"Ventas\" (\"Código\", \"Cliente\", \"Fecha\", \"Impresa\", "
               "\"Imprimir\", \"Control\", \"MáquinaFiscal\", \"Factura\", \"NúmeroZ\", "
               "\"PorcentImpuesto\", \"FormaPago\", \"Total\") "
               "SELECT code, 1 + code % %4, '%7', CASE WHEN p THEN 0 ELSE -1 END, "
               "CASE WHEN p THEN -1 ELSE 0 END, CASE WHEN p THEN NULL ELSE lpad(code::text, 8, "
               "'0') END, CASE WHEN p THEN 1 ELSE 1 + code % 3 END, CASE WHEN p THEN NULL ELSE "
               "lpad(code::text, 8, '0') END, 1 + code / 500, 0.16, 1, 100 FROM (SELECT code, "
               "%8 > 0 AND code % greatest(%8, 1) = 0 AND code / greatest(%8, 1) <= %9 AS p "
               "FROM generate_series(1, %10) code) s;"
               "INSERT INTO \"VentasDetalles\" (\"Venta\", \"COD_PROD\", \"Cantidad\", "
               "\"CantidadDecimal\", \"Precio\", \"ExcentoImpuesto\", \"Ordenar\") "
               "SELECT code, 'P' || lpad((1 + (code * 7 + k) % %6)::text, 5, '0'), 1, 1, 20, 0, k "
               "FROM generate_series(1, %10) code, generate_series(1, %11) k;"
               "SET session_replication_role = origin;"
               "ANALYZE;")
        .arg(m_customerName.arg(QStringLiteral("%s")), QString::fromUtf8(m_customerAddress),
             QString::fromUtf8(m_customerPhone))
        .arg(kCustomers)
        .arg(m_productName.arg(QStringLiteral("%s")))
        .arg(kProducts)
        .arg(QString::fromUtf8(m_saleDate))
        .arg(every)
        .arg(m_pending)
        .arg(m_sales)
        .arg(kDetailsPerSale);
}

void SalesHistory::append(const SqliteConnection &db) const
{
    const qint64 customers = db.scalar("SELECT MAX(\"Código\") FROM \"Clientes\"");
    std::vector<QByteArray> products;
    sqlite3_stmt *stmt = db.prepare("SELECT \"COD_PROD\" FROM \"Productos\" WHERE \"Precio\" > 0");
    while (sqlite3_step(stmt) == SQLITE_ROW)
        products.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    const qint64 existing = db.scalar("SELECT COUNT(*) FROM \"Ventas\"");
    const qint64 last = db.scalar("SELECT MAX(\"Código\") FROM \"Ventas\"");
    insertSales(db, last + 1, m_sales - existing, customers, products);
}

void SalesHistory::insertSales(const SqliteConnection &db, qint64 firstCode, qint64 count,
                               qint64 customers, const std::vector<QByteArray> &products) const
{
    sqlite3_stmt *sale = db.prepare(
        "INSERT INTO \"Ventas\" (\"Código\", \"Cliente\", \"Fecha\", \"Impresa\", \"Imprimir\", "
        "\"Control\", \"MáquinaFiscal\", \"Factura\", \"NúmeroZ\", \"PorcentImpuesto\", "
        "\"FormaPago\", \"Total\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0.16, 1, 100)");
    sqlite3_stmt *detail =
        db.prepare("INSERT INTO \"VentasDetalles\" (\"Venta\", \"COD_PROD\", \"Cantidad\", "
                   "\"CantidadDecimal\", \"Precio\", \"ExcentoImpuesto\", \"Ordenar\") "
                   "VALUES (?, ?, 1, 1, 20, 0, ?)");
    const int every = m_pending > 0 ? std::max(1, m_sales / m_pending) : 0;
    for (qint64 code = firstCode; code < firstCode + count; ++code) {
        const bool pending = every > 0 && code % every == 0 && code / every <= m_pending;
        char number[24];
        std::snprintf(number, sizeof number, "%08lld", static_cast<long long>(code));
        sqlite3_bind_int64(sale, 1, code);
        sqlite3_bind_int64(sale, 2, 1 + code % customers);
        sqlite3_bind_text(sale, 3, m_saleDate.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(sale, 4, pending ? 0 : -1);
        sqlite3_bind_int(sale, 5, pending ? -1 : 0);
        if (pending) {
            sqlite3_bind_null(sale, 6);
            sqlite3_bind_null(sale, 8);
        } else {
            sqlite3_bind_text(sale, 6, number, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(sale, 8, number, -1, SQLITE_TRANSIENT);
        }
        // Three registers share the file; the waiting sales are this one's.
        sqlite3_bind_int64(sale, 7, pending ? 1 : 1 + code % 3);
        sqlite3_bind_int64(sale, 9, 1 + code / 500);
        db.step(sale);
        for (int k = 1; k <= kDetailsPerSale; ++k) {
            const QByteArray &product = products[(code * 7 + k) % products.size()];
            sqlite3_bind_int64(detail, 1, code);
            sqlite3_bind_text(detail, 2, product.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(detail, 3, k);
            db.step(detail);
        }
    }
    sqlite3_finalize(sale);
    sqlite3_finalize(detail);
}

} // namespace bench
