#include "documents/DocumentJob.h"

#include "core/PollingTimer.h"
#include "core/PrinterType.h"
#include "core/RobotState.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/Database.h"
#include "db/DocumentClaims.h"
#include "db/ListSource.h"
#include "db/PrintJournal.h"
#include "db/SqlTexts.h"
#include "documents/HeldDocuments.h"
#include "documents/NumberCheck.h"
#include "documents/Recovery.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterNumbers.h"
#include "printer/PrinterRules.h"
#include "printer/PrinterState.h"

#include <utility>

namespace documents {

using printer::PrinterNumbers;
using printer::PrinterRules;
using printer::PrinterState;
namespace texts = core::texts;

DocumentJob::DocumentJob(JobContext &ctx, core::DocumentKind kind) : m_ctx(ctx), m_kind(kind) {}

DocumentJob::~DocumentJob()
{
    m_ctx.inProgress.reset();
}

QString DocumentJob::trimmed(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString().trimmed();
}

QString DocumentJob::asText(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}

QByteArray DocumentJob::fingerprint() const
{
    return m_header.fingerprint() + m_detail.fingerprint() + m_payments.fingerprint();
}

bool DocumentJob::takeUp()
{
    const bool creditNote = m_kind == core::DocumentKind::CreditNote;
    db::RecordSet &rows = (creditNote ? m_ctx.Data6 : m_ctx.Data5).recordset();
    QList<qint64> pending;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
        pending << rows.field(QStringLiteral("Código")).toLongLong();
    if (m_ctx.held)
        m_ctx.held->keepOnly(m_kind, pending);

    for (const qint64 code : pending) {
        m_code = code;
        try {
            if (read()) {
                m_fingerprint = fingerprint();
                // Held, and neither its rows nor the pause have changed: the
                // documents behind it go first.
                if (m_ctx.held && m_ctx.held->waiting(m_kind, code, m_fingerprint)) {
                    m_db->close();
                } else if (!validate() || !notClosedBefore() || !claim()) {
                    m_db->close();
                } else {
                    // A document held before stays listed until it is printed
                    // or fails again: the same failure is not told twice.
                    (creditNote ? m_ctx.state.UltimaNotaCredito : m_ctx.state.UltimaFactura) = code;
                    m_ctx.cancelledByOperator = false;
                    m_ctx.inProgress = JobContext::InProgress{m_kind, code, &m_stage};
                    return true;
                }
            }
        } catch (const db::DataError &e) {
            // Nothing was sent. A database away or busy is tried again on the
            // next tick; a document whose rows cannot be read waits like one
            // held, and the ones behind it go on.
            if (e.kind() == db::DataError::Kind::Open || e.kind() == db::DataError::Kind::Busy) {
                failOnDatabase(e, false);
                m_ctx.Timer1.setEnabled(true);
                return false;
            }
            const QString text = texts::databaseError(e.describe());
            m_fingerprint.clear();
            if (keepWaiting(text))
                m_ctx.window.messageBox(m_ctx.link.stageReport(m_stage, true) + QLatin1Char('\r') +
                                        text);
            m_ctx.window.setLog(text);
            publish(core::DocumentEvent::Kind::Failed);
        }
    }
    finish();
    return false;
}

bool DocumentJob::holdColumn(const QString &column)
{
    hold(texts::documentHeld(m_kind, m_code, column));
    return false;
}

bool DocumentJob::discountPrintable(bool sent)
{
    const QVariant discount = m_header.field(QStringLiteral("Desc01"));
    double v = 0;
    if (discount.isNull())
        return true;
    if (!PrinterRules::number(discount, &v))
        return false;
    return !sent || !(v < 0 || (v > 0 && !PrinterRules::validDiscount(v)));
}

bool DocumentJob::detailPrintable(double taxRate)
{
    const auto &st = m_ctx.state;
    if (m_detail.recordCount() == 0)
        return true;
    if (st.ModoCantidad == 0) {
        hold(texts::documentHeldForQuantityMode(m_kind, m_code));
        return false;
    }
    const bool rateFound = hasRate(taxRate);
    const QString quantityColumn =
        st.ModoCantidad == 1 ? QStringLiteral("Cantidad") : QStringLiteral("CantDec");
    double v = 0;
    for (m_detail.moveFirst(); !m_detail.eof(); m_detail.moveNext()) {
        if (!PrinterRules::number(m_detail.field(QStringLiteral("Precio")), &v) || v < 0 ||
            !PrinterRules::fits(v, PrinterRules::kPriceWidth, 2) || PrinterRules::isZero(v, 2))
            return holdColumn(QStringLiteral("Precio"));
        if (!PrinterRules::number(m_detail.field(quantityColumn), &v) || v < 0 ||
            !PrinterRules::fits(v, PrinterRules::kQuantityWidth, 3) || PrinterRules::isZero(v, 3))
            return holdColumn(quantityColumn);
        const QString column = unprintableLine(rateFound);
        if (!column.isEmpty())
            return holdColumn(column);
    }
    m_detail.moveFirst();
    return true;
}

bool DocumentJob::hasRate(double taxRate) const
{
    const auto &st = m_ctx.state;
    return PrinterRules::ratePosition(taxRate, st.TasaMaqFiscal1, st.TasaMaqFiscal2,
                                      st.TasaMaqFiscal3) >= 0;
}

bool DocumentJob::taxedWithoutRate(bool rateFound) const
{
    return !db::RecordSet::isTrue(m_detail.field(QStringLiteral("ExcentoImpuesto"))) && !rateFound;
}

bool DocumentJob::paymentsPrintable()
{
    for (m_payments.moveFirst(); !m_payments.eof(); m_payments.moveNext()) {
        m_payments.field(QStringLiteral("TipoMecanismo"));
        double amount = 0;
        if (!PrinterRules::number(m_payments.field(QStringLiteral("Monto")), &amount) ||
            amount < 0 || !PrinterRules::fits(amount, PrinterRules::kPaymentWidth, 2))
            return holdColumn(QStringLiteral("Monto"));
    }
    m_payments.moveFirst();
    return true;
}

double DocumentJob::lineQuantity() const
{
    double quantity = 0.0;
    PrinterRules::number(m_detail.field(m_ctx.state.ModoCantidad == 1 ? QStringLiteral("Cantidad")
                                                                      : QStringLiteral("CantDec")),
                         &quantity);
    return quantity;
}

double DocumentJob::linePrice() const
{
    double price = 0.0;
    PrinterRules::number(m_detail.field(QStringLiteral("Precio")), &price);
    return price;
}

int DocumentJob::lineTaxCode() const
{
    return db::RecordSet::isTrue(m_detail.field(QStringLiteral("ExcentoImpuesto"))) ? 0 : taxCode();
}

int DocumentJob::taxCode() const
{
    const auto &st = m_ctx.state;
    return PrinterRules::taxCode(m_taxRate, st.TasaMaqFiscal1, st.TasaMaqFiscal2, st.TasaMaqFiscal3,
                                 0);
}

void DocumentJob::keepRates()
{
    PrinterRules::number(m_header.field(QStringLiteral("PorcentImpuesto")), &m_taxRate);
    m_discount = 0.0;
    PrinterRules::number(m_header.field(QStringLiteral("Desc01")), &m_discount);
}

bool DocumentJob::send(const QString &command)
{
    if (cancelledByOperator())
        return false;
    m_ctx.link.EnviarComando(command);
    m_accepted = m_accepted || m_ctx.link.ResultadoComando;
    if (command.startsWith(QLatin1Char('i')))
        m_headerSent.insert(command.left(3));
    return m_ctx.link.ResultadoComando;
}

bool DocumentJob::cancelledByOperator() const
{
    // After the closing command the number read back tells what happened.
    return m_ctx.cancelledByOperator && !m_closingSent;
}

bool DocumentJob::sendOrFail(const QString &command)
{
    if (send(command))
        return true;
    failAtStage();
    return false;
}

bool DocumentJob::overwriteHeldHeader()
{
    if (!m_ctx.journal || !m_ctx.journal->anyHeaderHeld())
        return true;
    QStringList lines;
    for (const core::DocumentKind kind : m_ctx.journal->headersHeld()) {
        if (kind == core::DocumentKind::Invoice)
            lines << QStringLiteral("i01") << QStringLiteral("i02") << QStringLiteral("i03")
                  << QStringLiteral("i04") << QStringLiteral("i05") << QStringLiteral("i06")
                  << QStringLiteral("i07");
        else if (core::usesDascomForm(m_ctx.state.TipoImpresora))
            lines << QStringLiteral("iS*") << QStringLiteral("iR*") << QStringLiteral("iF*")
                  << QStringLiteral("iI*") << QStringLiteral("iD*");
        else
            lines << QStringLiteral("i01") << QStringLiteral("i02") << QStringLiteral("i03")
                  << QStringLiteral("i04") << QStringLiteral("i05");
    }
    lines.removeDuplicates();
    for (const QString &line : std::as_const(lines)) {
        if (!m_headerSent.contains(line) && !sendOrFail(line))
            return false;
    }
    journalWrite([](db::PrintJournal &j) { j.headersOverwritten(); });
    return true;
}

bool DocumentJob::sendDiscount()
{
    return !(m_discount > 0) || (sendOrFail(QStringLiteral("3")) &&
                                 sendOrFail(PrinterRules::discountCommand(m_discount)));
}

void DocumentJob::sendPayments()
{
    for (m_payments.moveFirst(); !m_payments.eof(); m_payments.moveNext()) {
        double amount = 0.0;
        PrinterRules::number(m_payments.field(QStringLiteral("Monto")), &amount);
        send(PrinterRules::paymentCommand(m_payments.field(QStringLiteral("TipoMecanismo")),
                                          amount));
    }
    m_payments.close();
}

bool DocumentJob::openPort()
{
    m_portFailed = !m_ctx.link.AbrirPuerto();
    m_portOpen = true;
    return !m_portFailed;
}

void DocumentJob::closePort()
{
    m_ctx.link.CerrarPuerto();
    m_portOpen = false;
}

bool DocumentJob::beginDocument()
{
    if (!m_portFailed) {
        QString number, zCounter;
        const bool read = PrinterNumbers::readTrusted(
            m_ctx.link, m_ctx.state.RutaPrograma, m_ctx.state.TipoImpresora, m_kind, m_ctx.clock,
            PrinterNumbers::kReadings, &number, &zCounter);
        const NumberCheck::Result result = !read           ? NumberCheck::Result::Unreadable
                                           : m_ctx.numbers ? m_ctx.numbers->check(m_kind, number)
                                                           : NumberCheck::Result::Accounted;
        if (result != NumberCheck::Result::Accounted) {
            closePort();
            releaseClaim();
            m_db->close();
            if (result == NumberCheck::Result::Unreadable) {
                m_ctx.link.HabilitarControles(false);
                m_ctx.window.setControlEnabled(core::Control::Command10, true);
                const QString text = texts::numberUnreadableBeforeStart(m_kind, m_code);
                if (!std::exchange(m_ctx.numberUnreadableTold, true))
                    m_ctx.window.messageBox(text);
                m_ctx.window.setLog(text);
            }
            return false;
        }
        m_ctx.numberUnreadableTold = false;
    }
    journalTakenUp();
    publish(core::DocumentEvent::Kind::Started);
    return true;
}

bool DocumentJob::keepWaiting(const QString &reason)
{
    return !m_ctx.held || m_ctx.held->hold(m_kind, m_code, reason, m_fingerprint);
}

void DocumentJob::hold(const QString &message)
{
    // The same document held again, for the same reason and with the same
    // rows, is not told again.
    if (!keepWaiting(message))
        return;
    m_ctx.window.messageBox(message);
    m_ctx.window.setLog(message);
    m_ctx.publish({.kind = core::DocumentEvent::Kind::Held,
                   .document = m_kind,
                   .code = m_code,
                   .reason = message});
}

void DocumentJob::failAtStage()
{
    if (cancelledByOperator()) {
        endCancelledByOperator();
        return;
    }
    // Refused before the printer took anything of it: with nothing open
    // there is nothing to cancel, and no "7" follows.
    const bool nothingOpen = !m_portFailed && !m_accepted &&
                             PrinterState::openDocument(m_ctx.link, m_ctx.state.RutaPrograma) ==
                                 PrinterState::Document::NotOpen;
    closePort();
    const QString full = m_ctx.link.stageReport(m_stage, true);
    const QString inBox =
        m_kind == core::DocumentKind::CreditNote ? full : m_ctx.link.stageReport(m_stage, false);
    if (m_portFailed || keepWaiting(texts::failedAtStage(m_stage)))
        m_ctx.window.messageBox(inBox);
    m_ctx.window.setLog(full);
    nothingOpen ? journalCancelled() : journalFailed();
    publish(core::DocumentEvent::Kind::Failed);
}

void DocumentJob::endCancelledByOperator()
{
    closePort();
    m_ctx.window.setLog(texts::cancelledByOperator(m_kind, m_code));
    journalCancelled();
    publish(core::DocumentEvent::Kind::Cancelled);
}

void DocumentJob::failOnDatabase(const db::DataError &error, bool printed)
{
    if (m_portOpen)
        closePort();
    QString text = m_ctx.link.stageReport(m_stage, true) + QLatin1Char('\r') +
                   texts::databaseError(error.describe());
    if (printed)
        text += QLatin1Char('\r') + texts::printedNotRecorded(m_kind);
    m_ctx.window.messageBox(text);
    m_ctx.window.setLog(text);
    // Printed and not recorded stays open in the journal: recovery records it.
    if (!printed)
        journalFailed();
    publish(core::DocumentEvent::Kind::Failed);
}

void DocumentJob::publish(core::DocumentEvent::Kind kind, const QString &number,
                          const QString &zCounter)
{
    m_ctx.publish({.kind = kind,
                   .document = m_kind,
                   .code = m_code,
                   .number = number,
                   .zNumber = PrinterNumbers::documentZ(zCounter),
                   .stage = m_stage});
}

bool DocumentJob::beforeClosing()
{
    QString z;
    const bool read = PrinterNumbers::readTrusted(m_ctx.link, m_ctx.state.RutaPrograma,
                                                  m_ctx.state.TipoImpresora, m_kind, m_ctx.clock,
                                                  PrinterNumbers::kReadings, &m_numberBefore, &z);
    // An "Anular" between the readings: the closing is not sent.
    if (cancelledByOperator()) {
        failAtStage();
        return false;
    }
    if (!read) {
        // Without it the outcome of the closing could never be told.
        failAtStage();
        m_ctx.window.setLog(m_ctx.window.log() + QLatin1Char('\r') + texts::closingNotSent(m_kind));
        return false;
    }
    return journalClosing(m_numberBefore);
}

bool DocumentJob::closedByPrinter(double notClosedStage, QString *number, QString *zCounter)
{
    switch (afterClosing(number, zCounter)) {
    case Closing::Unknown:
        closingUnknown();
        return false;
    case Closing::NotClosed:
        m_stage = notClosedStage;
        notClosed();
        return false;
    case Closing::Closed:
        break;
    }
    journalClosed(*number, *zCounter);
    return true;
}

DocumentJob::Closing DocumentJob::afterClosing(QString *number, QString *zCounter)
{
    auto &link = m_ctx.link;
    m_closingAnswer = {link.Comando, link.ResultadoComando, link.EstatusImpresora,
                       link.ErrorImpresora};
    // One reading: an unknown outcome costs a tick, as recovery reads again
    // before anything else is printed.
    if (!PrinterNumbers::readTrusted(link, m_ctx.state.RutaPrograma, m_ctx.state.TipoImpresora,
                                     m_kind, m_ctx.clock, 1, number, zCounter))
        return Closing::Unknown;
    return *number == m_numberBefore ? Closing::NotClosed : Closing::Closed;
}

void DocumentJob::closingUnknown()
{
    closePort();
    if (m_ctx.recovery && m_journalId) {
        m_ctx.recovery->hold(m_journalId, m_kind, m_code, texts::kNumberUnreadable);
        return;
    }
    // Without a journal nobody could settle it later: the operator must.
    const QString text = texts::recoveryPending(m_kind, m_code, texts::kNumberUnreadable);
    m_ctx.window.messageBox(text);
    m_ctx.window.setLog(text);
}

void DocumentJob::notClosed()
{
    auto &link = m_ctx.link;
    link.Comando = m_closingAnswer.command;
    link.ResultadoComando = m_closingAnswer.result;
    link.EstatusImpresora = m_closingAnswer.status;
    link.ErrorImpresora = m_closingAnswer.error;
    m_closingSent = false;
    failAtStage();
    // A refused closing says so itself; one the printer took and that did
    // not close (payments short of the total) needs the words.
    if (m_closingAnswer.result)
        m_ctx.window.setLog(m_ctx.window.log() + QLatin1Char('\r') + texts::notClosed(m_kind));
}

bool DocumentJob::notClosedBefore()
{
    if (!m_ctx.journal)
        return true;
    // Still pending although the printer closed it: never a second copy.
    const QString number = m_ctx.journal->closedBefore(m_kind, m_code);
    if (!number.isEmpty()) {
        hold(texts::alreadyPrinted(m_kind, m_code, number));
        return false;
    }
    return true;
}

bool DocumentJob::claim()
{
    if (!m_ctx.claims)
        return true;
    if (const auto other = m_ctx.claims->claim(m_kind, m_code)) {
        hold(texts::claimedByAnother(m_kind, m_code, *other));
        return false;
    }
    m_claimed = true;
    // The list was read before the claim: the robot that held it may have
    // recorded it since.
    const bool pending =
        m_db->openRecordset(m_kind == core::DocumentKind::CreditNote
                                ? db::SqlTexts::stillPendingCreditNote(m_code, m_ctx.state.Caja)
                                : db::SqlTexts::stillPendingInvoice(m_code, m_ctx.state.Caja))
            .recordCount() > 0;
    if (!pending)
        releaseClaim();
    return pending;
}

void DocumentJob::releaseClaim()
{
    if (!m_claimed)
        return;
    try {
        m_ctx.claims->release(m_kind, m_code);
    } catch (const db::DataError &) {
    }
    m_claimed = false;
}

void DocumentJob::journalTakenUp()
{
    if (m_ctx.journal)
        m_journalId = m_ctx.journal->takeUp(m_kind, m_code);
}

bool DocumentJob::journalClosing(const QString &numberBefore)
{
    if (!m_ctx.journal || !m_journalId)
        return true;
    try {
        m_ctx.journal->closing(m_journalId, numberBefore);
        return true;
    } catch (const db::DataError &e) {
        failOnDatabase(e, false);
        return false;
    }
}

void DocumentJob::journalClosed(const QString &number, const QString &zCounter)
{
    if (m_ctx.numbers)
        m_ctx.numbers->accountFor(m_kind, number);
    journalWrite([&](db::PrintJournal &j) { j.closed(m_journalId, number, zCounter); });
}

void DocumentJob::journalRecorded()
{
    journalWrite([&](db::PrintJournal &j) { j.recorded(m_journalId); });
}

void DocumentJob::journalFailed()
{
    journalWrite([&](db::PrintJournal &j) { j.failed(m_journalId); });
}

void DocumentJob::journalCancelled()
{
    journalWrite([&](db::PrintJournal &j) { j.cancelled(m_journalId); });
}

void DocumentJob::journalWrite(const std::function<void(db::PrintJournal &)> &write)
{
    if (!m_ctx.journal || !m_journalId)
        return;
    try {
        write(*m_ctx.journal);
    } catch (const db::DataError &e) {
        // The journal stays unsettled: no new document starts until it can be written.
        m_ctx.window.notice(texts::databaseError(e.describe()));
    }
}

} // namespace documents
