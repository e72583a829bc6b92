#include "printer/PrinterLink.h"

#include "core/CodePage.h"

#include "core/FileLayer.h"
#include "core/Formatting.h"
#include "core/PollingTimer.h"
#include "core/Texts.h"
#include "core/WindowServices.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace printer {

using core::Control;
using core::Formatting;

PrinterLink::PrinterLink(Driver &driver, core::WindowServices &window, core::PollingTimer &timer,
                         const core::CodePage &codePage, const QString &port)
    : m_driver(driver), m_window(window), m_timer(timer), m_codePage(codePage), m_port(port)
{
}

bool PrinterLink::AbrirPuerto()
{
    HabilitarControles(false);
    const QByteArray port = m_codePage.fromUnicode(m_port);
    const bool opened = m_driver.OpenFpctrl(port.constData()) != 0;
    told(PrinterHealth::Call::Open, opened);
    if (opened) {
        // Whatever the state before: a job that stopped the timer runs on with it on.
        HabilitarControles(true);
        return true;
    }
    m_window.messageBox(core::texts::kPortError);
    m_window.setControlEnabled(core::Control::Command10, true);
    CerrarPuerto();
    return false;
}

void PrinterLink::CerrarPuerto()
{
    m_driver.CloseFpctrl();
    told(PrinterHealth::Call::Close, true);
}

void PrinterLink::told(PrinterHealth::Call call, bool ok)
{
    if (m_health)
        m_health->record(call, ok, EstatusImpresora, ErrorImpresora);
}

bool PrinterLink::probe(const QString &programDir)
{
    const QString command = Comando, file = ArchivoRespuesta;
    const bool result = ResultadoComando;
    const int status = EstatusImpresora, error = ErrorImpresora;
    const bool wasOpen = m_health && m_health->portOpen();
    bool opened = wasOpen;
    if (!wasOpen) {
        opened = m_driver.OpenFpctrl(m_codePage.fromUnicode(m_port).constData()) != 0;
        told(PrinterHealth::Call::Open, opened);
    }
    bool answered = false;
    if (opened) {
        UploadStatusCmd(QStringLiteral("S1"), programDir + QStringLiteral("\\Status.txt"));
        answered = ResultadoComando;
    }
    if (!wasOpen)
        CerrarPuerto();
    Comando = command;
    ArchivoRespuesta = file;
    ResultadoComando = result;
    EstatusImpresora = status;
    ErrorImpresora = error;
    return answered;
}

void PrinterLink::HabilitarControles(bool enabled)
{
    m_timer.setEnabled(enabled);
    for (core::Control c :
         {core::Control::Command3, core::Control::Command4, core::Control::Command5,
          core::Control::Command6, core::Control::Command7})
        m_window.setControlEnabled(c, enabled);
}

void PrinterLink::EnviarComando(const QString &text)
{
    // The one place every text of every command passes: no control character
    // of a customer's text reaches the printer.
    Comando = Formatting::printableText(text);
    const QByteArray bytes = m_codePage.fromUnicode(Comando);
    const int r = m_driver.SendCmd(&EstatusImpresora, &ErrorImpresora, bytes.constData());
    ResultadoComando = r != 0;
    told(PrinterHealth::Call::Send, ResultadoComando);
}

void PrinterLink::MostrarEtapa(double stage)
{
    m_window.processEvents();
    m_window.setStage(core::texts::kStageCaption + core::Formatting::TextoNumero(stage));
    m_window.processEvents();
}

void PrinterLink::upload(bool report, const QString &command, const QString &file)
{
    Comando = command;
    ArchivoRespuesta = file;
    // An answer left from before, or put in its place by someone else, is
    // never read as this command's answer.
    ::unlink(QFile::encodeName(core::FileLayer::localPath(ArchivoRespuesta)).constData());
    const QByteArray commandBytes = m_codePage.fromUnicode(Comando);
    const QByteArray fileBytes =
        m_codePage.fromUnicode(core::FileLayer::nativePath(ArchivoRespuesta));
    const int r = report
                      ? m_driver.UploadReportCmd(&EstatusImpresora, &ErrorImpresora,
                                                 commandBytes.constData(), fileBytes.constData())
                      : m_driver.UploadStatusCmd(&EstatusImpresora, &ErrorImpresora,
                                                 commandBytes.constData(), fileBytes.constData());
    ResultadoComando = r != 0;
    told(PrinterHealth::Call::Upload, ResultadoComando);
}

void PrinterLink::UploadStatusCmd(const QString &command, const QString &file)
{
    upload(false, command, file);
}

void PrinterLink::UploadReportCmd(const QString &command, const QString &file)
{
    upload(true, command, file);
}

void PrinterLink::VerRespuesta()
{
    TextoRespuesta.clear();
    if (!ResultadoComando) {
        TextoRespuesta = core::texts::kNoAnswer;
        return;
    }
    const int n = LeerArchivo(ArchivoRespuesta);
    if (m_readFailed) {
        // The upload said yes but left nothing readable: no answer, not a stop.
        TextoRespuesta = core::texts::kNoAnswer;
        return;
    }
    for (int i = 0; i < n; ++i)
        TextoRespuesta += Lineas[i] + QStringLiteral("\r\n");
}

int PrinterLink::LeerArchivo(const QString &fileName)
{
    m_readFailed = false;
    // What decides a fiscal number is read only from a file the driver wrote
    // in this process: not through a link (nor from a pipe that would never
    // end), a regular file of this user, with one name, that nobody else may
    // write. Anything else is a failed read.
    const QByteArray name = QFile::encodeName(core::FileLayer::localPath(fileName));
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat info = {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() ||
        info.st_nlink != 1 || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        if (fd >= 0)
            ::close(fd);
        m_readFailed = true;
        return 0;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_readFailed = true;
        return 0;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_readFailed = true;
        return 0;
    }
    int count = 0;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n && count < kMaxLines) {
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

QString PrinterLink::stageReport(double stage, bool longForm) const
{
    QString text = core::texts::kStagePrefix + core::Formatting::TextoNumero(stage) +
                   QLatin1Char('.') + QLatin1Char('\r') + core::texts::kErrorLabel +
                   core::Formatting::TextoNumero(qint64(ErrorImpresora));
    if (longForm)
        text += QLatin1Char('\r') + core::texts::kStatusLabel + QString::number(EstatusImpresora);
    return text;
}

} // namespace printer
