#include "documents/Recovery.h"

#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/Texts.h"
#include "core/WindowServices.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/SqlTexts.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterNumbers.h"

namespace documents {

using printer::PrinterNumbers;

using Entry = db::PrintJournal::Entry;
using State = db::PrintJournal::State;
namespace texts = core::texts;

bool Recovery::run()
{
    db::PrintJournal *journal = m_ctx.journal;
    if (!journal || journal->settled()) {
        m_retenido.reset();
        return true;
    }
    try {
        for (const Entry &entry : journal->unfinished()) {
            if (!settle(entry))
                return false;
        }
        m_retenido.reset();
    } catch (const db::DataError &e) {
        const QString text = core::texts::errorBaseDatos(e.describe());
        m_ctx.window.setLog(text);
        m_ctx.window.notice(text);
        return false;
    }
    return journal->settled();
}

bool Recovery::settle(const Entry &entry)
{
    switch (entry.state) {
    case State::Tomado:
    case State::Fallido:
        // It never reached its closing command, or the printer did not take
        // it: whatever it left open goes.
        return cancel(entry);
    case State::Cerrando: {
        QString numero, numeroZ;
        if (!readNumber(entry, &numero, &numeroZ) ||
            !PrinterNumbers::isTrusted(entry.numeroAntes)) {
            hold(entry, core::texts::kNumeroIlegible);
            return false;
        }
        // Nothing else is printed before recovery, so a number that moved
        // since the closing command was sent is this document's.
        if (numero == entry.numeroAntes)
            return cancel(entry);
        m_ctx.journal->cerrado(entry.id, numero, numeroZ);
        return record(entry, numero, numeroZ);
    }
    case State::Cerrado: {
        QString numero = entry.numero;
        QString numeroZ = entry.numeroZ;
        if (numero.isEmpty() && !readNumber(entry, &numero, &numeroZ)) {
            hold(entry, core::texts::kNumeroIlegible);
            return false;
        }
        return record(entry, numero, numeroZ);
    }
    default:
        return true;
    }
}

bool Recovery::cancel(const Entry &entry)
{
    auto &link = m_ctx.link;
    link.AbrirPuerto();
    link.EnviarComando(QStringLiteral("7"));
    const bool cancelled = link.ResultadoComando;
    link.CerrarPuerto();
    if (!cancelled) {
        hold(entry, core::texts::kErrorPuerto);
        return false;
    }
    m_ctx.journal->anulado(entry.id);
    const QString text = core::texts::anuladoParaReimprimir(entry.kind, entry.codigo);
    m_ctx.window.setLog(text);
    m_ctx.window.notice(text);
    m_ctx.publicar({.kind = core::DocumentEvent::Kind::Anulada,
                    .document = entry.kind,
                    .codigo = entry.codigo});
    return true;
}

bool Recovery::readNumber(const Entry &entry, QString *numero, QString *numeroZ)
{
    auto &link = m_ctx.link;
    bool leido = false;
    if (link.AbrirPuerto())
        leido = PrinterNumbers::readTrusted(link, m_ctx.state.RutaPrograma,
                                            m_ctx.state.TipoImpresora, entry.kind, m_ctx.clock,
                                            PrinterNumbers::kReadings, numero, numeroZ);
    link.CerrarPuerto();
    return leido;
}

bool Recovery::record(const Entry &entry, QString numero, QString numeroZ)
{
    try {
        auto db = db::Database::open(m_ctx.state.RutaBaseDatos, m_ctx.settings.shortDateFormat);
        if (entry.kind == core::DocumentKind::CreditNote) {
            db->execute(db::SqlTexts::registroNotaCredito(numero, entry.codigo));
        } else {
            db->execute(numeroZ.isEmpty()
                            ? db::SqlTexts::registroFacturaSinZ(numero, entry.codigo)
                            : db::SqlTexts::registroFactura(numero, numeroZ, entry.codigo));
        }
        db->close();
    } catch (const db::DataError &e) {
        // The database may come back: tried again on the next tick.
        hold(entry, e.describe());
        return false;
    }
    m_ctx.journal->registrado(entry.id);
    const QString text = core::texts::recuperadoSinImprimir(entry.kind, entry.codigo, numero);
    m_ctx.window.setLog(text);
    m_ctx.window.notice(text);
    m_ctx.publicar({.kind = core::DocumentEvent::Kind::Recuperada,
                    .document = entry.kind,
                    .codigo = entry.codigo,
                    .numero = numero,
                    .numeroZ = PrinterNumbers::documentZ(numeroZ)});
    return true;
}

void Recovery::hold(const Entry &entry, const QString &motivo)
{
    retener(entry.id, entry.kind, entry.codigo, motivo);
}

void Recovery::retener(qint64 journalId, core::DocumentKind kind, qint64 codigo,
                       const QString &motivo)
{
    const QString text = core::texts::recuperacionPendiente(kind, codigo, motivo);
    m_ctx.window.setLog(text);
    m_retenido = HeldDocuments::Entry{kind, codigo, motivo, {}, {}};
    // Told once: the next ticks try again quietly.
    if (m_heldReported.contains(journalId))
        return;
    m_heldReported.insert(journalId);
    m_ctx.window.notice(text);
    m_ctx.publicar({.kind = core::DocumentEvent::Kind::Retenida,
                    .document = kind,
                    .codigo = codigo,
                    .motivo = motivo});
}

} // namespace documents
