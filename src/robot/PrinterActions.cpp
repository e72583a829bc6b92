#include "robot/PrinterActions.h"

#include "core/ShortDate.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "db/PrintJournal.h"
#include "documents/HeldDocuments.h"
#include "documents/JobContext.h"
#include "documents/NumberCheck.h"
#include "documents/Recovery.h"
#include "printer/PrinterLink.h"
#include "printer/PrinterNumbers.h"
#include "robot/Robot.h"

#include <QDate>

namespace robot {

namespace texts = core::texts;
using Result = Outcome::Result;
using printer::PrinterNumbers;

PrinterActions::PrinterActions(robot::Robot &robot, Teller tell)
    : m_robot(robot), m_tell(std::move(tell))
{
}

Outcome PrinterActions::tell(Outcome::Result result, const QString &text)
{
    if (m_tell)
        m_tell(text);
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return {result, line};
}

bool PrinterActions::heldBack(Outcome *outcome)
{
    // A closing left unsettled by a restart or a lost answer may have printed
    // its document: a Z report before recovery records it would give it the
    // next day's Z number. Refused, as during a document: the daily timer
    // tries again.
    const db::PrintJournal *journal = m_robot.jobContext().journal;
    const bool unsettled = journal && journal->closingUnsettled();
    if (!m_robot.busy() && !unsettled)
        return false;
    // A report or the drawer in the middle of a document would end up on its
    // paper. A tick that prints nothing is over soon: the control server
    // tries again then.
    const bool printing = m_robot.printing() || unsettled;
    *outcome = tell(printing ? Result::Refused : Result::Busy, texts::kDocumentPrinting);
    return true;
}

Outcome PrinterActions::printXReport()
{
    Outcome outcome;
    if (heldBack(&outcome))
        return outcome;
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        link.HabilitarControles(false);
        const bool portOpen = link.AbrirPuerto();
        link.EnviarComando(QStringLiteral("I0X"));
        if (link.ResultadoComando) {
            link.CerrarPuerto();
            link.HabilitarControles(true);
            outcome = {Result::Done, texts::kXReportPrinted};
            return;
        }
        outcome = {Result::Failed,
                   portOpen ? texts::printerRefused(texts::kXReportRefused, link.ErrorImpresora,
                                                    link.EstatusImpresora)
                            : texts::kPortError};
        // The port stays open: "Anular" can still reach the printer through it.
        tell(Result::Failed, texts::kDailyReportError + QLatin1Char('\r') + texts::kErrorLabel +
                                 QString::number(link.ErrorImpresora) + QLatin1Char('\r') +
                                 texts::kStatusLabel + QString::number(link.EstatusImpresora));
        m_robot.window().setControlEnabled(core::Control::Command10, true);
    });
    return outcome;
}

Outcome PrinterActions::printZReport()
{
    Outcome outcome;
    if (heldBack(&outcome))
        return outcome;
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        link.HabilitarControles(false);
        if (link.AbrirPuerto()) {
            outcome = zReport();
        } else {
            link.EnviarComando(QStringLiteral("I0Z"));
            outcome = zReportFailed(texts::kPortError);
        }
        link.CerrarPuerto();
        if (outcome.done())
            link.HabilitarControles(true);
    });
    return outcome;
}

Outcome PrinterActions::zReportFailed(const QString &line)
{
    tell(Result::Failed, texts::kDailyReportError + QLatin1Char(' ') + texts::kFalse);
    return {Result::Failed, line};
}

Outcome PrinterActions::zReport()
{
    auto &link = m_robot.link();
    db::PrintJournal &journal = *m_robot.jobContext().journal;
    const core::Clock &clock = m_robot.clock();
    const QString &dir = m_robot.state().RutaPrograma;
    const auto settle = [&](qint64 id, bool printed) {
        try {
            journal.zSettled(id, printed);
        } catch (const db::DataError &e) {
            // Left as sent: the next Z request reads the counter again.
            m_robot.window().notice(texts::databaseError(e.describe()));
        }
    };
    QString before;
    try {
        // The printer's answer to a Z may be lost on the line while it prints it:
        // only its Z counter tells. One whose outcome is still unknown is settled
        // before any new one is sent; a request soon after it is its retry (the
        // operator's, or the daily timer's), and a Z it printed is not repeated.
        if (const auto unknown = journal.zUnknown()) {
            if (!PrinterNumbers::readZCounter(link, dir, clock, PrinterNumbers::kReadings, &before))
                return tell(Result::Failed, texts::kZReportUnknown);
            const bool printed = before != unknown->counterBefore;
            settle(unknown->id, printed);
            if (printed && unknown->sent.msecsTo(clock.now()) < clock.scaled(kZRetries).count())
                return {Result::Done, texts::kZReportPrinted};
        } else if (!PrinterNumbers::readZCounter(link, dir, clock, PrinterNumbers::kReadings,
                                                 &before)) {
            return tell(Result::Failed, texts::kZCounterUnreadable);
        }
        const qint64 id = journal.zSending(before);
        link.EnviarComando(QStringLiteral("I0Z"));
        if (link.ResultadoComando) {
            settle(id, true);
            return {Result::Done, texts::kZReportPrinted};
        }
        const int error = link.ErrorImpresora, status = link.EstatusImpresora;
        // One reading: unknown, the next request reads again.
        QString after;
        if (!PrinterNumbers::readZCounter(link, dir, clock, 1, &after))
            return tell(Result::Failed, texts::kZReportUnknown);
        settle(id, after != before);
        if (after != before)
            return {Result::Done, texts::kZReportPrinted};
        return zReportFailed(texts::printerRefused(texts::kZReportRefused, error, status));
    } catch (const db::DataError &e) {
        // Nothing is sent unrecorded.
        return zReportFailed(texts::databaseError(e.describe()));
    }
}

Outcome PrinterActions::openDrawer()
{
    Outcome outcome;
    if (heldBack(&outcome))
        return outcome;
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        link.HabilitarControles(false);
        const bool portOpen = link.AbrirPuerto();
        // Printers open the drawer on one command or the other.
        link.EnviarComando(QStringLiteral("0"));
        bool opened = link.ResultadoComando;
        link.EnviarComando(QStringLiteral("w"));
        opened = opened || link.ResultadoComando;
        const int error = link.ErrorImpresora, status = link.EstatusImpresora;
        link.CerrarPuerto();
        link.HabilitarControles(true);
        if (opened)
            outcome = {Result::Done, texts::kDrawerOpened};
        else
            outcome = {Result::Failed,
                       portOpen ? texts::printerRefused(texts::kOpenDrawerRefused, error, status)
                                : texts::kPortError};
    });
    return outcome;
}

Outcome PrinterActions::cancelDocument()
{
    // Through whatever connection is open, even in the middle of a job.
    auto &link = m_robot.link();
    link.EnviarComando(QStringLiteral("7"));
    if (link.ResultadoComando) {
        // The printer dropped the document being printed: its job must not
        // go on with the rest of it as a new one.
        if (m_robot.printing())
            m_robot.jobContext().cancelledByOperator = true;
        return {Result::Done, texts::kCancelAccepted};
    }
    return {Result::Failed, texts::printerRefused(texts::kCancelRefused, link.ErrorImpresora,
                                                  link.EstatusImpresora)};
}

QString PrinterActions::fiscalMemoryCommand(const QString &from, const QString &to,
                                            const QString &shortDateFormat)
{
    const QDate first = core::ShortDate::parse(from, shortDateFormat);
    const QDate last = core::ShortDate::parse(to, shortDateFormat);
    if (!first.isValid() || !last.isValid())
        return QString();
    const QString digits = QStringLiteral("ddMMyy");
    return QStringLiteral("I2A") + first.toString(digits) + last.toString(digits);
}

Outcome PrinterActions::printFiscalMemory(const QString &from, const QString &to, DateField *bad)
{
    auto &window = m_robot.window();
    const QString &format = m_robot.settings().shortDateFormat;
    for (const auto &[text, field] :
         {std::pair{from, DateField::From}, std::pair{to, DateField::To}}) {
        if (!core::ShortDate::parse(text, format).isValid()) {
            if (bad)
                *bad = field;
            tell(Result::BadArgument, texts::kGiveADate);
            return {Result::BadArgument, texts::invalidDate(text, format)};
        }
    }
    for (const auto &[text, field] :
         {std::pair{from, DateField::From}, std::pair{to, DateField::To}}) {
        const int year = core::ShortDate::parse(text, format).year();
        if (year < kFirstReportYear || year > kLastReportYear) {
            if (bad)
                *bad = field;
            return tell(
                Result::BadArgument,
                texts::yearOutOfPrinterRange(text.trimmed(), kFirstReportYear, kLastReportYear));
        }
    }
    if (core::ShortDate::parse(from, format) > core::ShortDate::parse(to, format))
        return tell(Result::BadArgument, texts::kEndDateMustBeLater);
    Outcome outcome;
    if (heldBack(&outcome))
        return outcome;
    const QString command = fiscalMemoryCommand(from, to, format);
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        window.setWindowEnabled(false);
        const bool portOpen = link.AbrirPuerto();
        link.EnviarComando(command);
        const bool printed = link.ResultadoComando;
        const int error = link.ErrorImpresora, status = link.EstatusImpresora;
        link.CerrarPuerto();
        window.setWindowEnabled(true);
        if (printed)
            outcome = {Result::Done, texts::fiscalMemoryPrinted(from.trimmed(), to.trimmed())};
        else
            outcome = {Result::Failed,
                       portOpen ? texts::printerRefused(texts::kFiscalMemoryRefused, error, status)
                                : texts::kPortError};
    });
    return outcome;
}

Outcome PrinterActions::stopOrStartPolling()
{
    return m_robot.Timer1().isEnabled() ? stopPolling() : startPolling();
}

Outcome PrinterActions::stopPolling()
{
    auto &window = m_robot.window();
    const bool wasRunning = m_robot.polling();
    // Not a job that ends, nor an unattended robot's own resumption, starts
    // it again.
    m_robot.Timer1().setStoppedByOperator(true);
    window.setCaption(core::Control::Command3, texts::kStartCaption);
    window.setControlEnabled(core::Control::Command10, true);
    return {Result::Done, wasRunning ? texts::kPollingStoppedNow : texts::kPollingAlreadyStopped};
}

Outcome PrinterActions::startPolling()
{
    auto &window = m_robot.window();
    const bool wasRunning = m_robot.polling();
    m_robot.Timer1().setStoppedByOperator(false);
    m_robot.Timer1().setEnabled(true);
    window.setCaption(core::Control::Command3, texts::kStopCaption);
    window.setControlEnabled(core::Control::Command10, false);
    return {Result::Done, wasRunning ? texts::kPollingAlreadyRunning : texts::kPollingStartedNow};
}

Outcome PrinterActions::retry(core::DocumentKind kind, qint64 code)
{
    documents::JobContext &jobs = m_robot.jobContext();
    if (jobs.held && jobs.held->contains(kind, code)) {
        // One the printer already closed would only be held again: it is
        // never printed a second time.
        QString number;
        try {
            if (jobs.journal)
                number = jobs.journal->closedBefore(kind, code);
        } catch (const db::DataError &) {
            // Unknown: let it go; the job asks the journal again before printing.
        }
        if (!number.isEmpty())
            return {Result::Refused, texts::staysHeldAlreadyPrinted(kind, code, number)};
        jobs.held->release(kind, code);
        return {Result::Done, texts::retryAccepted(kind, code)};
    }
    const documents::HeldDocuments::Entry *recovering =
        jobs.recovery && jobs.recovery->held() ? &*jobs.recovery->held() : nullptr;
    if (recovering && recovering->kind == kind && recovering->code == code)
        return {Result::Refused, texts::inRecovery(kind, code)};
    return {Result::Refused, texts::notHeld(kind, code)};
}

Outcome PrinterActions::acceptNumbers()
{
    Outcome outcome;
    if (heldBack(&outcome))
        return outcome;
    documents::NumberCheck *numbers = m_robot.jobContext().numbers;
    try {
        if (!numbers || !numbers->accept())
            return tell(Result::Refused, texts::kNoNumbersToAccept);
    } catch (const db::DataError &e) {
        return tell(Result::Failed, texts::databaseError(e.describe()));
    }
    m_robot.window().setLog(texts::kNumbersAccepted);
    return {Result::Done, texts::kNumbersAccepted};
}

} // namespace robot
