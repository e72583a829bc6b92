#pragma once

#include "robot/Robot.h"
#include "support/Installation.h"
#include "support/RecordingWindow.h"

namespace testsupport {

// The real robot in this process on an Installation: its own start-up,
// driver loader, printer link, print journal and jobs, talking to a
// RecordingWindow (or to the window given).
class RobotHarness
{
public:
    explicit RobotHarness(const Installation::Setup &setup = {},
                          core::WindowServices *window = nullptr);
    ~RobotHarness();

    Installation inst;

    robot::Robot &robot() { return *m_robot; }
    RecordingWindow &window() { return m_window; }
    core::RobotState &state() { return m_robot->state(); }
    MainRows &db() { return inst.db(); }
    QStringList commands() const { return inst.sentCommands(); }

    // As Timer1's tick would, each run exclusively; the first activation
    // (done by the window once it shows) runs before the first of them.
    void printInvoice();
    void printCreditNote();
    void tick();

    // For the printer link's own tests.
    const TestDir &dir() const { return inst.dir(); }
    printer::PrinterLink &link() { return m_robot->link(); }
    core::PollingTimer &timer() { return m_robot->Timer1(); }
    QList<QStringList> journal() const { return inst.simLog(); }
    QStringList sentCommands() const { return inst.sentCommands(); }

private:
    void run(const std::function<void()> &work);

    QString m_previousDir;
    RecordingWindow m_window;
    std::unique_ptr<robot::Robot> m_robot;
};

} // namespace testsupport
