#pragma once

#include "core/DocumentKind.h"
#include "support/QtPrinters.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace testsupport {

// Believable rows in the administrative system's main database, written
// through a QtSql connection of their own, as that system would, in SQL that
// every engine the robot supports takes (quoted names, one statement a call).
class MainRows
{
public:
    // A SQLite file's path or a PostgreSQL URL.
    explicit MainRows(const QString &location);
    ~MainRows();

    // The first column of every row; an SQL error fails the test.
    QVariantList column(const QString &sql, const QVariantList &values = {});
    QVariant value(const QString &sql, const QVariantList &values = {})
    {
        return column(sql, values).value(0);
    }
    void exec(const QString &sql, const QVariantList &values = {}) { column(sql, values); }
    // On SQLite the write lock at once, or a read turned write could meet
    // another program's writing and fail without waiting.
    void begin() { exec(m_server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")); }
    // Every update of `table` fails with "rechazado" (a trigger), as a
    // database that refuses the write-back; until called with false.
    void refuseUpdates(const QString &table, bool refuse = true);

    void setCompany(const QString &rif, QVariant showQuantity = -1, QVariant showDecimal = 0);
    void setRates(QVariant t1, QVariant t2, QVariant t3);

    struct Customer
    {
        QVariant name = "Cliente de Prueba", rif = "J123456789";
        QVariant address = "Av. Principal", phone = "0212-5551234";
    };
    struct Sale
    {
        Customer customer = {};
        QVariant taxRate = 0.16, discount = 0, auxiliaryTemplate = 0;
        QVariant paymentForm = "Contado", operatorName = "Operador 1", purchaseOrder = {};
        int fiscalMachine = 1;
        QString date = QStringLiteral("2026-12-01");
        QVariant invoiceNumber = {}; // set for a sale printed before
    };
    struct Item
    {
        QVariant name = "HARINA", price = 10.0, quantity = 1.0, decimalQuantity = 1.0;
        QVariant description = {}, exempt = 0;
        int hidden = 0;
    };
    struct Note
    {
        qint64 sale = 0;
        QVariant discount = 0, taxRate = 0.16, amount = 0, exemptAmount = 0;
        int fiscalMachine = 1;
    };

    // A sale flagged for printing (or printed, with `invoiceNumber`); its Código.
    qint64 addSale(const Sale &sale, std::optional<qint64> code = std::nullopt);
    void addItem(qint64 sale, const Item &item);
    void addPayment(qint64 sale, QVariant means, QVariant amount);
    // A credit note flagged for printing on sale `note.sale`; its Código.
    qint64 addCreditNote(const Note &note, std::optional<qint64> code = std::nullopt);
    void addCreditNoteLine(qint64 note, const Item &item);

    QVariant sale(qint64 code, const QString &column)
    {
        return document(core::DocumentKind::Invoice, code, column);
    }
    QVariant document(core::DocumentKind kind, qint64 code, const QString &column);

private:
    qint64 next(const QString &table, int floor);
    void addLine(const QString &table, const QString &parent, qint64 code, const Item &item);

    QString m_connection;
    bool m_server;
    int m_products = 0;
};

} // namespace testsupport
