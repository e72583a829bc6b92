#pragma once

#include "documents/DocumentJob.h"

namespace documents {

// ImprimirNotaCredito: prints the first pending credit note of Data6, naming
// the invoice it corrects, and writes the printer's credit-note number back.
class CreditNoteJob : public DocumentJob
{
public:
    explicit CreditNoteJob(JobContext &ctx);
    ~CreditNoteJob() override;

    // True when a document was taken up (printed or not).
    bool ImprimirNotaCredito();

private:
    bool read() override;
    bool validate() override;
    QString unprintableLine(bool rateFound) const override;
    void finish() override;
    // Each step returns false when the job has ended through its failure path.
    bool headerHka();
    bool headerDascom();
    bool detailLines();
    // The lines of a note without detail rows, from its amounts.
    bool amountLines();
    bool discountAndPayments();
    bool closeAndRecord();
    // Shows the stage through the stage label.
    void showStage(double stage);
    // A line sent before the stage is shown, and tested after.
    bool testedAt(double stage, bool taken);
    void logCommand(const QString &command);
    // The date of the corrected invoice as the operator's short date form writes it.
    QString dateText(const QVariant &date) const;

    qint64 m_sale = 0;
    double m_amount = 0.0;       // Monto
    double m_exemptAmount = 0.0; // MontoExcento
};

} // namespace documents
