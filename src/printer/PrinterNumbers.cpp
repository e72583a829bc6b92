#include "printer/PrinterNumbers.h"

#include "core/Clock.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterRules.h"

namespace printer {

void PrinterNumbers::readInvoice(PrinterLink &link, const QString &programDir, QString *invoice,
                                 QString *zCounter)
{
    link.UploadStatusCmd(QStringLiteral("S1"), programDir + QStringLiteral("\\Status.txt"));
    link.VerRespuesta();
    const QString &t = link.TextoRespuesta;
    // Only digits ever reach the SQL text.
    const QString number = t.mid(21, 8);
    const QString z = t.mid(47, 4);
    *invoice = (number.size() == 8 && PrinterRules::onlyDigits(number)) ? number : QString();
    *zCounter = (z.size() == 4 && PrinterRules::onlyDigits(z)) ? z : QString();
}

QString PrinterNumbers::readCreditNote(PrinterLink &link, const QString &programDir,
                                       bool dascomForm)
{
    link.UploadReportCmd(QStringLiteral("U0X"), programDir + QStringLiteral("\\Status2.txt"));
    link.VerRespuesta();
    link.TextoRespuesta += QStringLiteral(" \r\n");
    const int position = dascomForm ? 41 : 169;
    return link.TextoRespuesta.mid(position - 1, 8);
}

bool PrinterNumbers::readTrusted(PrinterLink &link, const QString &programDir,
                                 core::PrinterType type, core::DocumentKind kind,
                                 const core::Clock &clock, int readings, QString *number,
                                 QString *zCounter)
{
    for (int i = 0; i < readings; ++i) {
        if (i > 0)
            clock.DelayMili(10);
        if (kind == core::DocumentKind::CreditNote) {
            *number = readCreditNote(link, programDir, core::usesDascomForm(type));
            zCounter->clear();
        } else {
            readInvoice(link, programDir, number, zCounter);
        }
        if (isTrusted(*number))
            return true;
    }
    number->clear();
    zCounter->clear();
    return false;
}

bool PrinterNumbers::readZCounter(PrinterLink &link, const QString &programDir,
                                  const core::Clock &clock, int readings, QString *zCounter)
{
    QString invoice;
    for (int i = 0; i < readings; ++i) {
        if (i > 0)
            clock.DelayMili(10);
        readInvoice(link, programDir, &invoice, zCounter);
        if (!zCounter->isEmpty())
            return true;
    }
    return false;
}

bool PrinterNumbers::isTrusted(const QString &number)
{
    return number.size() == 8 && PrinterRules::onlyDigits(number);
}

QString PrinterNumbers::documentZ(const QString &zCounter)
{
    return zCounter.isEmpty() ? QString() : QString::number(zCounter.toInt() + 1);
}

} // namespace printer
