#pragma once

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
    // Every update of `table` fails with "rechazado" (a trigger), as a
    // database that refuses the write-back; until called with false.
    void refuseUpdates(const QString &table, bool refuse = true);

    void setCompany(const QString &rif, QVariant verCantidad = -1, QVariant verDecimal = 0);
    void setRates(QVariant t1, QVariant t2, QVariant t3);

    struct Customer
    {
        QVariant nombre = "Cliente de Prueba", rif = "J123456789";
        QVariant direccion = "Av. Principal", telefono = "0212-5551234";
    };
    struct Sale
    {
        Customer customer = {};
        QVariant porcentImpuesto = 0.16, desc01 = 0, plantillaAuxiliar = 0;
        QVariant formaPago = "Contado", campoTextoAdic02 = "Operador 1", ordComp = {};
        int maquinaFiscal = 1;
        QString fecha = QStringLiteral("2026-12-01");
        QVariant factura = {}; // set for a sale printed before
    };
    struct Item
    {
        QVariant nombre = "HARINA", precio = 10.0, cantidad = 1.0, cantidadDecimal = 1.0;
        QVariant especificacion = {}, excento = 0;
        int noMostrar = 0;
    };
    struct Note
    {
        qint64 venta = 0;
        QVariant desc01 = 0, porcentImpuesto = 0.16, monto = 0, montoExcento = 0;
        int maquinaFiscal = 1;
    };

    // A sale flagged for printing (or printed, with `factura`); its Código.
    qint64 addSale(const Sale &sale, std::optional<qint64> codigo = std::nullopt);
    void addItem(qint64 venta, const Item &item);
    void addPayment(qint64 venta, QVariant tipoMecanismo, QVariant monto);
    // A credit note flagged for printing on sale `note.venta`; its Código.
    qint64 addCreditNote(const Note &note, std::optional<qint64> codigo = std::nullopt);
    void addCreditNoteLine(qint64 nota, const Item &item);

    QVariant sale(qint64 codigo, const QString &column);
    QVariant creditNote(qint64 codigo, const QString &column);

private:
    qint64 next(const QString &table, int floor);
    void addLine(const QString &table, const QString &parent, qint64 code, const Item &item);

    QString m_connection;
    bool m_server;
    int m_products = 0;
};

} // namespace testsupport
