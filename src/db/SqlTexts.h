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
    // Pending lists for the register (and fiscal machine) `machine`, lowest
    // Código first, with the displayed column VistaEspecial.
    static QString pendingInvoices(qint32 machine);    // Data5, main database
    static QString pendingCreditNotes(qint32 machine); // Data6, main database
    static QString pendingTickets(qint32 machine);     // Data7, local database

    // Company settings (Data3) and the printer's three tax rates (LeerTasas).
    static QString companySettings();
    static QString taxRates();

    // Local database: deletes the printed, unflagged tickets dated before
    // `today`, the date written in the system's short date form.
    static QString purgeTickets(const QDate &today, const QString &shortDateFormat);

    // Invoice job: the sale's header, its visible detail rows in Ordenar order,
    // its payments (DASCOM), and the write-back of the fiscal numbers.
    static QString invoiceHeader(qint64 sale);
    // The header only while the sale is pending for `machine`, as
    // pendingInvoices() lists it: no row once it was printed, unflagged or
    // annulled since the list was read.
    static QString invoiceHeader(qint64 sale, qint32 machine);
    static QString invoiceItems(qint64 sale);
    static QString salePayments(qint64 sale);
    // Stores `invoice` in Factura and Control, marks the sale printed and
    // stores the Z counter `zNumber` plus one, computed by the database
    // ("0012" stores 13; empty stores 1). `zNumber` must be digits and blanks:
    // anything else throws DataError(Value), so that the answer can never
    // change the statement.
    static QString recordInvoice(const QString &invoice, const QString &zNumber, qint64 sale);
    // The same without NúmeroZ, which keeps its value: for an answer that
    // lacked the Z field.
    static QString recordInvoiceWithoutZ(const QString &invoice, qint64 sale);

    // Credit-note job: the note's header while it is pending for `machine`
    // (as pendingCreditNotes() lists it), its visible detail rows, and the
    // write-back of its fiscal number. Its payments are salePayments(Venta).
    static QString creditNoteHeader(qint64 note, qint32 machine);
    static QString creditNoteItems(qint64 note);
    static QString recordCreditNote(const QString &number, qint64 note);

    // The document if it is still to be printed, as the pending lists select
    // it (Código): for a robot that claimed it after reading its list.
    static QString stillPendingInvoice(qint64 sale, qint32 machine);
    static QString stillPendingCreditNote(qint64 note, qint32 machine);

    // The highest invoice and credit-note number recorded for the fiscal
    // machine, as Ultimo (null when none is): the numbers are eight digits,
    // so the highest text is the highest number.
    static QString lastInvoiceNumber(qint32 machine);
    static QString lastCreditNoteNumber(qint32 machine);
};

} // namespace db
