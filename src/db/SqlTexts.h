#pragma once

#include <QDate>
#include <QString>

namespace db {

// Every SQL text the robot issues, in the administrative system's dialect and
// built as its documents build them: numbers joined through TextoNumero (one
// blank before a number that is not negative), texts in single quotes. The
// database layer translates them for the engine.
class SqlTexts
{
public:
    // Pending lists for the register (and fiscal machine) `caja`, lowest Código
    // first, with the displayed column VistaEspecial.
    static QString facturasPendientes(qint32 caja);     // Data5, main database
    static QString notasCreditoPendientes(qint32 caja); // Data6, main database
    static QString ticketsPendientes(qint32 caja);      // Data7, local database

    // Company settings (Data3) and the printer's three tax rates (LeerTasas).
    static QString configuracion();
    static QString configuracion2();

    // Local database: deletes the printed, unflagged tickets dated before `hoy`,
    // the date written in the system's short date form.
    static QString purgaTickets(const QDate &hoy, const QString &shortDateFormat);

    // Invoice job: the sale's header, its visible detail rows in Ordenar order,
    // its payments (DASCOM), and the write-back of the fiscal numbers.
    static QString encabezadoFactura(qint64 venta);
    static QString detalleFactura(qint64 venta);
    static QString abonosVenta(qint64 venta);
    // Stores `factura` in Factura and Control, marks the sale printed and
    // stores the Z counter `numeroZ` plus one, computed by the database
    // ("0012" stores 13; empty stores 1). `numeroZ` must be digits and blanks:
    // anything else throws DataError(Value), so that the answer can never
    // change the statement.
    static QString registroFactura(const QString &factura, const QString &numeroZ, qint64 venta);
    // The same without NúmeroZ, which keeps its value: for an answer that
    // lacked the Z field.
    static QString registroFacturaSinZ(const QString &factura, qint64 venta);

    // Credit-note job: the note's header, its visible detail rows, and the
    // write-back of its fiscal number. Its payments are abonosVenta(Venta).
    static QString encabezadoNotaCredito(qint64 nota);
    static QString detalleNotaCredito(qint64 nota);
    static QString registroNotaCredito(const QString &numero, qint64 nota);
};

} // namespace db
