#pragma once

#include "support/QtPrinters.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace testsupport {

// Believable rows in the administrative system's main database, written
// through a QtSql connection of their own, as that system would. Plain SQL
// that every engine the robot supports takes.
class MainRows
{
public:
    MainRows(const QString &driver, const QString &databaseName);
    ~MainRows();

    // Runs one statement; an error fails the test.
    void exec(const QString &sql, const QVariantList &values = {});
    // The first column of the first row; invalid when there is none.
    QVariant value(const QString &sql, const QVariantList &values = {});

    void setCompany(const QString &rif, QVariant verCantidad = -1, QVariant verDecimal = 0);
    void setRates(QVariant t1, QVariant t2, QVariant t3);

    struct Customer
    {
        QVariant nombre = QStringLiteral("Cliente de Prueba");
        QVariant rif = QStringLiteral("J123456789");
        QVariant direccion = QStringLiteral("Av. Principal");
        QVariant telefono = QStringLiteral("0212-5551234");
    };
    struct Sale
    {
        Customer customer = {};
        QVariant porcentImpuesto = 0.16;
        QVariant desc01 = 0;
        QVariant plantillaAuxiliar = 0;
        QVariant formaPago = QStringLiteral("Contado");
        QVariant campoTextoAdic02 = QStringLiteral("Operador 1");
        QVariant ordComp = {};
        int maquinaFiscal = 1;
        QString fecha = QStringLiteral("2026-12-01");
        QVariant factura = {}; // set for a sale printed before
    };
    struct Item
    {
        QVariant nombre = QStringLiteral("HARINA");
        QVariant precio = 10.0;
        QVariant cantidad = 1.0;
        QVariant cantidadDecimal = 1.0;
        QVariant especificacion = {};
        QVariant excento = 0;
        int noMostrar = 0;
    };
    struct Note
    {
        qint64 venta = 0;
        QVariant desc01 = 0;
        QVariant porcentImpuesto = 0.16;
        QVariant monto = 0;
        QVariant montoExcento = 0;
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
    QString product(const Item &item);
    qint64 next(const QString &table, int floor);

    QString m_connection = {};
    int m_products = 0;
};

} // namespace testsupport
