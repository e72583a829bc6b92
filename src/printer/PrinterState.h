#pragma once

#include <QString>

namespace printer {

class PrinterLink;

// Whether the printer holds a document open, as its status word says.
class PrinterState
{
public:
    enum class Document { Open, NotOpen, Unknown };

    // Asks with an "S1" status upload; only one that succeeded tells (a lost
    // reply carries no status word): Unknown otherwise. The port must be
    // open. The link's words of the last command (Comando, ResultadoComando,
    // EstatusImpresora, ErrorImpresora) are left as they were, so that a
    // report made after it still names that command's answer.
    static Document openDocument(PrinterLink &link, const QString &programDir);
};

} // namespace printer
