#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace bench {

class SqliteConnection;

// A main database's sales history: `sales` sales of five detail rows each,
// over three fiscal machines, printed but for those left waiting for machine 1.
// The texts of customers and products are settable because their lengths
// decide what an invoice puts on the line.
class SalesHistory
{
public:
    static constexpr int kCustomers = 2000;
    static constexpr int kProducts = 500;
    static constexpr int kDetailsPerSale = 5;

    explicit SalesHistory(int sales) : m_sales(sales) {}

    // Sales waiting for machine 1, spread over the whole history.
    void setPending(int count) { m_pending = count; }
    void setSaleDate(const QByteArray &date) { m_saleDate = date; }
    // `name` takes the customer's number as %1.
    void setCustomer(const QString &name, const QByteArray &address, const QByteArray &phone);
    // `name` takes the product's number as %1.
    void setProductName(const QString &name) { m_productName = name; }

    // A new file from the shipped schema with kCustomers customers, kProducts
    // products and the sales, in one transaction.
    void build(const QString &path) const;
    // The same history in an empty PostgreSQL main database, made by the
    // server itself: statements for a superuser's session.
    QString postgresSql() const;
    // Sales added after the file's last one, over its customers and priced
    // products, until it holds `sales`; in the caller's transaction.
    void append(const SqliteConnection &db) const;

private:
    void insertSales(const SqliteConnection &db, qint64 firstCode, qint64 count, qint64 customers,
                     const std::vector<QByteArray> &products) const;

    int m_sales;
    int m_pending = 0;
    QByteArray m_saleDate = "2026-01-01 10:00:00";
    QString m_customerName = QStringLiteral("Cliente Número %1, C.A.");
    QByteArray m_customerAddress = "Av. Principal de Los Ruices, Edif. Centro Empresarial, Caracas";
    QByteArray m_customerPhone = "0212-5550000";
    QString m_productName = QStringLiteral("Producto de prueba número %1");
};

} // namespace bench
