#pragma once

#include "printer/Driver.h"
#include "printer/PrinterHealth.h"

#include <QString>
#include <QStringList>

namespace core {
class CodePage;
class PollingTimer;
class WindowServices;
} // namespace core

namespace printer {

// The procedures through which every job and console action talks to the
// driver, and the printer state they share.
class PrinterLink
{
public:
    static constexpr int kMaxLines = 10001;

    PrinterLink(Driver &driver, core::WindowServices &window, core::PollingTimer &timer,
                const core::CodePage &codePage, const QString &port);

    // False when the port could not be opened (the operator has been told).
    bool AbrirPuerto();
    void CerrarPuerto();
    void HabilitarControles(bool enabled);
    void EnviarComando(const QString &text);
    void MostrarEtapa(double stage);
    void VerRespuesta();
    // Reads up to 10,001 lines into Lineas; a line ends at CR or CR LF, a LF
    // alone stays in the line. A file that cannot be read, or that someone
    // other than this user could have written, gives 0 lines.
    int LeerArchivo(const QString &fileName);

    // Sets Comando and ArchivoRespuesta, calls the upload and sets ResultadoComando.
    void UploadStatusCmd(const QString &command, const QString &file);
    void UploadReportCmd(const QString &command, const QString &file);

    // Every call's answer is told to `health` (none: not kept).
    void setHealth(PrinterHealth *health) { m_health = health; }
    // A status read while nothing prints, to learn whether the printer still
    // answers: through the port the robot left open, or opened and closed for
    // it, with no message, no change of the controls or the timer, and the
    // last command's words left as they were. Never prints. True when it
    // answered.
    bool probe(const QString &programDir);

    // The stage failure report: two lines, or three in its long form.
    QString stageReport(double stage, bool longForm) const;

    Driver &driver() { return m_driver; }
    const QString &Puerto() const { return m_port; }

    // Printer state shared by the jobs and actions.
    QString Comando;
    bool ResultadoComando = false;
    int EstatusImpresora = 0;
    int ErrorImpresora = 0;
    QString ArchivoRespuesta;
    QString TextoRespuesta;
    QStringList Lineas;

private:
    void upload(bool report, const QString &command, const QString &file);
    void told(PrinterHealth::Call call, bool ok);

    Driver &m_driver;
    core::WindowServices &m_window;
    core::PollingTimer &m_timer;
    const core::CodePage &m_codePage;
    QString m_port;
    bool m_readFailed = false;
    PrinterHealth *m_health = nullptr;
};

} // namespace printer
