#pragma once

#include "db/RecordSet.h"
#include "documents/DocumentJob.h"

#include <memory>

namespace db {
class Database;
}

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
    bool leer() override;
    QByteArray huella() const override;
    bool validar() override;
    void finNormal() override;
    // Each step returns false when the job has ended through its failure path.
    bool bloqueCliente();
    bool items();
    bool descuento();
    bool pago();
    bool registrar();

    db::RecordSet m_encabezado;
    db::RecordSet m_detalle;
    db::RecordSet m_pagos;
    double m_porcentImpuesto = 0.0;
    double m_desc01 = 0.0;
};

} // namespace documents
