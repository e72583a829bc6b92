#include "documents/DocumentJob.h"

#include "printer/PrinterLink.h"
#include "robot/DataError.h"
#include "robot/Texts.h"

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
    evento(robot::DocumentEvent::Kind::Fallo);
}

void DocumentJob::fallaBaseDatos(const robot::DataError &error, bool impreso)
{
    if (m_puertoAbierto)
        cerrarPuerto();
    QString text = m_ctx.link.reporteEtapa(m_etapa, true) + QLatin1Char('\r')
                   + robot::texts::errorBaseDatos(error.describe());
    if (impreso)
        text += QLatin1Char('\r') + robot::texts::impresoNoRegistrado(esNotaCredito());
    m_ctx.window.messageBox(text);
    m_ctx.window.setLog(text);
    evento(robot::DocumentEvent::Kind::Fallo);
}

void DocumentJob::retener(const QString &mensaje)
{
    m_ctx.window.messageBox(mensaje);
    m_ctx.window.setLog(mensaje);
    robot::DocumentEvent e;
    e.kind = robot::DocumentEvent::Kind::Retenida;
    e.notaCredito = esNotaCredito();
    e.codigo = m_codigo;
    e.motivo = mensaje;
    m_ctx.window.documentEvent(e);
}

void DocumentJob::evento(robot::DocumentEvent::Kind kind, const QString &numero,
                         const QString &numeroZ)
{
    robot::DocumentEvent e;
    e.kind = kind;
    e.notaCredito = esNotaCredito();
    e.codigo = m_codigo;
    e.numero = numero;
    e.numeroZ = numeroZ;
    e.etapa = m_etapa;
    m_ctx.window.documentEvent(e);
}

} // namespace documents
