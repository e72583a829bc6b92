#pragma once

#include <QString>

#include "core/DocumentKind.h"
#include "core/PrinterType.h"

namespace core {
class Clock;
}

namespace printer {
class PrinterLink;
}

namespace documents {

// The printer's last document numbers, read through the two upload commands
// as the jobs read them.
class PrinterNumbers
{
public:
    // "S1": the last invoice number (8 digits) and the Z counter (4 digits);
    // each empty when the answer lacks it or holds anything but digits.
    static void leerFactura(printer::PrinterLink &link, const QString &rutaPrograma,
                            QString *factura, QString *numeroZ);
    // "U0X": the 8 characters at the credit-note number's place for the
    // printer type, as they stand (possibly fewer, or not digits).
    static QString leerNota(printer::PrinterLink &link, const QString &rutaPrograma,
                            bool formaDascom);
    // The daily closure a document printed now belongs to: the Z counter plus
    // one, as the write-back stores it; empty when the counter is.
    static QString zDelDocumento(const QString &numeroZ);
    // The last number of a document kind that can be trusted (eight digits),
    // read up to `lecturas` times a short pause apart, as a noisy line may
    // lose an answer; false when no reading gave one. The port must be open.
    static bool leerConfiable(printer::PrinterLink &link, const QString &rutaPrograma,
                              core::PrinterType tipo, core::DocumentKind kind,
                              const core::Clock &clock, int lecturas, QString *numero,
                              QString *numeroZ);
    static constexpr int kLecturas = 3;
    // A number that can be trusted: eight digits.
    static bool completo(const QString &numero);
};

} // namespace documents
