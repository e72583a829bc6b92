#include "db/SqlTexts.h"

#include "core/Formatting.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/SqlQuote.h"

namespace db {

namespace {

QString numberText(qint64 n)
{
    return core::Formatting::TextoNumero(n);
}

// What keeps a document in its pending list, for the list and for the job's
// header alike.
QString invoicePending(qint32 machine)
{
    return QStringLiteral("Anulada<>true and Impresa<>True and Imprimir=true and Control=null "
                          "and Local<>True and MáquinaFiscal=") +
           numberText(machine);
}

QString creditNotePending(qint32 machine)
{
    return QStringLiteral("Anulada<>true and Imprimir=true and Control=null and Impresa<>true "
                          "and MáquinaFiscal=") +
           numberText(machine);
}

} // namespace

QString SqlTexts::pendingInvoices(qint32 machine)
{
    return QStringLiteral("Select Código, Vista1 + ' ' + RIF as VistaEspecial from [Consulta "
                          "VentasAct] Where ") +
           invoicePending(machine) + QStringLiteral(" order by Código;");
}

QString SqlTexts::pendingCreditNotes(qint32 machine)
{
    return QStringLiteral("Select Código, Vista4 + ' de ' + NombreCLiente + ' ' + RIF as "
                          "VistaEspecial, Venta from [Consulta NotaCréditoVenta] Where ") +
           creditNotePending(machine) + QStringLiteral(" order by Código;");
}

QString SqlTexts::pendingTickets(qint32 machine)
{
    return QStringLiteral("Select Código, 'Precuenta: ' + [Otro2] as VistaEspecial from "
                          "[Consulta TiketNoFiscal] Where Imprimir=true and Impresa<>true and "
                          "Caja=") +
           numberText(machine) + QStringLiteral(" order by Código;");
}

QString SqlTexts::companySettings()
{
    return QStringLiteral("Select * from [Configuración];");
}

QString SqlTexts::taxRates()
{
    return QStringLiteral("Select * from Configuración2");
}

QString SqlTexts::purgeTickets(const QDate &today, const QString &shortDateFormat)
{
    return QStringLiteral("Delete * from [TiketNoFiscal] Where Impresa=-1 and Imprimir=0 and "
                          "Fecha<datevalue('") +
           today.toString(shortDateFormat) + QStringLiteral("');");
}

QString SqlTexts::invoiceHeader(qint64 sale)
{
    return QStringLiteral("Select Código, NombreCliente, Rif, PorcentImpuesto, Dirección, "
                          "Teléfono, NombreFormaPago, PlantillaAuxiliar, ORD_COMP, NotaEntrega, "
                          "MedioPago, CampoTextoAdic01, CampoTextoAdic02, CampoTextoAdic03, "
                          "FormaPago, PorcentImpuesto, Observación, Descuento01, Descuento02, "
                          "Descuento03, Desc01, Desc02, Desc03 from [Consulta VentasAct] Where "
                          "Código=") +
           numberText(sale);
}

QString SqlTexts::invoiceHeader(qint64 sale, qint32 machine)
{
    return invoiceHeader(sale) + QStringLiteral(" and ") + invoicePending(machine);
}

QString SqlTexts::invoiceItems(qint64 sale)
{
    return QStringLiteral("Select Venta, Cantidad, CantidadDecimal as CantDec, Precio, "
                          "Especificación, COD_PROD, Nombre, ExcentoImpuesto from [Consulta "
                          "VentasDetallesAct] Where Venta=") +
           numberText(sale) + QStringLiteral(" and NoMostrarEnFactura=false order by Ordenar;");
}

QString SqlTexts::salePayments(qint64 sale)
{
    return QStringLiteral("Select * from AbonosVenta Where Venta=") + numberText(sale) +
           QLatin1Char(';');
}

QString SqlTexts::recordInvoice(const QString &invoice, const QString &zNumber, qint64 sale)
{
    for (QChar c : zNumber) {
        if (!c.isDigit() && c != QLatin1Char(' '))
            throw DataError(DataError::Kind::Value, core::texts::kZCounterNotANumber, zNumber);
    }
    return QStringLiteral("Update [Consulta Ventas Edición] Set Factura=") +
           SqlQuote::text(invoice) + QStringLiteral(", Control=") + SqlQuote::text(invoice) +
           QStringLiteral(", Impresa=-1, Imprimir=0, NúmeroZ=") + zNumber +
           QStringLiteral("+1 Where Código=") + numberText(sale);
}

QString SqlTexts::recordInvoiceWithoutZ(const QString &invoice, qint64 sale)
{
    return QStringLiteral("Update [Consulta Ventas Edición] Set Factura=") +
           SqlQuote::text(invoice) + QStringLiteral(", Control=") + SqlQuote::text(invoice) +
           QStringLiteral(", Impresa=-1, Imprimir=0 Where Código=") + numberText(sale);
}

QString SqlTexts::creditNoteHeader(qint64 note, qint32 machine)
{
    return QStringLiteral("Select * from [Consulta NotaCréditoVenta] Where Código=") +
           numberText(note) + QStringLiteral(" and ") + creditNotePending(machine);
}

QString SqlTexts::creditNoteItems(qint64 note)
{
    return QStringLiteral(
               "Select * from [Consulta NotaCréditoVenta Detalles] Where NotaCredVent=") +
           numberText(note) + QStringLiteral(" and NoMostrarEnFactura=false");
}

QString SqlTexts::recordCreditNote(const QString &number, qint64 note)
{
    return QStringLiteral("Update [NotaCréditoVenta] Set Número=") + SqlQuote::text(number) +
           QStringLiteral(", Control=") + SqlQuote::text(number) +
           QStringLiteral(", Impresa=-1, Imprimir=0 Where Código=") + numberText(note) +
           QLatin1Char(';');
}

QString SqlTexts::stillPendingInvoice(qint64 sale, qint32 machine)
{
    return QStringLiteral("Select Código from [Consulta VentasAct] Where Código=") +
           numberText(sale) + QStringLiteral(" and ") + invoicePending(machine);
}

QString SqlTexts::stillPendingCreditNote(qint64 note, qint32 machine)
{
    return QStringLiteral("Select Código from [Consulta NotaCréditoVenta] Where Código=") +
           numberText(note) + QStringLiteral(" and ") + creditNotePending(machine);
}

QString SqlTexts::lastInvoiceNumber(qint32 machine)
{
    return QStringLiteral("Select Max(Factura) as Ultimo from [Consulta VentasAct] Where "
                          "MáquinaFiscal=") +
           numberText(machine);
}

QString SqlTexts::lastCreditNoteNumber(qint32 machine)
{
    return QStringLiteral("Select Max(Número) as Ultimo from [NotaCréditoVenta] Where "
                          "MáquinaFiscal=") +
           numberText(machine);
}

} // namespace db
