#include "db/SqlTexts.h"

#include "core/Formato.h"
#include "db/DataError.h"
#include "db/SqlQuote.h"

namespace db {

namespace {

QString numero(qint64 n)
{
    return core::Formato::TextoNumero(n);
}

} // namespace

QString SqlTexts::facturasPendientes(qint32 caja)
{
    return QStringLiteral("Select Código, Vista1 + ' ' + RIF as VistaEspecial from [Consulta "
                          "VentasAct] Where Anulada<>true and Impresa<>True and Imprimir=true "
                          "and Control=null and Local<>True and MáquinaFiscal=") +
           numero(caja) + QStringLiteral(" order by Código;");
}

QString SqlTexts::notasCreditoPendientes(qint32 caja)
{
    return QStringLiteral("Select Código, Vista4 + ' de ' + NombreCLiente + ' ' + RIF as "
                          "VistaEspecial, Venta from [Consulta NotaCréditoVenta] Where "
                          "Anulada<>true and Imprimir=true and Control=null and Impresa<>true "
                          "and MáquinaFiscal=") +
           numero(caja) + QStringLiteral(" order by Código;");
}

QString SqlTexts::ticketsPendientes(qint32 caja)
{
    return QStringLiteral("Select Código, 'Precuenta: ' + [Otro2] as VistaEspecial from "
                          "[Consulta TiketNoFiscal] Where Imprimir=true and Impresa<>true and "
                          "Caja=") +
           numero(caja) + QStringLiteral(" order by Código;");
}

QString SqlTexts::configuracion()
{
    return QStringLiteral("Select * from [Configuración];");
}

QString SqlTexts::configuracion2()
{
    return QStringLiteral("Select * from Configuración2");
}

QString SqlTexts::purgaTickets(const QDate &hoy, const QString &shortDateFormat)
{
    return QStringLiteral("Delete * from [TiketNoFiscal] Where Impresa=-1 and Imprimir=0 and "
                          "Fecha<datevalue('") +
           hoy.toString(shortDateFormat) + QStringLiteral("');");
}

QString SqlTexts::encabezadoFactura(qint64 venta)
{
    return QStringLiteral("Select Código, NombreCliente, Rif, PorcentImpuesto, Dirección, "
                          "Teléfono, NombreFormaPago, PlantillaAuxiliar, ORD_COMP, NotaEntrega, "
                          "MedioPago, CampoTextoAdic01, CampoTextoAdic02, CampoTextoAdic03, "
                          "FormaPago, PorcentImpuesto, Observación, Descuento01, Descuento02, "
                          "Descuento03, Desc01, Desc02, Desc03 from [Consulta VentasAct] Where "
                          "Código=") +
           numero(venta);
}

QString SqlTexts::detalleFactura(qint64 venta)
{
    return QStringLiteral("Select Venta, Cantidad, CantidadDecimal as CantDec, Precio, "
                          "Especificación, COD_PROD, Nombre, ExcentoImpuesto from [Consulta "
                          "VentasDetallesAct] Where Venta=") +
           numero(venta) + QStringLiteral(" and NoMostrarEnFactura=false order by Ordenar;");
}

QString SqlTexts::abonosVenta(qint64 venta)
{
    return QStringLiteral("Select * from AbonosVenta Where Venta=") + numero(venta) +
           QLatin1Char(';');
}

QString SqlTexts::registroFactura(const QString &factura, const QString &numeroZ, qint64 venta)
{
    for (QChar c : numeroZ) {
        if (!c.isDigit() && c != QLatin1Char(' '))
            throw DataError(DataError::Kind::Value,
                            QStringLiteral("El contador Z de la respuesta no es un número."),
                            numeroZ);
    }
    return QStringLiteral("Update [Consulta Ventas Edición] Set Factura=") +
           SqlQuote::text(factura) + QStringLiteral(", Control=") + SqlQuote::text(factura) +
           QStringLiteral(", Impresa=-1, Imprimir=0, NúmeroZ=") + numeroZ +
           QStringLiteral("+1 Where Código=") + numero(venta);
}

QString SqlTexts::registroFacturaSinZ(const QString &factura, qint64 venta)
{
    return QStringLiteral("Update [Consulta Ventas Edición] Set Factura=") +
           SqlQuote::text(factura) + QStringLiteral(", Control=") + SqlQuote::text(factura) +
           QStringLiteral(", Impresa=-1, Imprimir=0 Where Código=") + numero(venta);
}

QString SqlTexts::encabezadoNotaCredito(qint64 nota)
{
    return QStringLiteral("Select * from [Consulta NotaCréditoVenta] Where Código=") + numero(nota);
}

QString SqlTexts::detalleNotaCredito(qint64 nota)
{
    return QStringLiteral(
               "Select * from [Consulta NotaCréditoVenta Detalles] Where NotaCredVent=") +
           numero(nota) + QStringLiteral(" and NoMostrarEnFactura=false");
}

QString SqlTexts::registroNotaCredito(const QString &numeroNota, qint64 nota)
{
    return QStringLiteral("Update [NotaCréditoVenta] Set Número=") + SqlQuote::text(numeroNota) +
           QStringLiteral(", Control=") + SqlQuote::text(numeroNota) +
           QStringLiteral(", Impresa=-1, Imprimir=0 Where Código=") + numero(nota) +
           QLatin1Char(';');
}

} // namespace db
