#include "robot/PrinterActions.h"

#include "core/Texts.h"
#include "printer/PrinterLink.h"
#include "robot/Robot.h"

#include <QDate>

namespace robot {

namespace texts = core::texts;

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

PrinterActions::PrinterActions(robot::Robot &robot) : m_robot(robot) {}

bool PrinterActions::heldBack()
{
    if (!m_robot.busy())
        return false;
    // A report or the drawer in the middle of a document would end up on its paper.
    m_robot.window().messageBox(core::texts::kDocumentoEnCurso);
    return true;
}

void PrinterActions::report(const QString &command, bool x)
{
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        auto &window = m_robot.window();
        link.HabilitarControles(false);
        link.AbrirPuerto();
        link.EnviarComando(command);
        if (link.ResultadoComando) {
            link.CerrarPuerto();
            link.HabilitarControles(true);
            return;
        }
        if (x) {
            // The port stays open: "Anular" can still reach the printer through it.
            window.messageBox(core::texts::kErrorCierreDiario + QLatin1Char('\r') +
                              QStringLiteral("Error: ") + QString::number(link.ErrorImpresora) +
                              QLatin1Char('\r') + QStringLiteral("Estatus: ") +
                              QString::number(link.EstatusImpresora));
            window.setControlEnabled(core::Control::Command10, true);
        } else {
            window.messageBox(core::texts::kErrorCierreDiario + QLatin1Char(' ') +
                              core::texts::kFalso);
            link.CerrarPuerto();
        }
    });
}

void PrinterActions::cierreX()
{
    if (!heldBack())
        report(QStringLiteral("I0X"), true);
}

void PrinterActions::cierreZ()
{
    if (!heldBack())
        report(QStringLiteral("I0Z"), false);
}

void PrinterActions::abrirGaveta()
{
    if (heldBack())
        return;
    m_robot.runExclusive([this] {
        auto &link = m_robot.link();
        link.HabilitarControles(false);
        link.AbrirPuerto();
        link.EnviarComando(QStringLiteral("0"));
        link.EnviarComando(QStringLiteral("w"));
        link.CerrarPuerto();
        link.HabilitarControles(true);
    });
}

void PrinterActions::anular()
{
    // Through whatever connection is open, even in the middle of a job.
    m_robot.link().EnviarComando(QStringLiteral("7"));
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

PrinterActions::MemoryResult PrinterActions::memoriaFiscal(const QString &desde,
                                                           const QString &hasta)
{
    auto &window = m_robot.window();
    const QString &format = m_robot.settings().shortDateFormat;
    const QDate d = parseDate(desde, format);
    if (!d.isValid()) {
        window.messageBox(core::texts::kIndiqueFecha);
        return MemoryResult::BadDesde;
    }
    const QDate h = parseDate(hasta, format);
    if (!h.isValid()) {
        window.messageBox(core::texts::kIndiqueFecha);
        return MemoryResult::BadHasta;
    }
    if (d > h) {
        window.messageBox(core::texts::kFechaFinalMayor);
        return MemoryResult::Reversed;
    }
    if (heldBack())
        return MemoryResult::HeldBack;
    const QString command = comandoMemoriaFiscal(desde, hasta, format);
    m_robot.runExclusive([&] {
        auto &link = m_robot.link();
        window.setWindowEnabled(false);
        link.AbrirPuerto();
        link.EnviarComando(command);
        link.CerrarPuerto();
        window.setWindowEnabled(true);
    });
    return MemoryResult::Printed;
}

} // namespace robot
