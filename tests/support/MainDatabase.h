#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <optional>

namespace testsupport {

// A main database made from the shipped schema, with helpers that insert
// believable rows. Written through its own connection, as the
// administrative system would.
class MainDatabase
{
public:
    explicit MainDatabase(const QString &path);
    // A database made from another shipped schema (local-schema.sql), without rows.
    MainDatabase(const QString &path, const QString &schemaFile);
    ~MainDatabase();

    const QString &path() const { return m_path; }

    // Runs one statement; fails the test on error.
    void exec(const QString &sql, const QVariantList &values = {});
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
        Customer customer;
        QVariant porcentImpuesto = 0.16;
        QVariant desc01 = 0;
        QVariant plantillaAuxiliar = 0;
        QVariant formaPago = QStringLiteral("Contado");
        QVariant campoTextoAdic02 = QStringLiteral("Operador 1");
        QVariant ordComp;
        int maquinaFiscal = 1;
        QString fecha = QStringLiteral("2026-12-01");
        QVariant factura; // for sales already printed
    };
    // A pending sale (flagged for printing, not printed); returns its Código.
    qint64 addSale(const Sale &sale, std::optional<qint64> codigo = std::nullopt);
    struct Item
    {
        QVariant nombre = QStringLiteral("HARINA");
        QVariant precio = 10.0;
        QVariant cantidad = 1.0;
        QVariant cantidadDecimal = 1.0;
        QVariant especificacion;
        QVariant excento = 0;
        int noMostrar = 0;
    };
    void addItem(qint64 venta, const Item &item);
    void addPayment(qint64 venta, QVariant tipoMecanismo, QVariant monto);

    struct Note
    {
        qint64 venta = 0;
        QVariant desc01 = 0;
        QVariant porcentImpuesto = 0.16;
        QVariant monto = 0;
        QVariant montoExcento = 0;
        int maquinaFiscal = 1;
    };
    // A pending credit note on sale `venta`; returns its Código.
    qint64 addCreditNote(const Note &note, std::optional<qint64> codigo = std::nullopt);
    void addCreditNoteLine(qint64 nota, const Item &item);

    // The sale's or note's row, column by name.
    QVariant sale(qint64 codigo, const QString &column);
    QVariant creditNote(qint64 codigo, const QString &column);

private:
    QString m_path;
    QString m_connection;
    int m_products = 0;
};

} // namespace testsupport
