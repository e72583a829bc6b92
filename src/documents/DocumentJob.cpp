#include "documents/DocumentJob.h"

#include "core/PollingTimer.h"
#include "core/RobotState.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/ListSource.h"
#include "db/PrintJournal.h"
#include "documents/PrinterNumbers.h"
#include "printer/PrinterLink.h"

namespace documents {

bool DocumentJob::tomar()
{
    auto &st = m_ctx.state;
    db::ListSource &lista = esNotaCredito() ? m_ctx.Data6 : m_ctx.Data5;
    qint32 &ultima = esNotaCredito() ? st.UltimaNotaCredito : st.UltimaFactura;
    if (lista.recordCount() == 0) {
        ultima = 0;
        finNormal();
        return false;
    }
    const qint64 codigo = lista.recordset().field(QStringLiteral("Código")).toLongLong();
    // The document taken last is not taken again at once: invoices keep to
    // codes above it, credit notes to any other code.
    if (esNotaCredito() ? codigo == ultima : codigo <= ultima) {
        finNormal();
        return false;
    }
    const qint32 anterior = ultima;
    ultima = static_cast<qint32>(codigo);
    m_codigo = codigo;
    try {
        if (!leer() || !validar() || !journalTomado()) {
            finNormal();
            return false;
        }
    } catch (const db::DataError &e) {
        // Nothing was sent: a database that was away or busy is tried again
        // on a later tick; anything else waits for the operator.
        if (e.kind() == db::DataError::Kind::Open || e.kind() == db::DataError::Kind::Busy)
            ultima = anterior;
        fallaBaseDatos(e, false);
        m_ctx.Timer1.setEnabled(true);
        return false;
    }
    evento(core::DocumentEvent::Kind::Inicio);
    return true;
}

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
    QString text = m_ctx.link.reporteEtapa(m_etapa, true) + QLatin1Char('\r') +
                   core::texts::errorBaseDatos(error.describe());
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
    m_ctx.publicar({.kind = core::DocumentEvent::Kind::Retenida,
                    .notaCredito = esNotaCredito(),
                    .codigo = m_codigo,
                    .motivo = mensaje});
}

void DocumentJob::evento(core::DocumentEvent::Kind kind, const QString &numero,
                         const QString &numeroZ)
{
    m_ctx.publicar({.kind = kind,
                    .notaCredito = esNotaCredito(),
                    .codigo = m_codigo,
                    .numero = numero,
                    .numeroZ = PrinterNumbers::zDelDocumento(numeroZ),
                    .etapa = m_etapa});
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
