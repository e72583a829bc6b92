#pragma once

#include "robot/Clock.h"
#include "robot/ListSources.h"
#include "robot/PollingTimer.h"
#include "robot/RobotState.h"
#include "robot/Settings.h"
#include "robot/WindowServices.h"

#include <QObject>
#include <memory>

namespace printer {
class CodePage;
class Driver;
class PrinterLink;
} // namespace printer

namespace robot {

class InstanceLock;

// The robot: its state, settings, list sources, timer and printer link, and
// the window it talks to. One per process.
class Robot : public QObject
{
    Q_OBJECT
public:
    explicit Robot(WindowServices &window, QObject *parent = nullptr);
    ~Robot() override;

    // The start-up sequence, ending with loading the driver library; 0 when
    // the robot runs, the exit status of the start-up stop otherwise.
    int startUp(const QString &programDir);

    RobotState &state() { return m_state; }
    const Settings &settings() const { return m_settings; }
    ListSources &lists() { return m_lists; }
    const Clock &clock() const { return m_clock; }
    WindowServices &window() { return m_window; }
    PollingTimer &Timer1() { return m_timer; }
    // Valid once start-up has succeeded.
    printer::PrinterLink &link() { return *m_link; }
    const printer::CodePage &codePage() const { return *m_codePage; }

private:
    WindowServices &m_window;
    RobotState m_state;
    Settings m_settings;
    ListSources m_lists;
    Clock m_clock;
    PollingTimer m_timer;
    std::unique_ptr<InstanceLock> m_lock;
    std::unique_ptr<printer::CodePage> m_codePage;
    std::unique_ptr<printer::Driver> m_driver;
    std::unique_ptr<printer::PrinterLink> m_link;
};

} // namespace robot
