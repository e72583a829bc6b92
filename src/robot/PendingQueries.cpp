#include "robot/PendingQueries.h"

#include "documents/Formato.h"

namespace robot {

using documents::Formato;

QString PendingQueries::facturas(qint32 caja)
{
    return QStringLiteral("Select Código, Vista1 + ' ' + RIF as VistaEspecial from [Consulta "
                          "VentasAct] Where Anulada<>true and Impresa<>True and Imprimir=true "
                          "and Control=null and Local<>True and MáquinaFiscal=")
           + Formato::TextoNumero(qint64(caja)) + QStringLiteral(" order by Código;");
}

QString PendingQueries::notasCredito(qint32 caja)
{
    return QStringLiteral("Select Código, Vista4 + ' de ' + NombreCLiente + ' ' + RIF as "
                          "VistaEspecial, Venta from [Consulta NotaCréditoVenta] Where "
                          "Anulada<>true and Imprimir=true and Control=null and Impresa<>true "
                          "and MáquinaFiscal=")
           + Formato::TextoNumero(qint64(caja)) + QStringLiteral(" order by Código;");
}

QString PendingQueries::tickets(qint32 caja)
{
    return QStringLiteral("Select Código, 'Precuenta: ' + [Otro2] as VistaEspecial from "
                          "[Consulta TiketNoFiscal] Where Imprimir=true and Impresa<>true and "
                          "Caja=")
           + Formato::TextoNumero(qint64(caja)) + QStringLiteral(" order by Código;");
}

QString PendingQueries::configuracion()
{
    return QStringLiteral("Select * from [Configuración];");
}

} // namespace robot
