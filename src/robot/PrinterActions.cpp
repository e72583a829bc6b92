#include "robot/PrinterActions.h"

#include "core/ShortDate.h"
#include "core/Texts.h"
#include "db/DataError.h"
#include "documents/HeldDocuments.h"
#include "documents/JobContext.h"
#include "documents/NumberCheck.h"
#include "documents/Recovery.h"
#include "printer/PrinterLink.h"
#include "robot/Robot.h"

#include <QDate>

namespace robot {

namespace texts = core::texts;
using Result = Outcome::Result;

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
    if (!m_robot.busy())
        return false;
    // A report or the drawer in the middle of a document would end up on its
    // paper. A tick that prints nothing is over soon: the control server
    // tries again then.
    const bool printing = m_robot.printing();
    *outcome = tell(printing ? Result::Refused : Result::Busy, texts::kDocumentPrinting);
    return true;
}

Outcome PrinterActions::report(const QString &command, bool x)
{
    Outcome outcome;
    if (heldBack(&outcome))
        return outcome;
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        auto &window = m_robot.window();
        link.HabilitarControles(false);
        const bool portOpen = link.AbrirPuerto();
        link.EnviarComando(command);
        if (link.ResultadoComando) {
            link.CerrarPuerto();
            link.HabilitarControles(true);
            outcome = {Result::Done, x ? texts::kXReportPrinted : texts::kZReportPrinted};
            return;
        }
        const QString line =
            portOpen ? texts::printerRefused(x ? texts::kXReportRefused : texts::kZReportRefused,
                                             link.ErrorImpresora, link.EstatusImpresora)
                     : texts::kPortError;
        if (x) {
            // The port stays open: "Anular" can still reach the printer through it.
            tell(Result::Failed, texts::kDailyReportError + QLatin1Char('\r') + texts::kErrorLabel +
                                     QString::number(link.ErrorImpresora) + QLatin1Char('\r') +
                                     texts::kStatusLabel + QString::number(link.EstatusImpresora));
            window.setControlEnabled(core::Control::Command10, true);
        } else {
            tell(Result::Failed, texts::kDailyReportError + QLatin1Char(' ') + texts::kFalse);
            link.CerrarPuerto();
        }
        outcome = {Result::Failed, line};
    });
    return outcome;
}

Outcome PrinterActions::printXReport()
{
    return report(QStringLiteral("I0X"), true);
}

Outcome PrinterActions::printZReport()
{
    return report(QStringLiteral("I0Z"), false);
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
    if (link.ResultadoComando)
        return {Result::Done, texts::kCancelAccepted};
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
    const bool wasRunning = m_robot.Timer1().isEnabled();
    m_robot.Timer1().setEnabled(false);
    // Not even an unattended robot's own resumption starts it again.
    m_robot.setStoppedByOperator(true);
    window.setCaption(core::Control::Command3, texts::kStartCaption);
    window.setControlEnabled(core::Control::Command10, true);
    return {Result::Done, wasRunning ? texts::kPollingStoppedNow : texts::kPollingAlreadyStopped};
}

Outcome PrinterActions::startPolling()
{
    auto &window = m_robot.window();
    const bool wasRunning = m_robot.Timer1().isEnabled();
    m_robot.Timer1().setEnabled(true);
    window.setCaption(core::Control::Command3, texts::kStopCaption);
    window.setControlEnabled(core::Control::Command10, false);
    return {Result::Done, wasRunning ? texts::kPollingAlreadyRunning : texts::kPollingStartedNow};
}

Outcome PrinterActions::retry(core::DocumentKind kind, qint64 code)
{
    documents::JobContext &jobs = m_robot.jobContext();
    if (jobs.held && jobs.held->contains(kind, code)) {
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
