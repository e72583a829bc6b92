#include "documents/DocumentJob.h"

#include "printer/PrinterLink.h"
#include "db/DataError.h"
#include "db/PrintJournal.h"
#include "core/Texts.h"

namespace documents {

bool DocumentJob::enviar(const QString &comando)
{
    m_ctx.link.EnviarComando(comando);
    return m_ctx.link.ResultadoComando;
}

void DocumentJob::abrirPuerto()
{
    m_ctx.link.AbrirPuerto();
    m_puertoAbierto = true;
}

void DocumentJob::cerrarPuerto()
{
    m_ctx.link.CerrarPuerto();
    m_puertoAbierto = false;
}

void DocumentJob::fallaEtapa(bool largoEnCaja)
{
    cerrarPuerto();
    const QString largo = m_ctx.link.reporteEtapa(m_etapa, true);
    m_ctx.window.messageBox(largoEnCaja ? largo : m_ctx.link.reporteEtapa(m_etapa, false));
    m_ctx.window.setLog(largo);
    journalFallido();
    evento(core::DocumentEvent::Kind::Fallo);
}

void DocumentJob::fallaBaseDatos(const db::DataError &error, bool impreso)
{
    if (m_puertoAbierto)
        cerrarPuerto();
    QString text = m_ctx.link.reporteEtapa(m_etapa, true) + QLatin1Char('\r')
                   + core::texts::errorBaseDatos(error.describe());
    if (impreso)
        text += QLatin1Char('\r') + core::texts::impresoNoRegistrado(esNotaCredito());
    m_ctx.window.messageBox(text);
    m_ctx.window.setLog(text);
    // Printed and not recorded stays open in the journal: recovery records it.
    if (!impreso)
        journalFallido();
    evento(core::DocumentEvent::Kind::Fallo);
}

void DocumentJob::retener(const QString &mensaje)
{
    m_ctx.window.messageBox(mensaje);
    m_ctx.window.setLog(mensaje);
    core::DocumentEvent e;
    e.kind = core::DocumentEvent::Kind::Retenida;
    e.notaCredito = esNotaCredito();
    e.codigo = m_codigo;
    e.motivo = mensaje;
    m_ctx.window.documentEvent(e);
}

void DocumentJob::evento(core::DocumentEvent::Kind kind, const QString &numero,
                         const QString &numeroZ)
{
    core::DocumentEvent e;
    e.kind = kind;
    e.notaCredito = esNotaCredito();
    e.codigo = m_codigo;
    e.numero = numero;
    e.numeroZ = numeroZ;
    e.etapa = m_etapa;
    m_ctx.window.documentEvent(e);
}

bool DocumentJob::journalTomado()
{
    if (!m_ctx.journal)
        return true;
    const auto kind =
        esNotaCredito() ? db::PrintJournal::Kind::Nota : db::PrintJournal::Kind::Factura;
    // Still pending although the printer closed it: never a second copy.
    const QString numero = m_ctx.journal->closedBefore(kind, m_codigo);
    if (!numero.isEmpty()) {
        retener(core::texts::yaImpreso(esNotaCredito(), m_codigo, numero));
        return false;
    }
    m_journalId = m_ctx.journal->tomado(kind, m_codigo);
    return true;
}

bool DocumentJob::journalCerrando(const QString &numeroAntes)
{
    if (!m_ctx.journal || !m_journalId)
        return true;
    try {
        m_ctx.journal->cerrando(m_journalId, numeroAntes);
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
        m_ctx.journal->cerrado(m_journalId, numero, numeroZ);
    } catch (const db::DataError &e) {
        journalWarning(e);
    }
}

void DocumentJob::journalRegistrado()
{
    if (!m_ctx.journal || !m_journalId)
        return;
    try {
        m_ctx.journal->registrado(m_journalId);
    } catch (const db::DataError &e) {
        journalWarning(e);
    }
}

void DocumentJob::journalFallido()
{
    if (!m_ctx.journal || !m_journalId)
        return;
    try {
        m_ctx.journal->fallido(m_journalId);
    } catch (const db::DataError &e) {
        journalWarning(e);
    }
}

void DocumentJob::journalWarning(const db::DataError &error)
{
    // The journal stays unsettled: no new document starts until it can be written.
    const QString text = core::texts::errorBaseDatos(error.describe());
    m_ctx.window.notice(text);
}

} // namespace documents
