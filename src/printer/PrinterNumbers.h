#pragma once

#include <QString>

#include "core/DocumentKind.h"
#include "core/PrinterType.h"

namespace core {
class Clock;
}

namespace printer {

class PrinterLink;

// The printer's last document numbers, read through the two upload commands
// as the jobs read them.
class PrinterNumbers
{
public:
    // "S1": the last invoice number (8 digits) and the Z counter (4 digits);
    // each empty when the answer lacks it or holds anything but digits.
    static void readInvoice(PrinterLink &link, const QString &programDir, QString *invoice,
                            QString *zCounter);
    // "U0X": the 8 characters at the credit-note number's place for the
    // printer type, as they stand (possibly fewer, or not digits).
    static QString readCreditNote(PrinterLink &link, const QString &programDir, bool dascomForm);
    // The daily closure a document printed now belongs to: the Z counter plus
    // one, as the write-back stores it; empty when the counter is.
    static QString documentZ(const QString &zCounter);
    // The last number of a document kind that can be trusted, read up to
    // `readings` times a short pause apart, as a noisy line may lose an
    // answer; false when no reading gave one. The port must be open.
    static bool readTrusted(PrinterLink &link, const QString &programDir, core::PrinterType type,
                            core::DocumentKind kind, const core::Clock &clock, int readings,
                            QString *number, QString *zCounter);
    static constexpr int kReadings = 3;
    // The Z counter from "S1", read in the same way; false when no reading
    // gave one. The port must be open.
    static bool readZCounter(PrinterLink &link, const QString &programDir, const core::Clock &clock,
                             int readings, QString *zCounter);
    // A number that can be trusted: eight digits.
    static bool isTrusted(const QString &number);
};

} // namespace printer
