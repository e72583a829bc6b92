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

    void ImprimirFactura();

protected:
    bool esNotaCredito() const override { return false; }

private:
    bool leer() override;
    bool validar() override;
    void finNormal() override;
    // Each step returns false when the job has ended through its failure path.
    bool bloqueCliente();
    bool items();
    bool descuento();
    bool pago();
    bool cerradaDeTodosModos();
    bool registrar();
    // The invoice number and Z counter of an S1 answer, digits only or empty.
    void leerEstado(QString *factura, QString *z);

    std::unique_ptr<db::Database> m_db;
    db::RecordSet m_encabezado;
    db::RecordSet m_detalle;
    db::RecordSet m_pagos;
    double m_porcentImpuesto = 0.0;
    double m_desc01 = 0.0;
    QString m_facturaAntes;
    bool m_pagoAceptado = false;
};

} // namespace documents
