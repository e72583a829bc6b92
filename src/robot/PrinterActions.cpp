#include "robot/PrinterActions.h"

#include "core/Texts.h"
#include "documents/HeldDocuments.h"
#include "documents/JobContext.h"
#include "documents/Recovery.h"
#include "printer/PrinterLink.h"
#include "robot/Robot.h"

#include <QDate>

namespace robot {

namespace texts = core::texts;
using Result = Outcome::Result;

namespace {
QDate parseDate(const QString &text, const QString &format)
{
    const QDate d = QDate::fromString(text.trimmed(), format);
    if (d.isValid())
        return d;
    // Two-digit years as the operator may type them.
    QString shortYear = format;
    shortYear.replace(QStringLiteral("yyyy"), QStringLiteral("yy"));
    const QDate s = QDate::fromString(text.trimmed(), shortYear);
    return s.isValid() ? s.addYears(s.year() < 1950 ? 100 : 0) : QDate();
}
} // namespace

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
    *outcome = tell(printing ? Result::Refused : Result::Busy, texts::kDocumentoEnCurso);
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
        const bool abierto = link.AbrirPuerto();
        link.EnviarComando(command);
        if (link.ResultadoComando) {
            link.CerrarPuerto();
            link.HabilitarControles(true);
            outcome = {Result::Done, x ? texts::kCierreXImpreso : texts::kCierreZImpreso};
            return;
        }
        const QString line = abierto ? texts::rechazo(x ? QStringLiteral("el cierre X")
                                                        : QStringLiteral("el cierre Z"),
                                                      link.ErrorImpresora, link.EstatusImpresora)
                                     : texts::kErrorPuerto;
        if (x) {
            // The port stays open: "Anular" can still reach the printer through it.
            tell(Result::Failed,
                 texts::kErrorCierreDiario + QLatin1Char('\r') + QStringLiteral("Error: ") +
                     QString::number(link.ErrorImpresora) + QLatin1Char('\r') +
                     QStringLiteral("Estatus: ") + QString::number(link.EstatusImpresora));
            window.setControlEnabled(core::Control::Command10, true);
        } else {
            tell(Result::Failed, texts::kErrorCierreDiario + QLatin1Char(' ') + texts::kFalso);
            link.CerrarPuerto();
        }
        outcome = {Result::Failed, line};
    });
    return outcome;
}

Outcome PrinterActions::cierreX()
{
    return report(QStringLiteral("I0X"), true);
}

Outcome PrinterActions::cierreZ()
{
    return report(QStringLiteral("I0Z"), false);
}

Outcome PrinterActions::abrirGaveta()
{
    Outcome outcome;
    if (heldBack(&outcome))
        return outcome;
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        link.HabilitarControles(false);
        const bool abierto = link.AbrirPuerto();
        // Printers open the drawer on one command or the other.
        link.EnviarComando(QStringLiteral("0"));
        bool abrio = link.ResultadoComando;
        link.EnviarComando(QStringLiteral("w"));
        abrio = abrio || link.ResultadoComando;
        const int error = link.ErrorImpresora, estatus = link.EstatusImpresora;
        link.CerrarPuerto();
        link.HabilitarControles(true);
        if (abrio)
            outcome = {Result::Done, texts::kGavetaAbierta};
        else
            outcome = {Result::Failed,
                       abierto ? texts::rechazo(QStringLiteral("abrir la gaveta"), error, estatus)
                               : texts::kErrorPuerto};
    });
    return outcome;
}

Outcome PrinterActions::anular()
{
    // Through whatever connection is open, even in the middle of a job.
    auto &link = m_robot.link();
    link.EnviarComando(QStringLiteral("7"));
    if (link.ResultadoComando)
        return {Result::Done, texts::kAnulacionAceptada};
    return {Result::Failed, texts::rechazo(QStringLiteral("la anulación"), link.ErrorImpresora,
                                           link.EstatusImpresora)};
}

QString PrinterActions::comandoMemoriaFiscal(const QString &desde, const QString &hasta,
                                             const QString &shortDateFormat)
{
    const QDate d = parseDate(desde, shortDateFormat);
    const QDate h = parseDate(hasta, shortDateFormat);
    if (!d.isValid() || !h.isValid())
        return QString();
    const QString digits = QStringLiteral("ddMMyy");
    return QStringLiteral("I2A") + d.toString(digits) + h.toString(digits);
}

Outcome PrinterActions::memoriaFiscal(const QString &desde, const QString &hasta, Fecha *mala)
{
    auto &window = m_robot.window();
    const QString &format = m_robot.settings().shortDateFormat;
    for (const auto &[text, fecha] :
         {std::pair{desde, Fecha::Desde}, std::pair{hasta, Fecha::Hasta}}) {
        if (!parseDate(text, format).isValid()) {
            if (mala)
                *mala = fecha;
            tell(Result::BadArgument, texts::kIndiqueFecha);
            return {Result::BadArgument, texts::fechaNoValida(text, format)};
        }
    }
    if (parseDate(desde, format) > parseDate(hasta, format))
        return tell(Result::BadArgument, texts::kFechaFinalMayor);
    Outcome outcome;
    if (heldBack(&outcome))
        return outcome;
    const QString command = comandoMemoriaFiscal(desde, hasta, format);
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        window.setWindowEnabled(false);
        const bool abierto = link.AbrirPuerto();
        link.EnviarComando(command);
        const bool impreso = link.ResultadoComando;
        const int error = link.ErrorImpresora, estatus = link.EstatusImpresora;
        link.CerrarPuerto();
        window.setWindowEnabled(true);
        if (impreso)
            outcome = {Result::Done, texts::memoriaImpresa(desde.trimmed(), hasta.trimmed())};
        else
            outcome = {Result::Failed,
                       abierto ? texts::rechazo(QStringLiteral("el reporte de memoria fiscal"),
                                                error, estatus)
                               : texts::kErrorPuerto};
    });
    return outcome;
}

Outcome PrinterActions::detenerIniciar()
{
    return m_robot.Timer1().isEnabled() ? detener() : iniciar();
}

Outcome PrinterActions::detener()
{
    auto &window = m_robot.window();
    const bool corria = m_robot.Timer1().isEnabled();
    m_robot.Timer1().setEnabled(false);
    // Not even an unattended robot's own resumption starts it again.
    m_robot.setStoppedByOperator(true);
    window.setCaption(core::Control::Command3, texts::kIniciar);
    window.setControlEnabled(core::Control::Command10, true);
    return {Result::Done, corria ? texts::kSondeoDetenido : texts::kSondeoYaDetenido};
}

Outcome PrinterActions::iniciar()
{
    auto &window = m_robot.window();
    const bool corria = m_robot.Timer1().isEnabled();
    m_robot.Timer1().setEnabled(true);
    window.setCaption(core::Control::Command3, texts::kDetener);
    window.setControlEnabled(core::Control::Command10, false);
    return {Result::Done, corria ? texts::kSondeoYaIniciado : texts::kSondeoIniciado};
}

Outcome PrinterActions::reintentar(core::DocumentKind kind, qint64 codigo)
{
    documents::JobContext &jobs = m_robot.jobContext();
    if (jobs.held && jobs.held->contains(kind, codigo)) {
        jobs.held->release(kind, codigo);
        return {Result::Done, texts::reintento(kind, codigo)};
    }
    const documents::HeldDocuments::Entry *recuperando =
        jobs.recovery && jobs.recovery->held() ? &*jobs.recovery->held() : nullptr;
    if (recuperando && recuperando->kind == kind && recuperando->code == codigo)
        return {Result::Refused, texts::enRecuperacion(kind, codigo)};
    return {Result::Refused, texts::noRetenido(kind, codigo)};
}

} // namespace robot
