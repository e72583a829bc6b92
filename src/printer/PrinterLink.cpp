#include "printer/PrinterLink.h"

#include "documents/Formato.h"
#include "robot/FileLayer.h"
#include "robot/PollingTimer.h"
#include "robot/Texts.h"
#include "robot/WindowServices.h"

#include <QFile>

namespace printer {

using documents::Formato;
using robot::Control;

PrinterLink::PrinterLink(Driver &driver, robot::WindowServices &window,
                         robot::PollingTimer &timer, const CodePage &codePage,
                         const QString &puerto)
    : m_driver(driver), m_window(window), m_timer(timer), m_codePage(codePage), m_puerto(puerto)
{
}

void PrinterLink::AbrirPuerto()
{
    HabilitarControles(false);
    const QByteArray port = m_codePage.fromUnicode(m_puerto);
    if (m_driver.OpenFpctrl(port.constData()) != 0) {
        // Whatever the state before: a job that stopped the timer runs on with it on.
        HabilitarControles(true);
        return;
    }
    m_window.messageBox(robot::texts::kErrorPuerto);
    m_window.setControlEnabled(Control::Command10, true);
    CerrarPuerto();
}

void PrinterLink::CerrarPuerto()
{
    m_driver.CloseFpctrl();
}

void PrinterLink::HabilitarControles(bool h)
{
    m_timer.setEnabled(h);
    for (Control c : {Control::Command3, Control::Command4, Control::Command5, Control::Command6,
                      Control::Command7})
        m_window.setControlEnabled(c, h);
}

void PrinterLink::EnviarComando(const QString &texto)
{
    Comando = texto;
    const QByteArray bytes = m_codePage.fromUnicode(Comando);
    const int r = m_driver.SendCmd(&EstatusImpresora, &ErrorImpresora, bytes.constData());
    ResultadoComando = r != 0;
}

void PrinterLink::MostrarEtapa(double etapa)
{
    m_window.processEvents();
    m_window.setStage(robot::texts::kEtapaCaption + Formato::TextoNumero(etapa));
    m_window.processEvents();
}

void PrinterLink::upload(bool report, const QString &comando, const QString &archivo)
{
    Comando = comando;
    ArchivoRespuesta = archivo;
    const QByteArray command = m_codePage.fromUnicode(Comando);
    const QByteArray file = m_codePage.fromUnicode(robot::FileLayer::nativePath(ArchivoRespuesta));
    const int r = report ? m_driver.UploadReportCmd(&EstatusImpresora, &ErrorImpresora,
                                                     command.constData(), file.constData())
                         : m_driver.UploadStatusCmd(&EstatusImpresora, &ErrorImpresora,
                                                     command.constData(), file.constData());
    ResultadoComando = r != 0;
}

void PrinterLink::UploadStatusCmd(const QString &comando, const QString &archivo)
{
    upload(false, comando, archivo);
}

void PrinterLink::UploadReportCmd(const QString &comando, const QString &archivo)
{
    upload(true, comando, archivo);
}

void PrinterLink::VerRespuesta()
{
    TextoRespuesta.clear();
    if (!ResultadoComando) {
        TextoRespuesta = robot::texts::kSinRespuesta;
        return;
    }
    const int n = LeerArchivo(ArchivoRespuesta);
    if (m_lecturaFallida) {
        // The upload said yes but left nothing readable: no answer, not a stop.
        TextoRespuesta = robot::texts::kSinRespuesta;
        return;
    }
    for (int i = 0; i < n; ++i)
        TextoRespuesta += Lineas[i] + QStringLiteral("\r\n");
}

int PrinterLink::LeerArchivo(const QString &sNombreArchivo)
{
    m_lecturaFallida = false;
    QFile file(robot::FileLayer::localPath(sNombreArchivo));
    if (!file.open(QIODevice::ReadOnly)) {
        m_lecturaFallida = true;
        return 0;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_lecturaFallida = true;
        return 0;
    }
    int count = 0;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n && count < kMaxLineas) {
        qsizetype end = bytes.indexOf('\r', start);
        qsizetype next;
        if (end < 0) {
            end = n;
            next = n;
        } else {
            next = end + 1;
            if (next < n && bytes[next] == '\n')
                ++next;
        }
        const QString line = m_codePage.toUnicode(bytes.mid(start, end - start));
        if (count < Lineas.size())
            Lineas[count] = line;
        else
            Lineas << line;
        ++count;
        start = next;
    }
    return count;
}

QString PrinterLink::reporteEtapa(double etapa, bool largo) const
{
    QString text = robot::texts::kEtapaPrefijo + Formato::TextoNumero(etapa) + QLatin1Char('.')
                   + QLatin1Char('\r') + QStringLiteral("Error: ")
                   + Formato::TextoNumero(qint64(ErrorImpresora));
    if (largo)
        text += QLatin1Char('\r') + QStringLiteral("Estatus: ") + QString::number(EstatusImpresora);
    return text;
}

} // namespace printer
