#include "support/RobotHarness.h"

#include "documents/CreditNoteJob.h"
#include "documents/InvoiceJob.h"
#include "robot/PollingCycle.h"

#include <QDir>
#include <gtest/gtest.h>
#include <utility>

namespace testsupport {

RobotHarness::RobotHarness(const Installation::Setup &setup, core::WindowServices *window)
    : Installation(setup), m_previousDir(QDir::currentPath()),
      m_robot(std::make_unique<robot::Robot>(window ? *window : m_window))
{
    if (const core::ExitStatus stop = m_robot->startUp(path()); stop != core::ExitStatus::Running) {
        ADD_FAILURE() << "start-up stopped with " << core::exitCode(stop) << ": "
                      << m_window.messages.join(u'\n').toStdString();
        std::abort();
    }
    m_window.transcript.clear();
}

RobotHarness::~RobotHarness()
{
    m_robot->shutdown();
    m_robot.reset();
    QDir::setCurrent(m_previousDir);
}

void RobotHarness::run(const std::function<void()> &work)
{
    // Once, as the window does when it first shows.
    if (!std::exchange(m_activated, true))
        m_robot->activate();
    EXPECT_TRUE(m_robot->runExclusive(work));
}

void RobotHarness::print(core::DocumentKind kind)
{
    run([this, kind] {
        if (kind == core::DocumentKind::Invoice) {
            m_robot->lists().Data5.refresh();
            documents::InvoiceJob(m_robot->jobContext()).ImprimirFactura();
        } else {
            m_robot->lists().Data6.refresh();
            documents::CreditNoteJob(m_robot->jobContext()).ImprimirNotaCredito();
        }
    });
}

void RobotHarness::tick()
{
    run([this] { m_robot->pollingCycle().tick(); });
}

} // namespace testsupport
