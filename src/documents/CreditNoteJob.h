#pragma once

#include "db/RecordSet.h"
#include "documents/DocumentJob.h"

#include <memory>

namespace db {
class Database;
}

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

    static const QString kDescripcionSinDetalle;
    static const QString kCierre;

private:
    bool leer() override;
    QByteArray huella() const override;
    bool validar() override;
    void finNormal() override;
    bool encabezadoHka();
    bool encabezadoDascom();
    bool lineasDetalle();
    bool lineasSinDetalle();
    bool descuentoYPagos();
    bool cierreYRegistro();
    // Shows the stage through the stage label.
    void etapa(double e);
    // Sends a tested command; false (after the failure path) when refused.
    bool enviarProbado(const QString &comando);
    void anotarEnLog(const QString &comando);
    // The date of the corrected invoice as the operator's short date form writes it.
    QString textoFecha(const QVariant &fecha) const;

    db::RecordSet m_encabezado;
    db::RecordSet m_detalle;
    db::RecordSet m_pagos;
    qint64 m_venta = 0;
    double m_desc01 = 0.0;
    double m_porcentImpuesto = 0.0;
    double m_monto = 0.0;
    double m_montoExcento = 0.0;
};

} // namespace documents
