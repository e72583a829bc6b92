#pragma once

#include "core/WindowServices.h"
#include "db/RecordSet.h"
#include "documents/JobContext.h"

#include <QString>
#include <memory>

namespace db {
class DataError;
class Database;
} // namespace db

namespace documents {

// What the invoice and credit-note jobs do alike: taking a document up, the
// stage number, sending a command, telling what the closing command did, and
// ending through the failure path.
class DocumentJob
{
public:
    DocumentJob(JobContext &ctx, core::DocumentKind kind);
    virtual ~DocumentJob();

protected:
    // Takes up the first pending document of the job's list that may be
    // printed now: one held back or failed waits until its rows change or
    // its pause has passed, and the ones behind it go first. The document is
    // read whole and checked before the first command. False when nothing is
    // to be printed now; the job has then ended.
    bool tomar();
    // What the job reads of the document m_codigo (DataError may escape);
    // false when its row is gone.
    virtual bool leer() = 0;
    // The fingerprint of everything leer() read.
    virtual QByteArray huella() const = 0;
    // Checks every value the commands will carry; false after holding it.
    virtual bool validar() = 0;
    virtual void finNormal() = 0;

    // Sends one command; true when the printer took it.
    bool enviar(const QString &comando);
    // False when the port could not be opened (the operator has been told).
    bool abrirPuerto();
    void cerrarPuerto();
    // A refused command: close the port, report the stage (the credit note
    // shows its long report in the box, the invoice the short one). The
    // document waits before it is taken up again, unless the port never
    // opened: that holds the queue, not the document.
    void fallaEtapa();
    // A database error: the report names it, and says so when the document
    // was printed and not recorded.
    void fallaBaseDatos(const db::DataError &error, bool impreso);
    // A document held back before anything was sent.
    void retener(const QString &mensaje);
    // The payment rows, checked: each amount a number the printer takes, and
    // every column read now, so that a missing one stops the job before its
    // first command. False after holding the document.
    bool pagosImprimibles(db::RecordSet &pagos);
    // `numeroZ` is the printer's Z counter; the event names the closure the
    // document belongs to.
    void evento(core::DocumentEvent::Kind kind, const QString &numero = {},
                const QString &numeroZ = {});

    // The closing command. Before it the printer's last number is read, and
    // without one the command is not sent (failure path, false); the journal
    // records it with that number. After it the number read again tells
    // the outcome: moved, the printer closed the document; the same, it did
    // not (the commands' own answers cannot tell: a lost answer looks like a
    // refusal); unreadable, nobody can tell yet.
    enum class Cierre { Cerrado, NoCerrado, Desconocido };
    bool antesDelCierre();
    Cierre despuesDelCierre(QString *numero, QString *numeroZ);
    // The outcome could not be told: the journal keeps the document as
    // closing and recovery settles it once the printer answers again.
    void cierreDesconocido();
    // The failure report of a closing that did not close, with the closing
    // command's own answer in it.
    void noCerrado();

    // The print journal's record of this document. Taking it up may throw
    // DataError (nothing has been sent then); the closing record returns
    // false, after the failure path, when it cannot be written, so that the
    // closing command is never sent unrecorded; the later records only warn.
    // Takes the document up in the journal; false (after holding it) when the
    // journal says the printer already closed it.
    bool journalTomado();
    bool journalCerrando(const QString &numeroAntes);
    void journalCerrado(const QString &numero, const QString &numeroZ);
    void journalRegistrado();
    void journalFallido();
    void journalWarning(const db::DataError &error);

    JobContext &m_ctx;
    const core::DocumentKind m_kind;
    std::unique_ptr<db::Database> m_db;
    double m_etapa = 0.0;
    qint64 m_codigo = 0;
    bool m_puertoAbierto = false;
    bool m_puertoFallido = false;
    bool m_cierreEnviado = false;
    QString m_numeroAntes;
    qint64 m_journalId = 0;

private:
    void hold(const QString &motivo, const QString &mensaje, bool esFallo);

    QByteArray m_huella;
    struct Respuesta
    {
        QString comando;
        bool resultado = false;
        int estatus = 0;
        int error = 0;
    } m_respuestaCierre;
};

} // namespace documents
