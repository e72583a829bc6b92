#pragma once

#include "documents/DocumentJob.h"

namespace documents {

// ImprimirFactura: prints the first pending sale of Data5 as a fiscal
// invoice and writes the printer's invoice number and Z counter back.
class InvoiceJob : public DocumentJob
{
public:
    explicit InvoiceJob(JobContext &ctx);
    ~InvoiceJob() override;

    // True when a document was taken up (printed or not).
    bool ImprimirFactura();

private:
    bool read() override;
    bool validate() override;
    QString unprintableLine(bool rateFound) const override;
    void finish() override;
    // Each step returns false when the job has ended through its failure path.
    bool customerBlock();
    bool itemLines();
    bool discountLines();
    bool paymentLines();
    bool recordNumbers();
};

} // namespace documents
