#include "documents/DocumentJob.h"

#include "core/PollingTimer.h"
#include "core/RobotState.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/ListSource.h"
#include "db/PrintJournal.h"
#include "documents/HeldDocuments.h"
#include "documents/Recovery.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterNumbers.h"
#include "printer/PrinterRules.h"

namespace documents {

using printer::PrinterNumbers;
using printer::PrinterRules;

namespace texts = core::texts;

DocumentJob::DocumentJob(JobContext &ctx, core::DocumentKind kind) : m_ctx(ctx), m_kind(kind) {}

DocumentJob::~DocumentJob()
{
    m_ctx.inProgress.reset();
}

bool DocumentJob::tomar()
{
    const bool nota = m_kind == core::DocumentKind::CreditNote;
    db::ListSource &lista = nota ? m_ctx.Data6 : m_ctx.Data5;
    db::RecordSet &filas = lista.recordset();
    QList<qint64> pendientes;
    for (filas.moveFirst(); !filas.eof(); filas.moveNext())
        pendientes << filas.field(QStringLiteral("Código")).toLongLong();
    if (m_ctx.held)
        m_ctx.held->keepOnly(m_kind, pendientes);

    filas.moveFirst();
    for (const qint64 codigo : pendientes) {
        m_codigo = codigo;
        try {
            const bool leido = leer();
            if (leido) {
                m_huella = huella();
                // Held, and neither its rows nor the pause have changed: the
                // documents behind it go first.
                if (m_ctx.held && m_ctx.held->waiting(m_kind, codigo, m_huella)) {
                    m_db->close();
                } else if (!validar() || !journalTomado()) {
                    m_db->close();
                } else {
                    // A document held before stays listed until it is printed
                    // or fails again: the same failure is not told twice.
                    (nota ? m_ctx.state.UltimaNotaCredito : m_ctx.state.UltimaFactura) = codigo;
                    m_ctx.inProgress = JobContext::InProgress{m_kind, codigo, &m_etapa};
                    evento(core::DocumentEvent::Kind::Started);
                    return true;
                }
            }
        } catch (const db::DataError &e) {
            // Nothing was sent. A database away or busy is tried again on the
            // next tick; a document whose rows cannot be read waits like one
            // held, and the ones behind it go on.
            if (e.kind() == db::DataError::Kind::Open || e.kind() == db::DataError::Kind::Busy) {
                fallaBaseDatos(e, false);
                m_ctx.Timer1.setEnabled(true);
                return false;
            }
            const QString text = texts::errorBaseDatos(e.describe());
            m_huella.clear();
            hold(text, m_ctx.link.reporteEtapa(m_etapa, true) + QLatin1Char('\r') + text, true);
            m_ctx.window.setLog(text);
            evento(core::DocumentEvent::Kind::Failed);
        }
        filas.moveNext();
    }
    finNormal();
    return false;
}

bool DocumentJob::enviar(const QString &comando)
{
    m_ctx.link.EnviarComando(comando);
    return m_ctx.link.ResultadoComando;
}

bool DocumentJob::abrirPuerto()
{
    m_puertoFallido = !m_ctx.link.AbrirPuerto();
    m_puertoAbierto = true;
    return !m_puertoFallido;
}

void DocumentJob::cerrarPuerto()
{
    m_ctx.link.CerrarPuerto();
    m_puertoAbierto = false;
}

void DocumentJob::hold(const QString &motivo, const QString &mensaje, bool esFallo)
{
    // The same document held again, for the same reason and with the same
    // rows, is not told again.
    const bool nuevo = !m_ctx.held || m_ctx.held->hold(m_kind, m_codigo, motivo, m_huella);
    if (nuevo)
        m_ctx.window.messageBox(mensaje);
    if (!esFallo && nuevo) {
        m_ctx.window.setLog(mensaje);
        m_ctx.publish({.kind = core::DocumentEvent::Kind::Held,
                       .document = m_kind,
                       .code = m_codigo,
                       .reason = motivo});
    }
}

void DocumentJob::fallaEtapa()
{
    cerrarPuerto();
    const bool nota = m_kind == core::DocumentKind::CreditNote;
    const QString largo = m_ctx.link.reporteEtapa(m_etapa, true);
    const QString enCaja = nota ? largo : m_ctx.link.reporteEtapa(m_etapa, false);
    if (m_puertoFallido)
        m_ctx.window.messageBox(enCaja);
    else
        hold(texts::falloEnEtapa(m_etapa), enCaja, true);
    m_ctx.window.setLog(largo);
    journalFallido();
    evento(core::DocumentEvent::Kind::Failed);
}

void DocumentJob::fallaBaseDatos(const db::DataError &error, bool impreso)
{
    if (m_puertoAbierto)
        cerrarPuerto();
    QString text = m_ctx.link.reporteEtapa(m_etapa, true) + QLatin1Char('\r') +
                   texts::errorBaseDatos(error.describe());
    if (impreso)
        text += QLatin1Char('\r') + texts::impresoNoRegistrado(m_kind);
    m_ctx.window.messageBox(text);
    m_ctx.window.setLog(text);
    // Printed and not recorded stays open in the journal: recovery records it.
    if (!impreso)
        journalFallido();
    evento(core::DocumentEvent::Kind::Failed);
}

bool DocumentJob::pagosImprimibles(db::RecordSet &pagos)
{
    for (pagos.moveFirst(); !pagos.eof(); pagos.moveNext()) {
        pagos.field(QStringLiteral("TipoMecanismo"));
        double monto = 0;
        if (!PrinterRules::number(pagos.field(QStringLiteral("Monto")), &monto) || monto < 0 ||
            !PrinterRules::fits(monto, PrinterRules::kPaymentWidth, 2)) {
            retener(texts::documentoRetenido(m_kind, m_codigo, QStringLiteral("Monto")));
            return false;
        }
    }
    pagos.moveFirst();
    return true;
}

void DocumentJob::retener(const QString &mensaje)
{
    hold(mensaje, mensaje, false);
}

void DocumentJob::evento(core::DocumentEvent::Kind kind, const QString &numero,
                         const QString &numeroZ)
{
    m_ctx.publish({.kind = kind,
                   .document = m_kind,
                   .code = m_codigo,
                   .number = numero,
                   .zNumber = PrinterNumbers::documentZ(numeroZ),
                   .stage = m_etapa});
}

bool DocumentJob::antesDelCierre()
{
    QString z;
    if (!PrinterNumbers::readTrusted(m_ctx.link, m_ctx.state.RutaPrograma,
                                     m_ctx.state.TipoImpresora, m_kind, m_ctx.clock,
                                     PrinterNumbers::kReadings, &m_numeroAntes, &z)) {
        // Without it the outcome of the closing could never be told.
        fallaEtapa();
        m_ctx.window.setLog(m_ctx.window.log() + QLatin1Char('\r') +
                            texts::cierreNoEnviado(m_kind));
        return false;
    }
    return journalCerrando(m_numeroAntes);
}

DocumentJob::Cierre DocumentJob::despuesDelCierre(QString *numero, QString *numeroZ)
{
    auto &link = m_ctx.link;
    m_respuestaCierre = {link.Comando, link.ResultadoComando, link.EstatusImpresora,
                         link.ErrorImpresora};
    // One reading: an unknown outcome costs a tick, as recovery reads again
    // before anything else is printed.
    if (!PrinterNumbers::readTrusted(link, m_ctx.state.RutaPrograma, m_ctx.state.TipoImpresora,
                                     m_kind, m_ctx.clock, 1, numero, numeroZ))
        return Cierre::Desconocido;
    return *numero == m_numeroAntes ? Cierre::NoCerrado : Cierre::Cerrado;
}

void DocumentJob::cierreDesconocido()
{
    cerrarPuerto();
    if (m_ctx.recovery && m_journalId) {
        m_ctx.recovery->hold(m_journalId, m_kind, m_codigo, texts::kNumeroIlegible);
        return;
    }
    // Without a journal nobody could settle it later: the operator must.
    const QString text = texts::recuperacionPendiente(m_kind, m_codigo, texts::kNumeroIlegible);
    m_ctx.window.messageBox(text);
    m_ctx.window.setLog(text);
}

void DocumentJob::noCerrado()
{
    auto &link = m_ctx.link;
    link.Comando = m_respuestaCierre.comando;
    link.ResultadoComando = m_respuestaCierre.resultado;
    link.EstatusImpresora = m_respuestaCierre.estatus;
    link.ErrorImpresora = m_respuestaCierre.error;
    m_cierreEnviado = false;
    fallaEtapa();
    // A refused closing says so itself; one the printer took and that did
    // not close (payments short of the total) needs the words.
    if (m_respuestaCierre.resultado)
        m_ctx.window.setLog(m_ctx.window.log() + QLatin1Char('\r') + texts::noCerrado(m_kind));
}

bool DocumentJob::journalTomado()
{
    if (!m_ctx.journal)
        return true;
    // Still pending although the printer closed it: never a second copy.
    const QString numero = m_ctx.journal->closedBefore(m_kind, m_codigo);
    if (!numero.isEmpty()) {
        retener(texts::yaImpreso(m_kind, m_codigo, numero));
        return false;
    }
    m_journalId = m_ctx.journal->takeUp(m_kind, m_codigo);
    return true;
}

bool DocumentJob::journalCerrando(const QString &numeroAntes)
{
    if (!m_ctx.journal || !m_journalId)
        return true;
    try {
        m_ctx.journal->closing(m_journalId, numeroAntes);
        return true;
    } catch (const db::DataError &e) {
        fallaBaseDatos(e, false);
        return false;
    }
}

void DocumentJob::journalCerrado(const QString &numero, const QString &numeroZ)
{
    if (!m_ctx.journal || !m_journalId)
        return;
    try {
        m_ctx.journal->closed(m_journalId, numero, numeroZ);
    } catch (const db::DataError &e) {
        journalWarning(e);
    }
}

void DocumentJob::journalRegistrado()
{
    if (!m_ctx.journal || !m_journalId)
        return;
    try {
        m_ctx.journal->recorded(m_journalId);
    } catch (const db::DataError &e) {
        journalWarning(e);
    }
}

void DocumentJob::journalFallido()
{
    if (!m_ctx.journal || !m_journalId)
        return;
    try {
        m_ctx.journal->failed(m_journalId);
    } catch (const db::DataError &e) {
        journalWarning(e);
    }
}

void DocumentJob::journalWarning(const db::DataError &error)
{
    // The journal stays unsettled: no new document starts until it can be written.
    const QString text = texts::errorBaseDatos(error.describe());
    m_ctx.window.notice(text);
}

} // namespace documents
