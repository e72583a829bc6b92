#include "documents/CreditNoteJob.h"

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

#include <QDateTime>

namespace documents {

using printer::PrinterRules;

using db::RecordSet;
namespace texts = core::texts;

const QString CreditNoteJob::kDescripcionSinDetalle = QStringLiteral("Descuento a factura");
const QString CreditNoteJob::kCierre = QStringLiteral("f09000000000000");

namespace {
constexpr int kAncho = 37;

QString trimmed(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString().trimmed();
}

// A number column written in plain decimal, a text column as stored.
QString plain(const QVariant &v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        return QString::number(d, 'f', d == static_cast<qint64>(d) ? 0 : -1);
    }
    return v.toString();
}
} // namespace

CreditNoteJob::CreditNoteJob(JobContext &ctx) : DocumentJob(ctx, core::DocumentKind::CreditNote) {}

CreditNoteJob::~CreditNoteJob() = default;

void CreditNoteJob::etapa(double e)
{
    m_etapa = e;
    m_ctx.link.MostrarEtapa(e);
}

bool CreditNoteJob::enviarProbado(const QString &comando)
{
    if (enviar(comando))
        return true;
    fallaEtapa();
    return false;
}

void CreditNoteJob::anotarEnLog(const QString &comando)
{
    m_ctx.window.setLog(m_ctx.window.log() + QStringLiteral(" ! ") +
                        core::Formato::TextoImprimible(comando));
}

QString CreditNoteJob::textoFecha(const QVariant &fecha) const
{
    if (fecha.isNull())
        return QString();
    QDateTime dt = fecha.toDateTime();
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(fecha.toString().left(10), Qt::ISODate), QTime(0, 0));
    if (!dt.isValid())
        return fecha.toString();
    QString text = dt.date().toString(m_ctx.settings.shortDateFormat);
    if (dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + dt.time().toString(QStringLiteral("HH:mm:ss"));
    return text;
}

bool CreditNoteJob::ImprimirNotaCredito()
{
    m_ctx.window.setStage(QString());
    m_ctx.Timer1.setEnabled(false);

    if (!tomar())
        return false;

    try {
        etapa(1);
        abrirPuerto();
        etapa(2);
        m_etapa = 2.01;
        const bool header =
            core::formaDascom(m_ctx.state.TipoImpresora) ? encabezadoDascom() : encabezadoHka();
        if (!header)
            return true;
        etapa(3);
        if (!PrinterRules::number(m_encabezado.field(QStringLiteral("Desc01")), &m_desc01))
            m_desc01 = 0.0;
        PrinterRules::number(m_encabezado.field(QStringLiteral("PorcentImpuesto")),
                             &m_porcentImpuesto);
        PrinterRules::number(m_encabezado.field(QStringLiteral("Monto")), &m_monto);
        PrinterRules::number(m_encabezado.field(QStringLiteral("MontoExcento")), &m_montoExcento);
        m_encabezado.close();
        const bool lines = m_detalle.recordCount() > 0 ? lineasDetalle() : lineasSinDetalle();
        if (!lines || !descuentoYPagos() || !cierreYRegistro())
            return true;
    } catch (const db::DataError &e) {
        fallaBaseDatos(e, m_cierreEnviado);
        return true;
    }
    m_db->close();
    finNormal();
    return true;
}

bool CreditNoteJob::leer()
{
    m_venta = m_ctx.Data6.recordset().field(QStringLiteral("Venta")).toLongLong();
    etapa(0);
    m_db = db::Database::open(m_ctx.state.RutaBaseDatos, m_ctx.settings.shortDateFormat);
    m_encabezado = m_db->openRecordset(db::SqlTexts::encabezadoNotaCredito(m_codigo));
    if (m_encabezado.recordCount() == 0) {
        m_db->close();
        return false;
    }
    m_detalle = m_db->openRecordset(db::SqlTexts::detalleNotaCredito(m_codigo));
    if (core::formaDascom(m_ctx.state.TipoImpresora))
        m_pagos = m_db->openRecordset(db::SqlTexts::abonosVenta(m_venta));
    return true;
}

QByteArray CreditNoteJob::huella() const
{
    return m_encabezado.fingerprint() + m_detalle.fingerprint() + m_pagos.fingerprint();
}

bool CreditNoteJob::validar()
{
    const auto &st = m_ctx.state;
    auto hold = [this](const QString &column) {
        retener(core::texts::documentoRetenido(m_kind, m_codigo, column));
        return false;
    };
    const db::RecordSet &h = m_encabezado;
    // Every column the commands carry is read now: a missing one stops the job
    // before its first command.
    for (const char *column : {"NombreCliente", "Rif", "Dirección", "FechaVenta"})
        h.field(QString::fromUtf8(column));
    // A credit note must name the invoice it corrects.
    if (trimmed(h.field(QStringLiteral("Factura"))).isEmpty())
        return hold(QStringLiteral("Factura"));
    double v = 0;
    const QVariant desc = h.field(QStringLiteral("Desc01"));
    if (!desc.isNull() && !PrinterRules::number(desc, &v))
        return hold(QStringLiteral("Desc01"));
    // Only the DASCOM form sends the discount.
    if (core::formaDascom(st.TipoImpresora) && !desc.isNull() &&
        (v < 0 || (v > 0 && !PrinterRules::validDiscount(v))))
        return hold(QStringLiteral("Desc01"));
    // Without a rate, detail lines would go out as exempt ones.
    double porcentImpuesto = 0;
    if (!PrinterRules::number(h.field(QStringLiteral("PorcentImpuesto")), &porcentImpuesto))
        return hold(QStringLiteral("PorcentImpuesto"));
    const bool tasaExiste = PrinterRules::ratePosition(porcentImpuesto, st.TasaMaqFiscal1,
                                                       st.TasaMaqFiscal2, st.TasaMaqFiscal3) >= 0;
    const auto precio = [](double x) {
        return PrinterRules::fits(x, PrinterRules::kPriceWidth, 2) && !PrinterRules::isZero(x, 2);
    };
    if (m_detalle.recordCount() > 0) {
        if (st.ModoCantidad == 0) {
            retener(core::texts::documentoRetenidoModoCantidad(m_kind, m_codigo));
            return false;
        }
        const QString columnaCantidad =
            st.ModoCantidad == 1 ? QStringLiteral("Cantidad") : QStringLiteral("CantDec");
        for (m_detalle.moveFirst(); !m_detalle.eof(); m_detalle.moveNext()) {
            if (!PrinterRules::number(m_detalle.field(QStringLiteral("Precio")), &v) || v < 0 ||
                !precio(v))
                return hold(QStringLiteral("Precio"));
            if (!PrinterRules::number(m_detalle.field(columnaCantidad), &v) || v < 0 ||
                !PrinterRules::fits(v, PrinterRules::kQuantityWidth, 3) ||
                PrinterRules::isZero(v, 3))
                return hold(columnaCantidad);
            if (m_detalle.field(QStringLiteral("Nombre")).isNull())
                return hold(QStringLiteral("Nombre"));
            if (!db::RecordSet::isTrue(m_detalle.field(QStringLiteral("ExcentoImpuesto"))) &&
                !tasaExiste)
                return hold(QStringLiteral("PorcentImpuesto"));
        }
        m_detalle.moveFirst();
    } else {
        double monto = 0, excento = 0;
        for (const auto &[column, value] :
             {std::pair{"Monto", &monto}, {"MontoExcento", &excento}}) {
            if (!PrinterRules::number(h.field(QLatin1String(column)), value) || *value < 0)
                return hold(QLatin1String(column));
        }
        if (porcentImpuesto < 0)
            return hold(QStringLiteral("PorcentImpuesto"));
        // The lines a note without detail rows is printed as: the taxed and the
        // exempt amount, or their sum at no rate; at least one, each of some value.
        if (porcentImpuesto > 0) {
            if (monto > 0 && (!precio(monto) || !tasaExiste))
                return hold(precio(monto) ? QStringLiteral("PorcentImpuesto")
                                          : QStringLiteral("Monto"));
            if (excento > 0 && !precio(excento))
                return hold(QStringLiteral("MontoExcento"));
            if (!(monto > 0) && !(excento > 0))
                return hold(QStringLiteral("Monto"));
        } else if (!precio(monto + excento)) {
            return hold(QStringLiteral("Monto"));
        }
    }
    return pagosImprimibles(m_pagos);
}

bool CreditNoteJob::encabezadoHka()
{
    const db::RecordSet &h = m_encabezado;
    m_etapa = 2.01;
    if (!enviarProbado(QStringLiteral("i01") +
                       trimmed(h.field(QStringLiteral("NombreCliente"))).left(kAncho)))
        return false;
    m_etapa = 2.02;
    if (!enviarProbado(QStringLiteral("i02") + trimmed(h.field(QStringLiteral("Rif")))))
        return false;
    m_etapa = 2.03;
    const QVariant direccion = h.field(QStringLiteral("Dirección"));
    const QString dir = trimmed(direccion);
    if (!direccion.isNull() && !enviarProbado(QStringLiteral("i03") + dir.left(kAncho)))
        return false;
    m_etapa = 2.04;
    // The affected invoice is always named: a credit note must say what it corrects.
    const QString afectada = QStringLiteral("Factura afectada: ") +
                             plain(h.field(QStringLiteral("Factura"))) + QStringLiteral("  ") +
                             textoFecha(h.field(QStringLiteral("FechaVenta")));
    if (dir.size() > kAncho) {
        if (!enviarProbado(QStringLiteral("i04") + dir.mid(kAncho, kAncho)))
            return false;
        return enviarProbado(QStringLiteral("i05") + afectada);
    }
    return enviarProbado(QStringLiteral("i04") + afectada);
}

bool CreditNoteJob::encabezadoDascom()
{
    const db::RecordSet &h = m_encabezado;
    const QString fecha = textoFecha(h.field(QStringLiteral("FechaVenta")));
    const struct
    {
        double stage;
        QString command;
    } lines[] = {
        {2.01,
         QStringLiteral("iS*") + trimmed(h.field(QStringLiteral("NombreCliente"))).left(kAncho)},
        {2.02, QStringLiteral("iR*") + trimmed(h.field(QStringLiteral("Rif")))},
        {2.03, QStringLiteral("iF*") + trimmed(h.field(QStringLiteral("Factura")))},
        {2.04, QStringLiteral("iI*") + m_ctx.state.Serial},
        {2.05, QStringLiteral("iD*") + fecha},
    };
    for (const auto &line : lines) {
        etapa(line.stage);
        if (!enviarProbado(line.command))
            return false;
        anotarEnLog(line.command);
    }
    return true;
}

bool CreditNoteJob::lineasDetalle()
{
    const auto &st = m_ctx.state;
    double cantidad = 0.0;
    for (m_detalle.moveFirst(); !m_detalle.eof();) {
        if (st.ModoCantidad == 1)
            PrinterRules::number(m_detalle.field(QStringLiteral("Cantidad")), &cantidad);
        else if (st.ModoCantidad > 1)
            PrinterRules::number(m_detalle.field(QStringLiteral("CantDec")), &cantidad);
        etapa(4);
        const int codigo = db::RecordSet::isTrue(m_detalle.field(QStringLiteral("ExcentoImpuesto")))
                               ? 0
                               : PrinterRules::taxCode(m_porcentImpuesto, st.TasaMaqFiscal1,
                                                       st.TasaMaqFiscal2, st.TasaMaqFiscal3, 0);
        etapa(4.01);
        const QString digito = QString::number(codigo);
        etapa(4.02);
        QString comando = QStringLiteral("d") + digito;
        etapa(4.03);
        double precio = 0.0;
        PrinterRules::number(m_detalle.field(QStringLiteral("Precio")), &precio);
        comando += core::Formato::Cifras(precio, 10, 2);
        etapa(4.04);
        comando += core::Formato::Cifras(cantidad, 8, 3);
        etapa(4.05);
        comando += core::Formato::LimpioCadena(
            m_detalle.field(QStringLiteral("Nombre")).toString().left(40).trimmed());
        etapa(4.06);
        anotarEnLog(comando);
        if (!enviarProbado(comando))
            return false;
        m_detalle.moveNext();
        etapa(4.07);
    }
    etapa(4.08);
    return true;
}

bool CreditNoteJob::lineasSinDetalle()
{
    const auto &st = m_ctx.state;
    const QString cantidad = core::Formato::Cifras(1, 8, 3);
    const QString descripcion =
        core::Formato::LimpioCadena(kDescripcionSinDetalle.left(40).trimmed());
    if (m_porcentImpuesto > 0) {
        etapa(4.09);
        if (m_monto > 0) {
            etapa(4.1);
            const int codigo = PrinterRules::taxCode(m_porcentImpuesto, st.TasaMaqFiscal1,
                                                     st.TasaMaqFiscal2, st.TasaMaqFiscal3, 0);
            etapa(4.11);
            QString comando = QStringLiteral("d") + QString::number(codigo);
            etapa(4.12);
            comando += core::Formato::Cifras(m_monto, 10, 2);
            etapa(4.13);
            comando += cantidad;
            etapa(4.14);
            comando += descripcion;
            etapa(4.15);
            const bool taken = enviar(comando);
            etapa(4.16);
            if (!taken) {
                fallaEtapa();
                return false;
            }
        }
        if (m_montoExcento > 0) {
            etapa(4.17);
            etapa(4.18);
            QString comando = QStringLiteral("d0") + core::Formato::Cifras(m_montoExcento, 10, 2);
            etapa(4.19);
            comando += cantidad;
            etapa(4.2);
            comando += descripcion;
            etapa(4.21);
            const bool taken = enviar(comando);
            etapa(4.22);
            if (!taken) {
                fallaEtapa();
                return false;
            }
        }
        return true;
    }
    etapa(4.23);
    etapa(4.24);
    QString comando = QStringLiteral("d0");
    etapa(4.25);
    comando += core::Formato::Cifras(m_monto + m_montoExcento, 10, 2);
    etapa(4.26);
    comando += cantidad;
    etapa(4.27);
    comando += descripcion;
    etapa(4.28);
    const bool taken = enviar(comando);
    etapa(4.29);
    if (!taken) {
        fallaEtapa();
        return false;
    }
    return true;
}

bool CreditNoteJob::descuentoYPagos()
{
    m_detalle.close();
    if (!core::formaDascom(m_ctx.state.TipoImpresora))
        return true;
    // The discount lines keep the stage reached before them.
    if (m_desc01 > 0) {
        if (!enviarProbado(QStringLiteral("3")))
            return false;
        if (!enviarProbado(PrinterRules::discountCommand(m_desc01)))
            return false;
    }
    m_etapa = 6;
    for (m_pagos.moveFirst(); !m_pagos.eof(); m_pagos.moveNext()) {
        double monto = 0.0;
        PrinterRules::number(m_pagos.field(QStringLiteral("Monto")), &monto);
        enviar(PrinterRules::paymentCommand(m_pagos.field(QStringLiteral("TipoMecanismo")), monto));
    }
    m_pagos.close();
    return true;
}

bool CreditNoteJob::cierreYRegistro()
{
    m_ctx.window.processEvents();
    etapa(6);
    if (!antesDelCierre())
        return false;
    enviar(kCierre);
    m_cierreEnviado = true;
    etapa(7);
    QString numero, ninguno;
    switch (despuesDelCierre(&numero, &ninguno)) {
    case Cierre::Desconocido:
        cierreDesconocido();
        return false;
    case Cierre::NoCerrado:
        noCerrado();
        return false;
    case Cierre::Cerrado:
        break;
    }
    journalCerrado(numero, QString());
    etapa(8);
    cerrarPuerto();
    m_db->execute(db::SqlTexts::registroNotaCredito(numero, m_codigo));
    journalRegistrado();
    evento(core::DocumentEvent::Kind::Printed, numero);
    return true;
}

void CreditNoteJob::finNormal()
{
    m_ctx.Timer1.setEnabled(true);
}

} // namespace documents
