#include "printer/PrinterState.h"

#include "printer/DriverAbi.h"
#include "printer/PrinterLink.h"

namespace printer {

PrinterState::Document PrinterState::openDocument(PrinterLink &link, const QString &programDir)
{
    const QString command = link.Comando;
    const bool result = link.ResultadoComando;
    const int status = link.EstatusImpresora;
    const int error = link.ErrorImpresora;
    link.UploadStatusCmd(QStringLiteral("S1"), programDir + QStringLiteral("\\Status.txt"));
    Document answer = Document::Unknown;
    if (link.ResultadoComando)
        answer = link.EstatusImpresora & (status::kInvoiceOpen | status::kCreditNoteOpen)
                     ? Document::Open
                     : Document::NotOpen;
    link.Comando = command;
    link.ResultadoComando = result;
    link.EstatusImpresora = status;
    link.ErrorImpresora = error;
    return answer;
}

} // namespace printer
