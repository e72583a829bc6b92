#include "documents/InvoiceJob.h"

#include "core/Formato.h"
#include "core/PollingTimer.h"
#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/ListSource.h"
#include "db/SqlTexts.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterNumbers.h"
#include "printer/PrinterRules.h"

namespace documents {

using printer::PrinterRules;

using db::RecordSet;
namespace texts = core::texts;

namespace {
constexpr int kAncho = 37;
const core::Rgb kAmarilloPalido{255, 255, 192};

QString trimmed(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString().trimmed();
}

QString asText(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}
} // namespace

InvoiceJob::InvoiceJob(JobContext &ctx) : DocumentJob(ctx, core::DocumentKind::Invoice) {}

InvoiceJob::~InvoiceJob() = default;

bool InvoiceJob::ImprimirFactura()
{
    auto &w = m_ctx.window;
    w.setStatus(core::texts::kIniciandoFactura);
    w.setStage(QString());
    w.setProgress(0);
    m_ctx.Timer1.setEnabled(false);

    if (!tomar())
        return false;

    try {
        w.setStatus(core::texts::kIniciandoComunicacion);
        w.setProgress(16);
        m_etapa = 1;
        abrirPuerto();
        m_etapa = 2;
        if (!bloqueCliente() || !items() || !descuento() || !pago() || !registrar())
            return true;
    } catch (const db::DataError &e) {
        fallaBaseDatos(e, m_cierreEnviado);
        return true;
    }
    w.processEvents();
    if (m_db)
        m_db->close();
    finNormal();
    return true;
}

bool InvoiceJob::leer()
{
    auto &w = m_ctx.window;
    m_db = db::Database::open(m_ctx.state.RutaBaseDatos, m_ctx.settings.shortDateFormat);
    w.setStatus(texts::kTomandoDatos);
    w.setProgress(8);
    m_encabezado = m_db->openRecordset(db::SqlTexts::encabezadoFactura(m_codigo));
    w.processEvents();
    if (m_encabezado.recordCount() == 0) {
        w.setBackgroundColor(kAmarilloPalido);
        m_db->close();
        return false;
    }
    m_detalle = m_db->openRecordset(db::SqlTexts::detalleFactura(m_codigo));
    if (m_ctx.state.TipoImpresora == core::PrinterType::Dascom)
        m_pagos = m_db->openRecordset(db::SqlTexts::abonosVenta(m_codigo));
    return true;
}

QByteArray InvoiceJob::huella() const
{
    return m_encabezado.fingerprint() + m_detalle.fingerprint() + m_pagos.fingerprint();
}

bool InvoiceJob::validar()
{
    auto &st = m_ctx.state;
    auto hold = [this](const QString &column) {
        retener(core::texts::documentoRetenido(m_kind, m_codigo, column));
        return false;
    };
    double porcentImpuesto = 0;
    if (!PrinterRules::number(m_encabezado.field(QStringLiteral("PorcentImpuesto")),
                              &porcentImpuesto))
        return hold(QStringLiteral("PorcentImpuesto"));
    // A null discount is none; a negative one or one the printer refuses is
    // held rather than dropped or sent.
    double v = 0;
    const QVariant desc = m_encabezado.field(QStringLiteral("Desc01"));
    if (!desc.isNull() &&
        (!PrinterRules::number(desc, &v) || v < 0 || (v > 0 && !PrinterRules::validDiscount(v))))
        return hold(QStringLiteral("Desc01"));

    if (m_detalle.recordCount() > 0 && st.ModoCantidad == 0) {
        retener(core::texts::documentoRetenidoModoCantidad(m_kind, m_codigo));
        return false;
    }
    const bool tasaExiste = PrinterRules::ratePosition(porcentImpuesto, st.TasaMaqFiscal1,
                                                       st.TasaMaqFiscal2, st.TasaMaqFiscal3) >= 0;
    const QString columnaCantidad =
        st.ModoCantidad == 1 ? QStringLiteral("Cantidad") : QStringLiteral("CantDec");
    for (m_detalle.moveFirst(); !m_detalle.eof(); m_detalle.moveNext()) {
        if (!PrinterRules::number(m_detalle.field(QStringLiteral("Precio")), &v) || v < 0 ||
            !PrinterRules::fits(v, PrinterRules::kPriceWidth, 2) || PrinterRules::isZero(v, 2))
            return hold(QStringLiteral("Precio"));
        if (!PrinterRules::number(m_detalle.field(columnaCantidad), &v) || v < 0 ||
            !PrinterRules::fits(v, PrinterRules::kQuantityWidth, 3) || PrinterRules::isZero(v, 3))
            return hold(columnaCantidad);
        // A taxed item needs the printer's position of the sale's rate.
        if (!db::RecordSet::isTrue(m_detalle.field(QStringLiteral("ExcentoImpuesto"))) &&
            !tasaExiste)
            return hold(QStringLiteral("PorcentImpuesto"));
        const QVariant nombre = m_detalle.field(QStringLiteral("Nombre"));
        const QVariant espec = m_detalle.field(QStringLiteral("Especificación"));
        const bool nombreEsTexto = nombre.isNull() || nombre.toString() == QLatin1String("?");
        const bool usaEspec =
            nombreEsTexto && !espec.isNull() && espec.toString() != QLatin1String("-");
        if (nombre.isNull() && !usaEspec)
            return hold(QStringLiteral("Nombre"));
    }
    m_detalle.moveFirst();
    return pagosImprimibles(m_pagos);
}

bool InvoiceJob::bloqueCliente()
{
    auto &w = m_ctx.window;
    const auto &st = m_ctx.state;
    const db::RecordSet &h = m_encabezado;

    w.setStatus(core::texts::kEnviandoNombre);
    w.setProgress(24);
    m_etapa = 2.1;
    const QVariant nombre = h.field(QStringLiteral("NombreCliente"));
    const QString nombreLimpio = trimmed(nombre);
    if (!enviar(QStringLiteral("i01") + nombreLimpio.left(kAncho))) {
        fallaEtapa();
        return false;
    }
    m_etapa = 2.2;
    if (db::RecordSet::isFalse(h.field(QStringLiteral("PlantillaAuxiliar"))) &&
        asText(nombre).size() > kAncho) {
        if (!enviar(QStringLiteral("i02") + nombreLimpio.mid(kAncho))) {
            fallaEtapa();
            return false;
        }
    }
    m_etapa = 2.3;
    w.setStatus(core::texts::kEnviandoRif);
    w.setProgress(32);
    const QString i03 = QStringLiteral("i03") + trimmed(h.field(QStringLiteral("Rif")));
    m_etapa = 2.4;
    if (!enviar(i03)) {
        fallaEtapa();
        return false;
    }
    w.processEvents();
    w.setStatus(core::texts::kEnviandoDireccion);
    w.setProgress(40);
    m_etapa = 2.5;

    m_etapa = 2.51;
    const QVariant direccion = h.field(QStringLiteral("Dirección"));
    const QString dir = trimmed(direccion);
    if (!direccion.isNull()) {
        if (!enviar(QStringLiteral("i04") + dir.left(kAncho))) {
            fallaEtapa();
            return false;
        }
    }
    m_etapa = 2.52;
    if (dir.size() > kAncho) {
        // The rest of the address takes line 5; no phone line then.
        if (!enviar(QStringLiteral("i05") + dir.mid(kAncho, kAncho))) {
            fallaEtapa();
            return false;
        }
    } else {
        m_etapa = 2.53;
        const QVariant telefono = h.field(QStringLiteral("Teléfono"));
        if (!telefono.isNull()) {
            if (!enviar(QStringLiteral("i05Telefono: ") + trimmed(telefono).left(kAncho))) {
                fallaEtapa();
                return false;
            }
        }
    }
    m_etapa = 2.54;
    w.processEvents();
    m_etapa = 2.6;
    w.setStatus(core::texts::kEnviandoOtros);
    w.setProgress(48);
    m_etapa = 2.67;

    const bool operador = m_ctx.settings.SerialesOperador.contains(st.Serial);
    const QString i06 = operador ? QStringLiteral("i06Operador: ") +
                                       asText(h.field(QStringLiteral("CampoTextoAdic02")))
                                 : QStringLiteral("i06Forma de Pago: ") +
                                       asText(h.field(QStringLiteral("NombreFormaPago")));
    m_etapa = 2.68;
    enviar(i06); // not tested: a refused line 6 does not stop the invoice
    const QVariant orden = h.field(QStringLiteral("ORD_COMP"));
    if (!orden.isNull() && !m_ctx.settings.SerialOrdenCompra.isEmpty() &&
        st.Serial == m_ctx.settings.SerialOrdenCompra)
        enviar(QStringLiteral("i07Orden de Compra: ") + orden.toString());

    m_etapa = 2.7;
    PrinterRules::number(h.field(QStringLiteral("PorcentImpuesto")), &m_porcentImpuesto);
    m_desc01 = 0.0;
    PrinterRules::number(h.field(QStringLiteral("Desc01")), &m_desc01);
    m_etapa = 2.71;
    w.processEvents();
    m_encabezado.close();
    return true;
}

bool InvoiceJob::items()
{
    auto &w = m_ctx.window;
    const auto &st = m_ctx.state;
    m_etapa = 3;
    w.setStatus(core::texts::kBuscandoDetalle);
    w.setProgress(56);

    double cantidad = 0.0;
    int codigoImpuesto = 0;
    int item = 0;
    if (m_detalle.recordCount() > 0) {
        w.processEvents();
        for (m_detalle.moveFirst(); !m_detalle.eof();) {
            if (st.ModoCantidad == 1)
                PrinterRules::number(m_detalle.field(QStringLiteral("Cantidad")), &cantidad);
            else if (st.ModoCantidad > 1)
                PrinterRules::number(m_detalle.field(QStringLiteral("CantDec")), &cantidad);
            ++item;
            m_etapa = 4;
            if (db::RecordSet::isTrue(m_detalle.field(QStringLiteral("ExcentoImpuesto"))))
                codigoImpuesto = 0;
            else
                codigoImpuesto =
                    PrinterRules::taxCode(m_porcentImpuesto, st.TasaMaqFiscal1, st.TasaMaqFiscal2,
                                          st.TasaMaqFiscal3, codigoImpuesto);
            w.setStatus(core::texts::kEnviandoItem + core::Formato::TextoNumero(qint64(item)) +
                        QStringLiteral("..."));
            w.setProgress(64);
            m_etapa = 4.01;
            double precio = 0.0;
            PrinterRules::number(m_detalle.field(QStringLiteral("Precio")), &precio);
            QString comando = QChar(32 + codigoImpuesto) +
                              core::Formato::FormatoMonto(precio, 10, 2) +
                              core::Formato::FormatoMonto(cantidad, 8, 3);
            m_etapa = 4.02;
            m_etapa = 4.04;
            const QVariant nombre = m_detalle.field(QStringLiteral("Nombre"));
            const QVariant espec = m_detalle.field(QStringLiteral("Especificación"));
            QString texto;
            if (!nombre.isNull() && nombre.toString() != QLatin1String("?")) {
                m_etapa = 4.05;
                texto = nombre.toString();
                if (!espec.isNull())
                    texto += QLatin1Char(' ') + espec.toString();
            } else {
                m_etapa = 4.06;
                texto = (!espec.isNull() && espec.toString() != QLatin1String("-"))
                            ? espec.toString()
                            : asText(nombre);
            }
            comando += core::Formato::LimpioCadena(texto.left(40).trimmed());
            m_etapa = 4.07;
            if (!enviar(comando)) {
                fallaEtapa();
                return false;
            }
            w.processEvents();
            m_detalle.moveNext();
            m_etapa = 4.08;
        }
    }
    m_detalle.close();
    return true;
}

bool InvoiceJob::descuento()
{
    m_etapa = 4.09;
    if (m_desc01 > 0) {
        if (!enviar(QStringLiteral("3")) || !enviar(PrinterRules::discountCommand(m_desc01))) {
            fallaEtapa();
            return false;
        }
    }
    return true;
}

bool InvoiceJob::pago()
{
    auto &w = m_ctx.window;
    w.setStatus(core::texts::kEnviandoFormaPago);
    w.setProgress(72);
    m_etapa = 6;
    if (!antesDelCierre())
        return false;
    m_cierreEnviado = true;
    if (m_ctx.state.TipoImpresora != core::PrinterType::Dascom) {
        enviar(QStringLiteral("101"));
        w.processEvents();
    } else if (m_pagos.recordCount() == 0) {
        enviar(QStringLiteral("101"));
    } else {
        // Payment rows close the invoice once they cover its total, whatever
        // the answer to each row.
        for (m_pagos.moveFirst(); !m_pagos.eof(); m_pagos.moveNext()) {
            double monto = 0.0;
            PrinterRules::number(m_pagos.field(QStringLiteral("Monto")), &monto);
            enviar(PrinterRules::paymentCommand(m_pagos.field(QStringLiteral("TipoMecanismo")),
                                                monto));
        }
        m_pagos.close();
    }
    return true;
}

bool InvoiceJob::registrar()
{
    auto &w = m_ctx.window;
    w.processEvents();
    m_etapa = 7;
    w.setStatus(core::texts::kChequeandoRespuesta);
    w.setProgress(80);
    QString factura, z;
    switch (despuesDelCierre(&factura, &z)) {
    case Cierre::Desconocido:
        cierreDesconocido();
        return false;
    case Cierre::NoCerrado:
        m_etapa = 6;
        noCerrado();
        return false;
    case Cierre::Cerrado:
        break;
    }
    journalCerrado(factura, z);
    m_etapa = 8;
    cerrarPuerto();
    w.processEvents();
    w.setStatus(core::texts::kRegistrandoRespuesta);
    w.setProgress(88);
    m_db->execute(z.isEmpty() ? db::SqlTexts::registroFacturaSinZ(factura, m_codigo)
                              : db::SqlTexts::registroFactura(factura, z, m_codigo));
    journalRegistrado();
    if (z.isEmpty())
        w.setLog(core::texts::impresoSinNumeros(m_kind, m_codigo));
    evento(core::DocumentEvent::Kind::Printed, factura, z);
    return true;
}

void InvoiceJob::finNormal()
{
    auto &w = m_ctx.window;
    w.processEvents();
    w.setStatus(core::texts::kFinalizandoFactura);
    w.setProgress(96);
    m_ctx.Timer1.setEnabled(true);
    w.setProgress(100);
}

} // namespace documents
