#pragma once

#include "core/WindowServices.h"
#include "documents/JobContext.h"

#include <QString>

namespace db {
class DataError;
}

namespace documents {

// What the invoice and credit-note jobs do alike: the stage number, sending a
// command, and ending through the failure path.
class DocumentJob
{
public:
    explicit DocumentJob(JobContext &ctx) : m_ctx(ctx) {}
    virtual ~DocumentJob() = default;

protected:
    // The take-up both jobs share: the first pending document of the job's
    // list, unless it is the one taken last, read whole and checked before the
    // first command. False when nothing is to be printed now; the job has
    // then ended.
    bool tomar();
    // What the job reads of the document taken up (DataError may escape);
    // false when its row is gone.
    virtual bool leer() = 0;
    // Checks every value the commands will carry; false after holding it.
    virtual bool validar() = 0;
    virtual void finNormal() = 0;

    // Sends one command; true when the printer took it.
    bool enviar(const QString &comando);
    void abrirPuerto();
    void cerrarPuerto();
    // A refused command: close the port, report the stage. The invoice shows
    // the short report in its box, the credit note the long one.
    void fallaEtapa(bool largoEnCaja);
    // A database error: the report names it, and says so when the document
    // was printed and not recorded.
    void fallaBaseDatos(const db::DataError &error, bool impreso);
    // A document held back before anything was sent.
    void retener(const QString &mensaje);
    // `numeroZ` is the printer's Z counter; the event names the closure the
    // document belongs to.
    void evento(core::DocumentEvent::Kind kind, const QString &numero = {},
                const QString &numeroZ = {});

    virtual bool esNotaCredito() const = 0;

    // The print journal's record of this document. Taking it up may throw
    // DataError (nothing has been sent then); the closing record returns
    // false, after the failure path, when it cannot be written, so that the
    // closing command is never sent unrecorded; the later records only warn.
    // Takes the document up in the journal; false (after a message) when the
    // journal says the printer already closed it.
    bool journalTomado();
    bool journalCerrando(const QString &numeroAntes);
    void journalCerrado(const QString &numero, const QString &numeroZ);
    void journalRegistrado();
    void journalFallido();
    void journalWarning(const db::DataError &error);

    JobContext &m_ctx;
    double m_etapa = 0.0;
    qint64 m_codigo = 0;
    bool m_puertoAbierto = false;
    qint64 m_journalId = 0;
};

} // namespace documents
