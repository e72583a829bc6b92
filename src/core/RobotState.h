#pragma once

#include "core/PrinterType.h"

#include <QString>
#include <QtGlobal>

namespace core {

// The notification-area record, filled once at the first activation.
struct TrayIcon
{
    int id = 0;
    QString tip;
};

// The robot's one state object. Field names are those the documents use;
// everything starts at 0, false or empty.
struct RobotState
{
    // Configuration read at start-up.
    QString RutaPrograma;
    // The main database: the file in the data directory, or the server's URL
    // of [database] Url.
    QString RutaBaseDatos;
    QString DirectorioDatos;
    QString RutaBaseLocal;
    PrinterType TipoImpresora = PrinterType::Unset;
    QString Puerto;
    bool Columnas80 = false;
    QString Serial;
    qint32 Caja = 0;
    bool PrimeraActivacion = false;

    // Company settings and the printer's tax rates, in per cent.
    double TasaMaqFiscal1 = 0.0;
    double TasaMaqFiscal2 = 0.0;
    double TasaMaqFiscal3 = 0.0;
    QString RifCompania;
    qint16 ModoCantidad = 0;
    bool UsarImpresionFacturaInt = false;
    TrayIcon DatosIcono;

    // Polling cycle.
    bool Alterna = false;
    qint32 TicksSinFactura = 0;

    // Job bookkeeping: the Código each job took up last.
    qint64 UltimaFactura = 0;
    qint64 UltimaNotaCredito = 0;
};

} // namespace core
