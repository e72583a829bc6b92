#include "robot/PrinterProbe.h"

#include "core/Texts.h"
#include "printer/PrinterLink.h"
#include "robot/Robot.h"

namespace robot {

PrinterProbe::PrinterProbe(Robot &robot, std::chrono::milliseconds interval)
    : m_robot(robot), m_interval(interval)
{
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const auto last = m_robot.printerHealth().lastCall();
        if (last && m_robot.clock().monotonic() - *last < m_interval) {
            tell();
            return;
        }
        m_due = true;
        probeIfDue();
    });
    connect(&m_robot, &Robot::runnerFree, this, &PrinterProbe::probeIfDue, Qt::QueuedConnection);
    m_timer.start();
}

void PrinterProbe::probeIfDue()
{
    if (m_due && probe())
        m_due = false;
}

bool PrinterProbe::probe()
{
    if (m_robot.stopping())
        return false;
    const bool ran =
        m_robot.runExclusive([this] { m_robot.link().probe(m_robot.state().RutaPrograma); });
    if (ran)
        tell();
    return ran;
}

void PrinterProbe::tell()
{
    const printer::PrinterHealth &health = m_robot.printerHealth();
    if (!health.answering().has_value() || !*health.answering() == m_silentTold)
        return;
    m_silentTold = !*health.answering();
    const QString text =
        m_silentTold ? core::texts::printerSilent(health.since(), health.status(), health.error())
                     : core::texts::kPrinterAnswersAgain;
    m_robot.window().setLog(text);
    m_robot.window().notice(text);
}

} // namespace robot
