#pragma once

#include "printer/Driver.h"

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
    static constexpr int kMaxLineas = 10001;

    PrinterLink(Driver &driver, core::WindowServices &window, core::PollingTimer &timer,
                const core::CodePage &codePage, const QString &puerto);

    // False when the port could not be opened (the operator has been told).
    bool AbrirPuerto();
    void CerrarPuerto();
    void HabilitarControles(bool h);
    void EnviarComando(const QString &texto);
    void MostrarEtapa(double etapa);
    void VerRespuesta();
    // Reads up to 10,001 lines into Lineas; a line ends at CR or CR LF, a LF
    // alone stays in the line. A file that cannot be read gives 0 lines.
    int LeerArchivo(const QString &sNombreArchivo);

    // Sets Comando and ArchivoRespuesta, calls the upload and sets ResultadoComando.
    void UploadStatusCmd(const QString &comando, const QString &archivo);
    void UploadReportCmd(const QString &comando, const QString &archivo);

    // The stage failure report: two lines, or three in its long form.
    QString reporteEtapa(double etapa, bool largo) const;

    Driver &driver() { return m_driver; }
    const QString &Puerto() const { return m_puerto; }

    // Printer state shared by the jobs and actions.
    QString Comando;
    bool ResultadoComando = false;
    int EstatusImpresora = 0;
    int ErrorImpresora = 0;
    QString ArchivoRespuesta;
    QString TextoRespuesta;
    QStringList Lineas;

private:
    void upload(bool report, const QString &comando, const QString &archivo);

    Driver &m_driver;
    core::WindowServices &m_window;
    core::PollingTimer &m_timer;
    const core::CodePage &m_codePage;
    QString m_puerto;
    bool m_lecturaFallida = false;
};

} // namespace printer
