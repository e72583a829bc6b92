#include "documents/Recovery.h"

#include "core/RobotState.h"
#include "core/Settings.h"
#include "core/Texts.h"
#include "core/WindowServices.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/DocumentClaims.h"
#include "db/SqlTexts.h"
#include "documents/NumberCheck.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterNumbers.h"
#include "printer/PrinterState.h"

#include <algorithm>

namespace documents {

using printer::PrinterNumbers;
using printer::PrinterState;

using Entry = db::PrintJournal::Entry;
using State = db::PrintJournal::State;
namespace texts = core::texts;

bool Recovery::run()
{
    db::PrintJournal *journal = m_ctx.journal;
    if (!journal || journal->settled()) {
        m_held.reset();
        return true;
    }
    try {
        for (const Entry &entry : journal->unfinished()) {
            if (!settle(entry))
                return false;
        }
        m_held.reset();
    } catch (const db::DataError &e) {
        const QString text = core::texts::databaseError(e.describe());
        m_ctx.window.setLog(text);
        m_ctx.window.notice(text);
        return false;
    }
    return journal->settled();
}

bool Recovery::releaseClaims()
{
    db::DocumentClaims *claims = m_ctx.claims;
    if (!claims || claims->own().isEmpty())
        return true;
    const QList<Entry> open = m_ctx.journal ? m_ctx.journal->unfinished() : QList<Entry>();
    for (const auto &[kind, code] : claims->own()) {
        if (std::none_of(open.cbegin(), open.cend(),
                         [&](const Entry &e) { return e.kind == kind && e.code == code; }))
            claims->release(kind, code);
    }
    return claims->own().isEmpty();
}

bool Recovery::settle(const Entry &entry)
{
    switch (entry.state) {
    case State::TakenUp:
    case State::Failed:
        // It never reached its closing command, or the printer did not take
        // it: whatever it left open goes.
        return cancel(entry);
    case State::Closing: {
        QString number, zNumber;
        if (!readNumber(entry, &number, &zNumber) ||
            !PrinterNumbers::isTrusted(entry.numberBefore)) {
            hold(entry, core::texts::kNumberUnreadable);
            return false;
        }
        // Nothing else is printed before recovery, so a number that moved
        // since the closing command was sent is this document's.
        if (number == entry.numberBefore)
            return cancel(entry);
        m_ctx.journal->closed(entry.id, number, zNumber);
        return record(entry, number, zNumber);
    }
    case State::Closed: {
        QString number = entry.number;
        QString zNumber = entry.zNumber;
        if (number.isEmpty() && !readNumber(entry, &number, &zNumber)) {
            hold(entry, core::texts::kNumberUnreadable);
            return false;
        }
        return record(entry, number, zNumber);
    }
    default:
        return true;
    }
}

bool Recovery::cancel(const Entry &entry)
{
    auto &link = m_ctx.link;
    const bool portOpen = link.AbrirPuerto();
    link.EnviarComando(QStringLiteral("7"));
    const bool cancelled = link.ResultadoComando;
    // Some printers take "7" only to cancel a document: refused with none
    // open, there is nothing left to cancel.
    const bool nothingOpen = !cancelled && portOpen &&
                             PrinterState::openDocument(link, m_ctx.state.RutaPrograma) ==
                                 PrinterState::Document::NotOpen;
    link.CerrarPuerto();
    if (!cancelled && !nothingOpen) {
        hold(entry, portOpen ? texts::cancelRefused(link.ErrorImpresora, link.EstatusImpresora)
                             : texts::kPortError);
        return false;
    }
    // Refused, "7" dropped none of the header lines the document may have
    // sent: the next document overwrites them.
    nothingOpen ? m_ctx.journal->headerHeld(entry.id) : m_ctx.journal->cancelled(entry.id);
    if (nothingOpen) {
        const QString text = texts::nothingLeftOpen(entry.kind, entry.code, link.ErrorImpresora,
                                                    link.EstatusImpresora);
        m_ctx.window.setLog(text);
        m_ctx.window.notice(text);
        return true;
    }
    // A failure that repeats with the same rows was told at its first attempt.
    const HeldDocuments::Entry *failed =
        m_ctx.held ? m_ctx.held->find(entry.kind, entry.code) : nullptr;
    if (!failed || failed->attempts < 2) {
        const QString text = core::texts::cancelledToPrintAgain(entry.kind, entry.code);
        m_ctx.window.setLog(text);
        m_ctx.window.notice(text);
    }
    m_ctx.publish(
        {.kind = core::DocumentEvent::Kind::Cancelled, .document = entry.kind, .code = entry.code});
    return true;
}

bool Recovery::readNumber(const Entry &entry, QString *number, QString *zNumber)
{
    auto &link = m_ctx.link;
    bool read = false;
    if (link.AbrirPuerto())
        read = PrinterNumbers::readTrusted(link, m_ctx.state.RutaPrograma,
                                           m_ctx.state.TipoImpresora, entry.kind, m_ctx.clock,
                                           PrinterNumbers::kReadings, number, zNumber);
    link.CerrarPuerto();
    return read;
}

bool Recovery::record(const Entry &entry, QString number, QString zNumber)
{
    try {
        auto db = db::Database::open(m_ctx.state.RutaBaseDatos, m_ctx.settings.shortDateFormat);
        if (entry.kind == core::DocumentKind::CreditNote) {
            db->execute(db::SqlTexts::recordCreditNote(number, entry.code));
        } else {
            db->execute(zNumber.isEmpty()
                            ? db::SqlTexts::recordInvoiceWithoutZ(number, entry.code)
                            : db::SqlTexts::recordInvoice(number, zNumber, entry.code));
        }
        db->close();
    } catch (const db::DataError &e) {
        // The database may come back: tried again on the next tick.
        hold(entry, e.describe());
        return false;
    }
    m_ctx.journal->recorded(entry.id);
    if (m_ctx.numbers)
        m_ctx.numbers->accountFor(entry.kind, number);
    const QString text = core::texts::recoveredWithoutPrinting(entry.kind, entry.code, number);
    m_ctx.window.setLog(text);
    m_ctx.window.notice(text);
    m_ctx.publish({.kind = core::DocumentEvent::Kind::Recovered,
                   .document = entry.kind,
                   .code = entry.code,
                   .number = number,
                   .zNumber = PrinterNumbers::documentZ(zNumber)});
    return true;
}

void Recovery::hold(const Entry &entry, const QString &reason)
{
    hold(entry.id, entry.kind, entry.code, reason);
}

void Recovery::hold(qint64 journalId, core::DocumentKind kind, qint64 code, const QString &reason)
{
    const QString text = core::texts::recoveryPending(kind, code, reason);
    m_ctx.window.setLog(text);
    m_held = HeldDocuments::Entry{kind, code, reason, {}, {}};
    // Told once: the next ticks try again quietly.
    if (m_heldReported.contains(journalId))
        return;
    m_heldReported.insert(journalId);
    m_ctx.window.notice(text);
    m_ctx.publish({.kind = core::DocumentEvent::Kind::Held,
                   .document = kind,
                   .code = code,
                   .reason = reason});
}

} // namespace documents
