#pragma once

#include "Codes.h"
#include "FiscalMemory.h"
#include "PaperRoll.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace sim {

// The fiscal rules of the printer: takes one command, changes the fiscal
// memory and says what comes out on paper. No files, no clock of its own.
class Interpreter
{
public:
    struct Outcome
    {
        int error = NoError;
        bool changed = false; // the fiscal memory must be written back
        QString printed;      // text that went to the paper roll, if any

        bool accepted() const { return error == NoError; }
    };

    // `rates`: rates 1 to 3 in hundredths of a per cent.
    Interpreter(FiscalMemory &memory, const PaperRoll &paper, const QList<int> &rates);

    Outcome execute(const QString &command, const QDateTime &now);

    // The status bits that the fiscal memory alone decides.
    static int documentStatus(const FiscalMemory &memory);

private:
    Outcome headerLine(const QString &key, const QString &text);
    Outcome line(DocumentKind kind, const QString &command, const QDateTime &now);
    Outcome subtotal() const;
    Outcome discount(const QString &digits);
    Outcome payWhole(const QString &means, const QDateTime &now);
    Outcome payPart(const QString &command, const QDateTime &now);
    Outcome closeCreditNote(const QString &command, const QDateTime &now);
    Outcome cancel(const QDateTime &now);
    Outcome xReport(const QDateTime &now) const;
    Outcome zReport(const QDateTime &now);
    Outcome memoryReport(const QString &dates, const QDateTime &now) const;

    bool takesItems() const;
    QString closeDocument(const QDateTime &now);

    FiscalMemory &m_memory;
    const PaperRoll &m_paper;
    QList<int> m_rates;
};

} // namespace sim
